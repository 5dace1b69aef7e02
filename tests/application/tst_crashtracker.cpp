#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QtTest>

#include <Zentar/App/MutexNames.h>

#include "HelperReport.h"

#include <memory>
#include <signal.h>
#include <vector>

namespace
{

const QString kApp = QStringLiteral(ZENTAR_HELPER_DIR "/zentar_crash_app");

// What one run of the helper printed.
struct Report {
    QString session;
    QStringList crashed;
    QStringList logs; // "<severity> <text>", WARNING or worse
    QByteArray cleared;
    QByteArray rand;
};

Report Parse(const QByteArray& output)
{
    const HelperReport lines(output);
    return { lines.Text("session"), lines.Texts("crashed"), lines.Texts("log"), lines.Value("cleared"),
        lines.Value("rand") };
}

// The crash-tracking file the helper shares with its other instances.
QString SessionFile()
{
    return qEnvironmentVariable("XDG_DATA_HOME")
        + QStringLiteral("/zentar_crash_app/Zentar/ZentarApp 20.4.0/zentar_crash_app.ini");
}

QStringList KeysInFile()
{
    return QSettings(SessionFile(), QSettings::IniFormat).allKeys();
}

// Lock files of sessions left beside the session file.
QStringList LockFiles()
{
    return QFileInfo(SessionFile()).dir().entryList({ QStringLiteral("*.lock") });
}

void WriteEntry(const QString& key, const QString& session)
{
    QSettings(SessionFile(), QSettings::IniFormat).setValue(key, session);
}

// The helper with its local time in `zone` (a POSIX TZ value; empty: as the test's).
void Prepare(QProcess* p, const QString& zone)
{
    if (zone.isEmpty())
        return;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TZ"), zone);
    p->setProcessEnvironment(env);
}

// Runs the helper to a clean end and returns its report.
Report RunOnce(const QStringList& args = {}, const QString& zone = {})
{
    QProcess p;
    Prepare(&p, zone);
    p.start(kApp, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return Parse(p.readAllStandardOutput());
}

// Starts a helper that stays up until its standard input closes; returns once it has reported.
std::unique_ptr<QProcess> StartWaiting(
    Report* report, const QStringList& extra = {}, const QString& zone = {})
{
    auto p = std::make_unique<QProcess>();
    Prepare(p.get(), zone);
    p->start(kApp, QStringList { QStringLiteral("--wait") } + extra);
    QByteArray output;
    while (!output.contains("ready\n") && p->waitForReadyRead(30000))
        output += p->readAllStandardOutput();
    *report = Parse(output);
    return p;
}

// The wall-clock time at which a session was opened, from its identifier;
// read as UTC so that no zone of this test moves it.
QDateTime OpenedAt(const QString& session)
{
    const QDate date = QDate::fromString(QStringLiteral("20") + session.left(6), QStringLiteral("yyyyMMdd"));
    const QTime time = QTime::fromString(session.mid(7, 6), QStringLiteral("HHmmss"));
    return QDateTime(date, time, Qt::UTC);
}

// POSIX zones: local time 12 hours behind UTC, and 14 hours ahead.
const QString kWest = QStringLiteral("WEST+12");
const QString kEast = QStringLiteral("EAST-14");

// Starts `count` helpers at once; each must end cleanly with output passing `check`.
bool RunMany(int count, const QStringList& args, bool (*check)(const QByteArray&))
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < count; ++i) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(kApp, args);
    }
    bool ok = true;
    for (auto& p : processes) {
        const bool finished = p->waitForFinished(120000) && p->exitCode() == 0;
        const QByteArray output = p->readAllStandardOutput();
        if (!finished || !check(output)) {
            qWarning("helper %s:\n%s", finished ? "ended" : "did not end cleanly", output.constData());
            ok = false;
        }
    }
    return ok;
}

} // namespace

