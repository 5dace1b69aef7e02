#include <Zentar/Core/NamedLock.h>
#include <Zentar/QtUtil/AppMutexLocker.h>
#include <Zentar/QtUtil/ProcessUtil.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

using Zentar::Util::AppMutexLocker;
using Zentar::Util::IsProcessRunning;

namespace
{

const QString HolderPath = QStringLiteral(ZENTAR_HELPER_DIR "/zentar_app_mutex_holder");

// Starts `program` holding `names`; returns what it printed first.
QByteArray StartHolder(QProcess& holder, const QStringList& names, const QString& program = HolderPath)
{
    holder.start(program, names);
    if (!holder.waitForReadyRead(10000))
        return {};
    return holder.readAllStandardOutput().trimmed();
}

bool IsFree(const std::string& name)
{
    Zentar::Core::NamedLock probe(name);
    return probe.TryLock();
}

} // namespace

class TestProcesses : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lockerTakesAllOrNothing()
    {
        AppMutexLocker first(
            { "{00000000-0000-0000-0000-0000000000A1}", "{00000000-0000-0000-0000-0000000000A2}" });
        QVERIFY(first.TryLockAppMutex());
        QVERIFY(first.IsLocked());
        QVERIFY(!IsFree("{00000000-0000-0000-0000-0000000000A2}"));

        {
            AppMutexLocker second(
                { "{00000000-0000-0000-0000-0000000000A3}", "{00000000-0000-0000-0000-0000000000A2}" });
            QVERIFY(!second.TryLockAppMutex());
            QVERIFY(!second.IsLocked());
            // It let go of the name it got before failing.
            QVERIFY(IsFree("{00000000-0000-0000-0000-0000000000A3}"));

            first.Release();
            QVERIFY(second.TryLockAppMutex());
            QVERIFY(!IsFree("{00000000-0000-0000-0000-0000000000A3}"));
        }
        // Destruction releases.
        QVERIFY(IsFree("{00000000-0000-0000-0000-0000000000A3}"));
        QVERIFY(AppMutexLocker({}).TryLockAppMutex());
    }

    void lockerAgainstAnotherProcess()
    {
        const QString held = QStringLiteral("{00000000-0000-0000-0000-0000000000B1}");
        QProcess holder;
        QCOMPARE(StartHolder(holder, { held }), QByteArray("locked"));

        AppMutexLocker locker({ "{00000000-0000-0000-0000-0000000000B2}", held.toStdString() });
        QVERIFY(!locker.TryLockAppMutex());
        QVERIFY(IsFree("{00000000-0000-0000-0000-0000000000B2}"));

        // A holder killed outright leaves no stale lock.
        holder.kill();
        QVERIFY(holder.waitForFinished(10000));
        QVERIFY(locker.TryLockAppMutex());

        QProcess second;
        QCOMPARE(StartHolder(second, { held }), QByteArray("busy"));
        second.closeWriteChannel();
        QVERIFY(second.waitForFinished(10000));
    }

    void invalidArguments_data()
    {
        QTest::addColumn<qint64>("pid");
        QTest::addColumn<QString>("path");
        const QString self = QCoreApplication::applicationFilePath();
        QTest::newRow("pid 0") << qint64(0) << self;
        QTest::newRow("negative pid") << qint64(-1) << self;
        QTest::newRow("huge pid") << (qint64(1) << 40) << self;
        QTest::newRow("empty path") << QCoreApplication::applicationPid() << QString();
        QTest::newRow("missing file")
            << QCoreApplication::applicationPid() << QStringLiteral("/no/such/program");
        QTest::newRow("other program") << QCoreApplication::applicationPid() << HolderPath;
    }
    void invalidArguments()
    {
        QFETCH(qint64, pid);
        QFETCH(QString, path);
        QVERIFY(!IsProcessRunning(pid, path));
    }

    void ownProcess()
    {
        const qint64 pid = QCoreApplication::applicationPid();
        const QString self = QCoreApplication::applicationFilePath();
        QVERIFY(IsProcessRunning(pid, self));
        // The same program reached through a link.
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("link-to-self"));
        QVERIFY(QFile::link(self, link));
        QVERIFY(IsProcessRunning(pid, link));
    }

    void helperUntilKilled()
    {
        QProcess holder;
        QCOMPARE(StartHolder(holder, { QStringLiteral("{00000000-0000-0000-0000-0000000000C1}") }),
            QByteArray("locked"));
        const qint64 pid = holder.processId();
        QVERIFY(IsProcessRunning(pid, HolderPath));
        QVERIFY(!IsProcessRunning(pid, QCoreApplication::applicationFilePath()));
        holder.kill();
        QVERIFY(holder.waitForFinished(10000));
        QVERIFY(!IsProcessRunning(pid, HolderPath));
    }

    void processOfAnotherProgram()
    {
        const QString sleepPath = QStandardPaths::findExecutable(QStringLiteral("sleep"));
        if (sleepPath.isEmpty())
            QSKIP("no sleep program on this system");
        QProcess sleeper;
        sleeper.start(sleepPath, { QStringLiteral("30") });
        QVERIFY(sleeper.waitForStarted(10000));
        QVERIFY(!IsProcessRunning(sleeper.processId(), HolderPath));
        QVERIFY(IsProcessRunning(sleeper.processId(), sleepPath));
        sleeper.kill();
        QVERIFY(sleeper.waitForFinished(10000));
    }

    void zombieIsNotRunning()
    {
        int gate[2];
        QCOMPARE(pipe(gate), 0);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // Waits until the parent closes its end, then exits.
            close(gate[1]);
            char c;
            while (read(gate[0], &c, 1) > 0) { }
            _exit(0);
        }
        close(gate[0]);
        const QString self = QCoreApplication::applicationFilePath();
        const bool aliveBefore = IsProcessRunning(child, self);
        close(gate[1]);
        // Wait for the exit without reaping: the child stays a zombie.
        siginfo_t info {};
        const int waited = waitid(P_PID, id_t(child), &info, WEXITED | WNOWAIT);
        const bool runningAsZombie = IsProcessRunning(child, self);
        waitpid(child, nullptr, 0);
        QVERIFY(aliveBefore);
        QCOMPARE(waited, 0);
        QVERIFY(!runningAsZombie);
    }

    void programFileDeletedWhileRunning()
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("holder-copy"));
        QVERIFY(QFile::copy(HolderPath, copy));
        QProcess holder;
        QCOMPARE(StartHolder(holder, { QStringLiteral("{00000000-0000-0000-0000-0000000000D1}") }, copy),
            QByteArray("locked"));
        QVERIFY(QFile::remove(copy));
        QVERIFY(IsProcessRunning(holder.processId(), copy));
        QVERIFY(!IsProcessRunning(holder.processId(), HolderPath));
        holder.kill();
        QVERIFY(holder.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(TestProcesses)
#include "tst_processes.moc"
