#include <Zentar/Core/NamedLock.h>
#include <Zentar/QtUtil/AppMutexLocker.h>
#include <Zentar/QtUtil/ProcessUtil.h>

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

using Zentar::Util::AppMutexLocker;
using Zentar::Util::IsProcessRunning;

namespace
{

const QString HolderPath = QStringLiteral(ZENTAR_HELPER_DIR "/zentar_app_mutex_holder");

// Starts the holder locking `names`; returns what it printed first.
QByteArray StartHolder(QProcess& holder, const QStringList& names)
{
    holder.start(HolderPath, names);
    return holder.waitForReadyRead(10000) ? holder.readAllStandardOutput().trimmed() : QByteArray();
}

} // namespace

class TestProcesses : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lockerAgainstAnotherProcess()
    {
        const QString held = QStringLiteral("{00000000-0000-0000-0000-0000000000B1}");
        const std::string other = "{00000000-0000-0000-0000-0000000000B2}";
        QProcess holder;
        QCOMPARE(StartHolder(holder, { held }), QByteArray("locked"));

        AppMutexLocker locker({ other, held.toStdString() });
        QVERIFY(!locker.TryLockAppMutex());
        QVERIFY(Zentar::Core::NamedLock(other).TryLock()); // all or nothing

        // A holder killed outright leaves no stale lock.
        holder.kill();
        QVERIFY(holder.waitForFinished(10000));
        QVERIFY(locker.TryLockAppMutex());
        QProcess second;
        QCOMPARE(StartHolder(second, { held }), QByteArray("busy"));
        second.closeWriteChannel();
        QVERIFY(second.waitForFinished(10000));
    }

    void runningUntilKilled()
    {
        QProcess holder;
        QCOMPARE(StartHolder(holder, { QStringLiteral("{00000000-0000-0000-0000-0000000000C1}") }),
            QByteArray("locked"));
        const qint64 pid = holder.processId();
        QVERIFY(IsProcessRunning(pid, HolderPath));
        QVERIFY(!IsProcessRunning(pid, QCoreApplication::applicationFilePath()));
        QVERIFY(qAbs(Zentar::Util::ProcessStartTime(pid).secsTo(QDateTime::currentDateTime())) <= 5);
        QVERIFY(!Zentar::Util::ProcessStartTime(0).isValid());
        holder.kill();
        QVERIFY(holder.waitForFinished(10000));
        QVERIFY(!IsProcessRunning(pid, HolderPath));
    }

    void zombieIsNotRunning()
    {
        const pid_t child = fork();
        if (child == 0)
            for (;;)
                pause();
        QVERIFY(child > 0);
        const QString self = QCoreApplication::applicationFilePath();
        const bool aliveBefore = IsProcessRunning(child, self);
        kill(child, SIGKILL);
        // Wait for the exit without reaping: the child stays a zombie.
        siginfo_t info {};
        const int waited = waitid(P_PID, id_t(child), &info, WEXITED | WNOWAIT);
        const bool runningAsZombie = IsProcessRunning(child, self);
        waitpid(child, nullptr, 0);
        QVERIFY(aliveBefore);
        QCOMPARE(waited, 0);
        QVERIFY(!runningAsZombie);
    }
};

QTEST_GUILESS_MAIN(TestProcesses)
#include "tst_processes.moc"