class TestCrashTracker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QFile::remove(SessionFile());
        for (const QString& name : LockFiles())
            QFile::remove(QFileInfo(SessionFile()).dir().filePath(name));
    }

    void killedRunIsReportedOnce()
    {
        Report killed;
        auto running = StartWaiting(&killed);
        QVERIFY(killed.crashed.isEmpty());
        QVERIFY(
            QRegularExpression(QStringLiteral("^\\d{6}-\\d{6}-\\d{6}$")).match(killed.session).hasMatch());
        QCOMPARE(QSettings(SessionFile(), QSettings::IniFormat).value(QString::number(running->processId())),
            QVariant(killed.session));
        running->kill(); // SIGKILL: no clean-up of any kind
        QVERIFY(running->waitForFinished(30000));

        const Report next = RunOnce();
        QCOMPARE(next.crashed, QStringList { killed.session });
        QVERIFY(!next.session.isEmpty() && next.session != killed.session);
        QCOMPARE(RunOnce().crashed, QStringList());
        QVERIFY(KeysInFile().isEmpty());
        QCOMPARE(LockFiles(), QStringList());
    }

    void cleanOrLiveInstanceIsNotACrash()
    {
        Report first;
        auto running = StartWaiting(&first);
        QCOMPARE(RunOnce().crashed, QStringList());
        QCOMPARE(KeysInFile(), QStringList { QString::number(running->processId()) });
        running->closeWriteChannel();
        QVERIFY(running->waitForFinished(30000));
        QCOMPARE(running->exitCode(), 0);
        QVERIFY(KeysInFile().isEmpty());
        QCOMPARE(RunOnce().crashed, QStringList());
    }

    void foreignEntriesCountAsCrashed()
    {
        // A process of another executable now holds this pid.
        QProcess other;
        other.start(QStringLiteral("sleep"), { QStringLiteral("60") });
        QVERIFY(other.waitForStarted());
        WriteEntry(QStringLiteral("not-a-pid"), QStringLiteral("111111-111111-111111"));
        WriteEntry(QString::number(other.processId()), QStringLiteral("222222-222222-222222"));
        QStringList crashed = RunOnce().crashed;
        crashed.sort();
        QCOMPARE(crashed,
            (QStringList { QStringLiteral("111111-111111-111111"), QStringLiteral("222222-222222-222222") }));
        QVERIFY(KeysInFile().isEmpty());
        other.kill();
        other.waitForFinished();
    }

    void liveInstanceSeenFromAnotherZone_data()
    {
        QTest::addColumn<QString>("firstZone");
        QTest::addColumn<QString>("secondZone");
        QTest::addColumn<int>("hoursAhead"); // of the second's local time
        QTest::newRow("second east") << kWest << kEast << 26;
        QTest::newRow("second west") << kEast << kWest << -26;
        QTest::newRow("same zone") << kEast << kEast << 0;
    }
    void liveInstanceSeenFromAnotherZone()
    {
        QFETCH(QString, firstZone);
        QFETCH(QString, secondZone);
        QFETCH(int, hoursAhead);
        Report first;
        auto running = StartWaiting(&first, {}, firstZone);
        const Report second = RunOnce({}, secondZone);
        // The zones really apply: the identifiers hold each run's local time.
        const qint64 apart = OpenedAt(first.session).secsTo(OpenedAt(second.session));
        QVERIFY2(qAbs(apart - hoursAhead * 3600) < 600,
            qPrintable(first.session + QLatin1Char(' ') + second.session));
        QCOMPARE(second.crashed, QStringList());
        QCOMPARE(KeysInFile(), QStringList { QString::number(running->processId()) });
        running->closeWriteChannel();
        QVERIFY(running->waitForFinished(30000));
        QCOMPARE(running->exitCode(), 0);
        QVERIFY(KeysInFile().isEmpty());
    }

    void reusedPidIsStillACrash_data()
    {
        QTest::addColumn<QString>("killedZone");
        QTest::addColumn<QString>("laterZone");
        QTest::newRow("same zone") << kEast << kEast;
        QTest::newRow("killed east, later west") << kEast << kWest;
        QTest::newRow("killed west, later east") << kWest << kEast;
    }
    void reusedPidIsStillACrash()
    {
        QFETCH(QString, killedZone);
        QFETCH(QString, laterZone);
        Report killed;
        auto crashed = StartWaiting(&killed, {}, killedZone);
        const QString crashedPid = QString::number(crashed->processId());
        crashed->kill();
        QVERIFY(crashed->waitForFinished(30000));
        const QString entry = QSettings(SessionFile(), QSettings::IniFormat).value(crashedPid).toString();
        QCOMPARE(entry, killed.session);

        // A new run of this same executable has taken the pid: the entry now
        // names a live process of the right program, started at once.
        Report live;
        auto running = StartWaiting(&live, {}, laterZone);
        QCOMPARE(live.crashed, QStringList { killed.session });
        const QString pid = QString::number(running->processId());
        WriteEntry(pid, killed.session);
        QCOMPARE(RunOnce({}, laterZone).crashed, QStringList { killed.session });
        // Its own, current entry is not mistaken for a reused one.
        WriteEntry(pid, live.session);
        QCOMPARE(RunOnce({}, killedZone).crashed, QStringList());
        running->closeWriteChannel();
        QVERIFY(running->waitForFinished(30000));
        QVERIFY(KeysInFile().isEmpty());
        QCOMPARE(LockFiles(), QStringList());
    }

    void stoppedInstanceDelaysStartOnly()
    {
        // Another instance stopped (SIGSTOP, a debugger) while it held the guard.
        QVERIFY(QDir().mkpath(QFileInfo(SessionFile()).path()));
        QProcess holder;
        holder.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_lock_holder"),
            { QStringLiteral("--file"), SessionFile() + QStringLiteral(".guard") });
        QVERIFY(holder.waitForReadyRead(30000));
        QCOMPARE(holder.readAllStandardOutput().trimmed(), QByteArray("locked"));
        const auto resume = qScopeGuard([&] {
            ::kill(pid_t(holder.processId()), SIGKILL);
            holder.waitForFinished(30000);
        });
        QCOMPARE(::kill(pid_t(holder.processId()), SIGSTOP), 0);

        Report live;
        auto running = StartWaiting(&live);
        QVERIFY(!live.session.isEmpty());
        QCOMPARE(live.logs.size(), 1);
        const QString warning = live.logs.first();
        QVERIFY2(warning.startsWith(QStringLiteral("1 ")) && warning.contains(QStringLiteral(".guard")),
            qPrintable(warning));
        // Unguarded, it still records itself, and leaves cleanly.
        QCOMPARE(KeysInFile(), QStringList { QString::number(running->processId()) });
        running->closeWriteChannel();
        QVERIFY(running->waitForFinished(30000));
        QCOMPARE(running->exitCode(), 0);
        QVERIFY(KeysInFile().isEmpty());
    }

    void clearedHistory()
    {
        Report killed;
        auto crashed = StartWaiting(&killed);
        crashed->kill();
        QVERIFY(crashed->waitForFinished(30000));
        Report clearing;
        auto running = StartWaiting(&clearing);
        QCOMPARE(clearing.crashed, QStringList { killed.session });
        // A run that crashes after this one started is cleared unreported.
        Report later;
        auto laterRun = StartWaiting(&later);
        laterRun->kill();
        QVERIFY(laterRun->waitForFinished(30000));
        QCOMPARE(KeysInFile().size(), 2);

        running->write("clear\n");
        QByteArray output;
        while (!output.contains("cleared ") || !output.endsWith('\n')) {
            QVERIFY(running->waitForReadyRead(30000));
            output += running->readAllStandardOutput();
        }
        QCOMPARE(Parse(output).cleared, QByteArray("0 0"));
        // Not even this run's own entry is left; only its own lock file is.
        QCOMPARE(KeysInFile(), QStringList());
        QCOMPARE(LockFiles().size(), 1);
        QVERIFY(LockFiles().first().contains(QString::number(running->processId())));
        running->closeWriteChannel();
        QVERIFY(running->waitForFinished(30000));
        QCOMPARE(running->exitCode(), 0);
        QCOMPARE(KeysInFile(), QStringList());
        QCOMPARE(LockFiles(), QStringList());
        QCOMPARE(RunOnce().crashed, QStringList());
    }

    void productRandomNumbersDifferBetweenRuns()
    {
        // The tracker seeds the product's generator from the clock's
        // milliseconds: three runs drawing alike would mean it never did.
        QSet<QByteArray> sequences;
        for (int run = 0; run < 3; ++run) {
            const Report report = RunOnce({ QStringLiteral("--rand") });
            QVERIFY(!report.rand.isEmpty());
            sequences << report.rand;
        }
        QVERIFY(sequences.size() > 1);
    }

    void unusableStorageStillStarts_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("asFolder");
        static const char garbage[] = "\x00\xff[[[=\n=\n\x01garbage";
        QTest::newRow("garbage") << QByteArray(garbage, sizeof garbage - 1) << false;
        QTest::newRow("section only") << QByteArray("[General\nkey") << false;
        // A file where the folder should be: the tracker keeps working in memory.
        QTest::newRow("folder cannot be created") << QByteArray() << true;
    }
    void unusableStorageStillStarts()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, asFolder);
        const QString folder = QFileInfo(SessionFile()).path();
        QDir(folder).removeRecursively();
        QDir().mkpath(asFolder ? QFileInfo(folder).path() : folder);
        QFile f(asFolder ? folder : SessionFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const Report report = RunOnce();
        QVERIFY(!report.session.isEmpty());
        if (asFolder) {
            QVERIFY(report.crashed.isEmpty());
            QFile::remove(folder);
        }
    }

    void runningMutexSeenFromOtherProcesses()
    {
        const auto probe = [] {
            QProcess holder;
            holder.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_lock_holder"),
                { QString::fromLatin1(Zentar::App::APPLICATION_RUNNING_MUTEX_NAME) });
            holder.waitForReadyRead(30000);
            const QByteArray answer = holder.readAllStandardOutput().trimmed();
            holder.closeWriteChannel();
            holder.waitForFinished(30000);
            return answer;
        };
        Report report;
        auto withMutex = StartWaiting(&report);
        QCOMPARE(probe(), QByteArray("busy"));
        withMutex->kill();
        QVERIFY(withMutex->waitForFinished(30000));
        QCOMPARE(probe(), QByteArray("locked"));

        auto withoutMutex = StartWaiting(&report, { QStringLiteral("--no-mutex") });
        QCOMPARE(probe(), QByteArray("locked"));
        withoutMutex->kill();
        withoutMutex->waitForFinished(30000);
    }

    void concurrentInstancesLoseAndLeaveNothing()
    {
        // 16 instances each opening and closing 50 sessions, then 20 plain ones at once.
        // They all line up for the guard: a busy guard is no stuck one.
        QVERIFY(RunMany(16, { QStringLiteral("--cycles"), QStringLiteral("50") },
            [](const QByteArray& out) { return out.contains("cycles 0 0\n") && !out.contains("log "); }));
        QVERIFY(KeysInFile().isEmpty());
        QVERIFY(RunMany(20, {}, [](const QByteArray& out) { return !out.contains("crashed"); }));
        QVERIFY(KeysInFile().isEmpty());
        QCOMPARE(LockFiles(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCrashTracker)
#include "tst_crashtracker.moc"
