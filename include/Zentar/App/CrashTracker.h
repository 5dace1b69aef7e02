#pragma once

#include <Zentar/App/CrashReport.h>
#include <Zentar/App/ZentarAppExport.h>
#include <Zentar/Core/FileLock.h>

#include <QSettings>

#include <deque>
#include <string>

namespace Zentar::App
{

/// Records this run in a small INI file shared by every instance of the
/// executable, keyed by process id. An entry whose writer no longer runs
/// belongs to a run that did not exit cleanly: it is reported once, by the
/// next instance that starts, and removed from the file.
/// The Application holds one; GUI thread. Its file is locked before it is first read and
/// around every write, so that instances starting and ending together keep each other's entries.
class ZENTAR_APP_EXPORT CrashTracker
{
public:
    /// Opens this run's session in the file and collects the entries of runs that died.
    CrashTracker();
    ~CrashTracker();
    CrashTracker(const CrashTracker&) = delete;
    CrashTracker& operator=(const CrashTracker&) = delete;

    /// Removes this run's entry; called on every orderly shutdown.
    void StopSession();
    /// Forgets the crashes found (and their reports) and empties the file,
    /// this run's entry included.
    void ClearHistory();

    /// Whether this start found runs that did not exit cleanly.
    bool HasUnreportedCrash() const;
    /// The session ids of those runs, in the order found.
    std::deque<std::string> BadSessionsList();
    /// This run's session id.
    std::string SessionId();

    /// The session file of this executable; whatever else belongs to its
    /// sessions lies beside it.
    QString FileName() const;

    /// Where a crash of `sessionId` leaves its report, beside the session
    /// file; empty for a text that is no session identifier.
    QString CrashReportPath(const std::string& sessionId) const;
    /// The report of a crashed session, its frames named from the modules'
    /// symbol tables; empty when the session left none (killed with
    /// SIGKILL). Read from disk at each call.
    CrashReport GetCrashReport(const std::string& sessionId) const;

private:
    void StartSession();

    // Taken before the file is first read and around every write; see the source.
    class FileGuard
    {
    public:
        explicit FileGuard(const QString& sessionFile);
        void Acquire();
        void Release();

    private:
        QString m_sessionFile;
        Zentar::Core::FileLock m_lock;
        bool m_givenUp = false;
    };

    const QString m_fileName;
    FileGuard m_fileGuard;
    QSettings m_settings;
    std::string m_sessionId;
    // Held while this session is open: it tells other instances this run is alive.
    Zentar::Core::FileLock m_sessionLock;
    std::deque<std::string> m_badSessions;
};

} // namespace Zentar::App
