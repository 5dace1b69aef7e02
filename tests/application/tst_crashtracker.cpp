#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include <Zentar/App/MutexNames.h>

#include <memory>
#include <vector>

namespace {

const QString kApp = QStringLiteral(ZENTAR_HELPER_DIR "/zentar_crash_app");

// What one run of the helper printed.
struct Report
{
    QString session;
    QStringList crashed;
};

Report Parse(const QByteArray& output)
{
    Report report;
    for (const QByteArray& line : output.split('\n')) {
        if (line.startsWith("session "))
            report.session = QString::fromUtf8(line.mid(8));
        else if (line.startsWith("crashed "))
            report.crashed << QString::fromUtf8(line.mid(8));
    }
    return report;
}

// The crash-tracking file the helper shares with its other instances.
QString SessionFile()
{
    return qEnvironmentVariable("XDG_DATA_HOME")
           + QStringLiteral("/zentar_crash_app/Zentar/ZentarApp 20.4.0/zentar_crash_app.ini");
}

QStringList KeysInFile()
{
    QSettings file(SessionFile(), QSettings::IniFormat);
    return file.allKeys();
}

} // namespace

class TestCrashTracker : public QObject
{
    Q_OBJECT

    // Runs the helper to a clean end and returns its report.
    Report RunOnce(const QStringList& args = {})
    {
        QProcess p;
        p.start(kApp, args);
        if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            qWarning() << "helper failed" << p.readAllStandardError();
            return {};
        }
        return Parse(p.readAllStandardOutput());
    }

    // Starts a helper that stays up; returns once it has reported.
    std::unique_ptr<QProcess> StartWaiting(Report* report, const QStringList& extra = {})
    {
        auto p = std::make_unique<QProcess>();
        p->start(kApp, QStringList{QStringLiteral("--wait")} + extra);
        QByteArray output;
        while (!output.contains("ready\n") && p->waitForReadyRead(30000))
            output += p->readAllStandardOutput();
        *report = Parse(output);
        return p;
    }

    static void Kill(QProcess& p)
    {
        p.kill(); // SIGKILL: no clean-up of any kind
        p.waitForFinished(30000);
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(SessionFile());
    }

    void firstRunRecordsItsSession()
    {
        Report report;
        auto running = StartWaiting(&report);
        QVERIFY(report.crashed.isEmpty());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{6}-\\d{6}-\\d{6}$")).match(report.session).hasMatch());

        QSettings file(SessionFile(), QSettings::IniFormat);
        QCOMPARE(file.allKeys(), QStringList{QString::number(running->processId())});
        QCOMPARE(file.value(QString::number(running->processId())).toString(), report.session);

        running->closeWriteChannel();
        QVERIFY(running->waitForFinished(30000));
        QCOMPARE(running->exitCode(), 0);
        QVERIFY(KeysInFile().isEmpty());
    }

    void killedRunIsReportedOnce()
    {
        Report killed;
        auto running = StartWaiting(&killed);
        Kill(*running);
        QCOMPARE(KeysInFile().size(), 1);

        const Report next = RunOnce();
        QCOMPARE(next.crashed, QStringList{killed.session});
        QVERIFY(next.session != killed.session);
        QCOMPARE(RunOnce().crashed, QStringList());
        QVERIFY(KeysInFile().isEmpty());
    }

    void cleanExitIsNeverReported()
    {
        RunOnce();
        RunOnce();
        QCOMPARE(RunOnce().crashed, QStringList());
    }

    void liveInstanceIsNotACrash()
    {
        Report first;
        auto running = StartWaiting(&first);
        QCOMPARE(RunOnce().crashed, QStringList());
        QCOMPARE(KeysInFile(), QStringList{QString::number(running->processId())});
        running->closeWriteChannel();
        QVERIFY(running->waitForFinished(30000));
        QCOMPARE(RunOnce().crashed, QStringList());
    }

    void foreignEntriesCountAsCrashed()
    {
        // A process of another executable now holds this pid.
        QProcess other;
        other.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(other.waitForStarted());
        {
            QSettings file(SessionFile(), QSettings::IniFormat);
            file.setValue(QStringLiteral("not-a-pid"), QStringLiteral("111111-111111-111111"));
            file.setValue(QString::number(other.processId()), QStringLiteral("222222-222222-222222"));
        }
        const Report report = RunOnce();
        QCOMPARE(report.crashed.size(), 2);
        QVERIFY(report.crashed.contains(QStringLiteral("111111-111111-111111")));
        QVERIFY(report.crashed.contains(QStringLiteral("222222-222222-222222")));
        QVERIFY(KeysInFile().isEmpty());
        other.kill();
        other.waitForFinished();
    }

    void reusedPidOfTheSameExecutable()
    {
        // The entry was written an hour before this live instance started.
        Report live;
        auto running = StartWaiting(&live);
        const QString stale = QDateTime::currentDateTime().addSecs(-3600).toString(QStringLiteral("yyMMdd-HHmmss"))
                              + QStringLiteral("-123456");
        {
            QSettings file(SessionFile(), QSettings::IniFormat);
            file.setValue(QString::number(running->processId()), stale);
        }
        QCOMPARE(RunOnce().crashed, QStringList{stale});

        // Its own, current entry is not mistaken for a reused one.
        {
            QSettings file(SessionFile(), QSettings::IniFormat);
            file.setValue(QString::number(running->processId()), live.session);
        }
        QCOMPARE(RunOnce().crashed, QStringList());
        running->closeWriteChannel();
        QVERIFY(running->waitForFinished(30000));
    }

    void unusableFileStillStarts_data()
    {
        QTest::addColumn<QByteArray>("content");
        static const char garbage[] = "\x00\xff[[[=\n=\n\x01garbage";
        QTest::newRow("garbage") << QByteArray(garbage, sizeof garbage - 1);
        QTest::newRow("section only") << QByteArray("[General\nkey");
    }
    void unusableFileStillStarts()
    {
        QFETCH(QByteArray, content);
        QDir().mkpath(QFileInfo(SessionFile()).path());
        QFile f(SessionFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const Report report = RunOnce();
        QVERIFY(!report.session.isEmpty());
    }

    void directoryThatCannotBeCreated()
    {
        // A file where the folder should be: the tracker keeps working in memory.
        const QString folder = QFileInfo(SessionFile()).path();
        QDir(folder).removeRecursively();
        QDir().mkpath(QFileInfo(folder).path());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const Report report = RunOnce();
        QVERIFY(!report.session.isEmpty());
        QVERIFY(report.crashed.isEmpty());
        QFile::remove(folder);
    }

    void runningMutexSeenFromOtherProcesses()
    {
        const QString name = QString::fromLatin1(Zentar::App::APPLICATION_RUNNING_MUTEX_NAME);
        const auto probe = [&] {
            QProcess holder;
            holder.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_lock_holder"), {name});
            holder.waitForReadyRead(30000);
            const QByteArray answer = holder.readAllStandardOutput().trimmed();
            holder.closeWriteChannel();
            holder.waitForFinished(30000);
            return answer;
        };

        Report report;
        auto withMutex = StartWaiting(&report);
        QCOMPARE(probe(), QByteArray("busy"));
        Kill(*withMutex);
        QCOMPARE(probe(), QByteArray("locked"));

        auto withoutMutex = StartWaiting(&report, {QStringLiteral("--no-mutex")});
        QCOMPARE(probe(), QByteArray("locked"));
        Kill(*withoutMutex);
    }

    void busyInstancesLoseNoEntry()
    {
        // 16 instances at once, each opening and closing its session 50 times.
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int i = 0; i < 16; ++i) {
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->start(kApp, {QStringLiteral("--cycles"), QStringLiteral("50")});
        }
        for (auto& p : processes) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitCode(), 0);
            const QByteArray out = p->readAllStandardOutput();
            QVERIFY2(out.contains("cycles 0 0\n"), out.constData());
        }
        QVERIFY(KeysInFile().isEmpty());
    }

    void manyInstancesAtOnceLeaveNothingBehind()
    {
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int i = 0; i < 20; ++i) {
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->start(kApp, QStringList());
        }
        for (auto& p : processes) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->exitCode(), 0);
            QVERIFY(!p->readAllStandardOutput().contains("crashed"));
        }
        QVERIFY(KeysInFile().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCrashTracker)
#include "tst_crashtracker.moc"
