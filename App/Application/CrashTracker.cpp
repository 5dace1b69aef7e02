#include <Zentar/App/CrashTracker.h>

#include "../Platform/OsCrash.h"
#include "CrashReports.h"

#include <Zentar/QtUtil/ProcessUtil.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTime>

#include <glog/logging.h>

#include <chrono>

namespace Zentar::App
{
namespace
{

// Folder of this build's session files: the product identifier and version.
const QString kBuildProductId = QStringLiteral("ZentarApp");
const QString kBuildMajorVersion = QStringLiteral(ZENTAR_APP_VERSION_MAJOR);
const QString kBuildMinorPatchVersion = QStringLiteral(ZENTAR_APP_VERSION_MINOR_PATCH);

// Far longer than any instance needs to get through the file: a holder that
// lets nobody through for that long is stopped, and waiting for it would hang
// this start. However busy the file is, a start is not held up beyond the
// second limit.
constexpr std::chrono::milliseconds kGuardStall(2000);
constexpr std::chrono::milliseconds kGuardMaxWait(30000);

QString SessionFilePath()
{
    const QChar sep = QDir::separator();
    return QStandardPaths::writableLocation(QStandardPaths::DataLocation) + sep + QStringLiteral("Zentar")
        + sep + kBuildProductId + QLatin1Char(' ') + kBuildMajorVersion + QLatin1Char('.')
        + kBuildMinorPatchVersion + sep + QFileInfo(QCoreApplication::applicationFilePath()).baseName()
        + QStringLiteral(".ini");
}

std::string NewSessionId()
{
    // The generator is the one the product's qrand() draws from: seeding it
    // here gives the product a different sequence on every run.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qsrand(static_cast<uint>(QTime::currentTime().msec()));
    const int number = qrand() % 900000 + 100000;
    QT_WARNING_POP
    const QString id = QDateTime::currentDateTime().toString(QStringLiteral("yyMMdd-HHmmss"))
        + QStringLiteral("-%1").arg(number, 0, 10, QLatin1Char(' '));
    return id.toStdString();
}

QString OwnKey()
{
    return QString::number(QCoreApplication::applicationPid());
}

// Each open session holds a lock on a file named by its entry. The pid alone
// cannot tell whether the entry's writer still runs, since pids are reused,
// also by later runs of the same executable; nor can the time in the session
// identifier, which is local time and moves with the clock and the zone. The
// kernel drops the lock when the writer dies, whoever has its pid since.
// Session identifiers are not unique (they repeat within a millisecond), so
// the pid is part of the name.
QString SessionLockPath(const QString& sessionFile, const QString& key, const QString& session)
{
    return sessionFile + QLatin1Char('.') + key + QLatin1Char('-') + session + QStringLiteral(".lock");
}

enum class Writer { Alive, Gone, Unknown };

// Whether the writer of an entry still holds its session lock. A lock file
// that is missing counts as free: an instance that can make one here made
// one before it wrote its entry. A free lock file is removed on the way.
Writer ProbeSessionLock(const QString& sessionFile, const QString& key, const QString& session)
{
    // The value comes from a file anyone may have edited: it must name a
    // file beside the session file and nothing else.
    static const QRegularExpression sessionForm(QStringLiteral("^\\d{6}-\\d{6}-\\d{6}$"));
    bool numeric = false;
    key.toULongLong(&numeric, 10);
    if (!numeric || !sessionForm.match(session).hasMatch())
        return Writer::Unknown;
    const QString path = SessionLockPath(sessionFile, key, session);
    Zentar::Core::FileLock lock(path.toStdString());
    switch (lock.TryLock()) {
    case Zentar::Core::FileLock::Attempt::Locked:
        QFile::remove(path);
        return Writer::Gone;
    case Zentar::Core::FileLock::Attempt::Busy:
        return Writer::Alive;
    case Zentar::Core::FileLock::Attempt::Unavailable:
        break;
    }
    // Where no lock file can be made, neither could the writer: only the
    // pid is left to judge by.
    return Writer::Unknown;
}

} // namespace

// Instances line up on a kernel lock beside the file before touching it, so
// that QSettings' own lock file is always free when they get to it: its
// back-off sleeps (100 ms, doubling) would otherwise show as start-up stalls
// when several instances start together. QSettings reads the file when it is
// built, so the lock is taken before that, here.
CrashTracker::FileGuard::FileGuard(const QString& sessionFile)
    : m_sessionFile(sessionFile)
    , m_lock(QString(sessionFile + QStringLiteral(".guard")).toStdString())
{
    QDir().mkpath(QFileInfo(sessionFile).path());
    Acquire();
}

// An instance stopped in a debugger keeps the guard for as long as it is
// stopped. The guard only saves time (QSettings still locks the file on each
// sync), so once the guard is stuck this tracker goes on without it. Stuck is
// not the same as busy: every holder writes the session file, so while the
// file keeps changing the line moves, and this instance keeps its place in it.
void CrashTracker::FileGuard::Acquire()
{
    if (m_givenUp)
        return;
    const auto fileState = [this] {
        const QFileInfo info(m_sessionFile);
        return qMakePair(info.size(), info.lastModified());
    };
    QElapsedTimer waited;
    waited.start();
    auto seen = fileState();
    while (m_lock.TryLockFor(kGuardStall) == Zentar::Core::FileLock::Attempt::Busy) {
        const auto now = fileState();
        if (now == seen || waited.elapsed() >= kGuardMaxWait.count()) {
            m_givenUp = true;
            LOG(WARNING) << "Crash tracker: gave up waiting for " << m_lock.Path() << " after "
                         << waited.elapsed() << " ms (its holder has stopped, or the file is too busy);"
                         << " going on without it";
            return;
        }
        seen = now;
    }
}

void CrashTracker::FileGuard::Release()
{
    m_lock.Unlock();
}

CrashTracker::CrashTracker()
    : m_fileName(SessionFilePath())
    , m_fileGuard(m_fileName)
    , m_settings(m_fileName, QSettings::IniFormat)
    , m_sessionId(NewSessionId())
    , m_sessionLock(SessionLockPath(m_fileName, OwnKey(), QString::fromStdString(m_sessionId)).toStdString())
{
    // Where no copy can be made beside the file (a folder that only lets the
    // file itself be written), the file is rewritten in place instead of not
    // at all: a torn write costs at worst one crash report.
    m_settings.setAtomicSyncRequired(false);
    // Before the entry appears, so that no instance ever sees the entry
    // without its lock.
    m_sessionLock.TryLock();
    StartSession();
    m_fileGuard.Release();
}

CrashTracker::~CrashTracker()
{
    StopSession();
}

void CrashTracker::StartSession()
{
    const QString executable = QCoreApplication::applicationFilePath();
    QList<QPair<QString, QString>> ended;
    for (const QString& key : m_settings.allKeys()) {
        bool ok = false;
        const qint64 pid = static_cast<qint64>(key.toULongLong(&ok, 10));
        const QString session = m_settings.value(key).toString();
        // Probed even for a process that is gone, so that its lock file goes too.
        const Writer writer = ProbeSessionLock(m_fileName, key, session);
        if (!ok || writer == Writer::Gone || !Zentar::Util::IsProcessRunning(pid, executable))
            ended.append({ key, session });
    }
    // Its writer is gone, but the entry may have gone with it since the file
    // was read: an orderly shutdown removes the entry before it lets go of
    // the lock. Only an entry still there after that was left by a crash.
    // (Under the guard nothing changes in between; without it, it may.)
    if (!ended.isEmpty())
        m_settings.sync();
    for (const auto& entry : qAsConst(ended)) {
        if (!m_settings.contains(entry.first) || m_settings.value(entry.first).toString() != entry.second)
            continue;
        m_badSessions.push_back(entry.second.toStdString());
        m_settings.remove(entry.first);
    }
    m_settings.setValue(OwnKey(), QString::fromStdString(m_sessionId));
    m_settings.sync();
}

void CrashTracker::StopSession()
{
    m_fileGuard.Acquire();
    m_settings.remove(OwnKey());
    m_settings.sync();
    // Only once the entry is gone: an entry whose lock is free reads as a crash.
    if (m_sessionLock.IsLocked()) {
        QFile::remove(QString::fromStdString(m_sessionLock.Path()));
        m_sessionLock.Unlock();
    }
    m_fileGuard.Release();
}

void CrashTracker::ClearHistory()
{
    m_fileGuard.Acquire();
    for (const std::string& session : m_badSessions) {
        const QString report = CrashReportPath(session);
        QFile::remove(report);
        const std::string minidump = Os::MinidumpPathFor(report.toStdString());
        if (!minidump.empty())
            QFile::remove(QString::fromStdString(minidump));
    }
    m_badSessions.clear();
    // Read first, so that entries other instances wrote since are cleared too.
    m_settings.sync();
    const QString own = OwnKey();
    for (const QString& key : m_settings.allKeys()) {
        // Lock files of runs that crashed since this one started would
        // otherwise outlive their entries; those of live runs stay.
        if (key != own)
            ProbeSessionLock(m_fileName, key, m_settings.value(key).toString());
    }
    m_settings.clear();
    m_settings.sync();
    m_fileGuard.Release();
}

bool CrashTracker::HasUnreportedCrash() const
{
    return !m_badSessions.empty();
}

std::deque<std::string> CrashTracker::BadSessionsList()
{
    return m_badSessions;
}

std::string CrashTracker::SessionId()
{
    return m_sessionId;
}

QString CrashTracker::FileName() const
{
    return m_fileName;
}

QString CrashTracker::CrashReportPath(const std::string& sessionId) const
{
    return CrashReports::PathFor(m_fileName, sessionId);
}

CrashReport CrashTracker::GetCrashReport(const std::string& sessionId) const
{
    return CrashReports::Read(CrashReportPath(sessionId), sessionId);
}

} // namespace Zentar::App
