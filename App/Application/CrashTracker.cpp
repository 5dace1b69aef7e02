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

#include <algorithm>
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

// The session file, one "pid=session" line per open session, is read and
// written here, under the guard, rather than through QSettings::sync(): that
// flushes a lock file and then the file itself to disk on every write, which
// made up most of what the tracker adds to a start. An entry must outlive its
// process, which a completed write() guarantees; it need not outlive the
// machine (after a power cut nothing of the run is left to report anyway).
using Entries = QList<QPair<QString, QString>>;

// Far beyond any real file (one short line per running instance): a huge
// file is not read whole into memory.
constexpr qint64 kMaxSessionFileSize = 1 << 20;

// Keys and values as QSettings reads the same file: "[General]" keys plain,
// those of other sections as "section/key"; the last of repeated keys wins.
Entries ReadEntries(const QString& path)
{
    Entries entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QString section;
    for (const QByteArray& raw : file.read(kMaxSessionFileSize).split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';'))
            continue;
        if (line.startsWith('[')) {
            section = QString::fromUtf8(line.mid(1, line.endsWith(']') ? line.size() - 2 : -1));
            if (section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
                section.clear();
            continue;
        }
        const int equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        QString key = QString::fromUtf8(line.left(equals).trimmed());
        if (!section.isEmpty())
            key = section + QLatin1Char('/') + key;
        QByteArray value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        const auto same = std::find_if(
            entries.begin(), entries.end(), [&key](const auto& entry) { return entry.first == key; });
        if (same != entries.end())
            entries.erase(same);
        entries.append({ key, QString::fromUtf8(value) });
    }
    return entries;
}

// Rewrites the file in place: every reader and writer holds the guard, so no
// one sees it half written (and where the guard was given up, a torn file
// costs at worst one crash report). The time stamp moves forward by at least
// a millisecond, so that a QSettings reading the file, which trusts an
// unchanged size and time stamp, sees every change.
void WriteEntries(const QString& path, const Entries& entries)
{
    QByteArray text("[General]\n");
    for (const auto& entry : entries) {
        QByteArray key = entry.first.toUtf8();
        QByteArray value = entry.second.toUtf8();
        key.replace('\n', ' ').replace('\r', ' ');
        value.replace('\n', ' ').replace('\r', ' ');
        text += key + '=' + value + '\n';
    }
    const QDateTime before = QFileInfo(path).lastModified();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
        LOG(WARNING) << "Crash tracker: cannot write " << path.toStdString() << ": "
                     << file.errorString().toStdString();
        return;
    }
    // The kernel stamps files with a coarse clock: a write a few ms after
    // the last may leave the time stamp where it was.
    file.flush();
    if (before.isValid() && QFileInfo(path).lastModified() <= before)
        file.setFileTime(before.addMSecs(1), QFileDevice::FileModificationTime);
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
    // Not written through: see ReadEntries and WriteEntries.
    , m_settings(m_fileName, QSettings::IniFormat)
    , m_sessionId(NewSessionId())
    , m_sessionLock(SessionLockPath(m_fileName, OwnKey(), QString::fromStdString(m_sessionId)).toStdString())
{
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
    const QString own = OwnKey();
    Entries kept;
    Entries ended;
    for (const auto& entry : ReadEntries(m_fileName)) {
        bool ok = false;
        const qint64 pid = static_cast<qint64>(entry.first.toULongLong(&ok, 10));
        // Probed even for a process that is gone, so that its lock file goes too.
        const Writer writer = ProbeSessionLock(m_fileName, entry.first, entry.second);
        if (!ok || writer == Writer::Gone || !Zentar::Util::IsProcessRunning(pid, executable))
            ended.append(entry);
        else if (entry.first != own)
            kept.append(entry);
    }
    // Its writer is gone, but the entry may have gone with it since the file
    // was read: an orderly shutdown removes the entry before it lets go of
    // the lock. Only an entry still there after that was left by a crash.
    // (Under the guard nothing changes in between; without it, it may.)
    if (!ended.isEmpty()) {
        const Entries now = ReadEntries(m_fileName);
        for (const auto& entry : qAsConst(ended))
            if (now.contains(entry))
                m_badSessions.push_back(entry.second.toStdString());
    }
    kept.append({ own, QString::fromStdString(m_sessionId) });
    WriteEntries(m_fileName, kept);
}

void CrashTracker::StopSession()
{
    m_fileGuard.Acquire();
    Entries entries = ReadEntries(m_fileName);
    const QString own = OwnKey();
    const auto isOwn = [&own](const auto& entry) { return entry.first == own; };
    // Nothing is written when the entry is gone already (a second stop).
    if (std::any_of(entries.cbegin(), entries.cend(), isOwn)) {
        entries.erase(std::remove_if(entries.begin(), entries.end(), isOwn), entries.end());
        WriteEntries(m_fileName, entries);
    }
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
    const QString own = OwnKey();
    for (const auto& entry : ReadEntries(m_fileName)) {
        // Lock files of runs that crashed since this one started would
        // otherwise outlive their entries; those of live runs stay.
        if (entry.first != own)
            ProbeSessionLock(m_fileName, entry.first, entry.second);
    }
    WriteEntries(m_fileName, {});
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
