#include <Zentar/App/IPCFocusTransfererSlave.h>
#include <Zentar/App/IPCManager.h>

#include "IpcTestSupport.h"
#include "LogCapture.h"

#include <QProcess>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

using namespace Zentar;
using namespace IpcTest;
using App::IPCManager;

namespace
{

const QString kMaster = kHelperDir + QStringLiteral("/zentar_ipc_master");

// A master started with `masterOptions` after the slave and its arguments.
struct Master {
    Master(const QString& slaveArguments, const QStringList& masterOptions = {})
    {
        process.start(kMaster, QStringList { kSlave, slaveArguments } + masterOptions);
    }
    ~Master()
    {
        process.kill();
        process.waitForFinished(10000);
    }
    QProcess process;
};

} // namespace

class TestFocusTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The process-wide instance is counted like any I/O object but never
    // deleted: this process is no slave, so it only counts here.
    void slaveSurvivesItsCount()
    {
        auto& slave = App::IPCFocusTransfererSlave::Instance();
        const IRefCountable* counted = qobject_cast<IRefCountable*>(&slave);
        QVERIFY(counted);
        QCOMPARE(counted->GetRefCount(), 1u);
        {
            const boost::intrusive_ptr<const IRefCountable> first(counted), second(counted);
            QCOMPARE(counted->GetRefCount(), 3u);
        }
        QCOMPARE(counted->AddRef(), 2u);
        QCOMPARE(counted->Release(), 1u);

        // A misuse, told to a developer who asks, not to the product's log.
        LogCapture log;
        FLAGS_v = 1;
        QCOMPARE(counted->Release(), 1u);
        FLAGS_v = 0;
        QVERIFY(log.Contains("Release without a matching AddRef"));
        QVERIFY(log.Texts(google::GLOG_ERROR).empty());
        QVERIFY(log.Texts(google::GLOG_WARNING).empty());
        QCOMPARE(&App::IPCFocusTransfererSlave::Instance(), &slave);
        QVERIFY(!slave.IsLinkEstablished());
    }

    void answer_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("activeWindow");
        QTest::newRow("yes with window A") << "yes=%A"
                                           << "A";
        QTest::newRow("no") << "no"
                            << "B";
        QTest::newRow("yes without =") << "yes"
                                       << "B";
        QTest::newRow("yes with letters") << "yes=window"
                                          << "B";
    }
    // The slave shows windows A and B (B active), hands the focus back and
    // reports which window is active; then it hands back again and quits.
    void answer()
    {
        QFETCH(QString, answer);
        QFETCH(QString, activeWindow);
        Report report;
        MasterClient client;
        QVERIFY(IPCManager::LaunchSlave(client, kSlave,
            report.Option() + QStringLiteral(" --script=show,give,wait-master-gone,give"), false));
        QCOMPARE(client.channel->ReadText(), std::string("applicationClosed"));
        const QString windowA = report.Value(QStringLiteral("window A"));
        QVERIFY(!windowA.isEmpty());
        QCOMPARE(report.Value(QStringLiteral("active")), report.Value(QStringLiteral("window B")));
        client.channel->WriteText(QString(answer).replace(QStringLiteral("%A"), windowA).toStdString());

        QTRY_VERIFY(report.Has(QStringLiteral("exiting")));
        QVERIFY(client.WaitForSlaveExit(report.Pid()));
        const QStringList lines = report.Lines();
        QCOMPARE(lines.filter(QStringLiteral("given")).size(), 2);
        QCOMPARE(lines.filter(QStringLiteral("active ")).last(),
            QStringLiteral("active ") + report.Value(QStringLiteral("window ") + activeWindow));
        // The hand-back stopped the watch on the master, which still lives.
        QVERIFY(lines.contains(QStringLiteral("masterGone")));
        // The second hand-back sent nothing: the link ends without another message.
        QVERIFY(ErrorOfRead(client.channel.get()).contains(QStringLiteral("has closed")));
        client.channel.reset();
        QCOMPARE(PipeFiles(), QStringList());
        QCOMPARE(report.LinkWarnings(), QStringList());
    }

    // A slave that leaves without handing the focus back (quit() from its
    // own code) must not wait for its live master, and a slave that has
    // ended must not linger as a zombie while its master lives.
    void slaveEndsWhileMasterLives_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("quit without hand-back") << QString();
        QTest::newRow("quit after hand-back") << QStringLiteral("give");
    }
    void slaveEndsWhileMasterLives()
    {
        QFETCH(QString, script);
        Report report;
        Master master(
            report.Option() + QStringLiteral(" --script=") + script, { QStringLiteral("--linger") });
        QTRY_VERIFY(report.Has(QStringLiteral("exiting")));
        QElapsedTimer sinceQuit;
        sinceQuit.start();
        const qint64 pid = report.Pid();
        QTRY_VERIFY_WITH_TIMEOUT(HasExited(pid), 5000);
        QVERIFY2(sinceQuit.elapsed() < 1000, qPrintable(QString::number(sinceQuit.elapsed())));
        QTRY_COMPARE(ProcessState(pid), char(0));
        QCOMPARE(master.process.state(), QProcess::Running);
        QCOMPARE(report.LinkWarnings(), QStringList());
    }

    // The master polls (and then reads) for far longer than its pipes'
    // connect bound before the slave's first Instance(): the slave still
    // links and hands the focus back.
    void lateSlaveLinks()
    {
        Report report;
        Report masterReport;
        const QString go = report.Path() + QStringLiteral(".go");
        Master master(
            report.Option() + QStringLiteral(" --wait-for=") + go + QStringLiteral(" --script=give"),
            { masterReport.Option(), QStringLiteral("--connect-bound-ms=300"),
                QStringLiteral("--poll-ms=20") });
        QTRY_VERIFY(report.Has(QStringLiteral("waiting")));
        QTRY_VERIFY_WITH_TIMEOUT(masterReport.Has(QStringLiteral("waited past the bound"))
                || !masterReport.Value(QStringLiteral("link ended")).isEmpty(),
            10000);
        QCOMPARE(masterReport.Value(QStringLiteral("link ended")), QString());
        QVERIFY(QFile(go).open(QIODevice::WriteOnly));

        QTRY_VERIFY_WITH_TIMEOUT(report.Has(QStringLiteral("exiting")), 10000);
        QVERIFY(report.Has(QStringLiteral("linked 1")));
        QVERIFY(report.Has(QStringLiteral("given")));
        QTRY_VERIFY(masterReport.Has(QStringLiteral("received applicationClosed")));
        QTRY_COMPARE(PipeFiles(), QStringList());
        QCOMPARE(report.LinkWarnings(), QStringList());
        QCOMPARE(masterReport.LinkWarnings(), QStringList());
    }

    // A slave whose master died before the slave's first Instance(): no
    // call waits for it, the second costs next to nothing, and the
    // abandoned pipes are removed.
    void deadMasterCostsNothing()
    {
        Report report;
        const QString go = report.Path() + QStringLiteral(".go");
        {
            Master master(report.Option() + QStringLiteral(" --wait-for=") + go);
            QTRY_VERIFY(report.Has(QStringLiteral("waiting")));
        }
        QVERIFY(QFile(go).open(QIODevice::WriteOnly));
        QTRY_VERIFY_WITH_TIMEOUT(report.Has(QStringLiteral("exiting")), 15000);
        const QStringList calls = report.Lines().filter(QRegularExpression(QStringLiteral("^instance-us ")));
        QCOMPARE(calls.size(), 2);
        QVERIFY(report.Has(QStringLiteral("linked 0")));
        const qint64 secondUs = calls.at(1).mid(12).toLongLong();
        QVERIFY2(secondUs < 10000, qPrintable(calls.join(QLatin1Char(','))));
        QCOMPARE(PipeFiles(), QStringList());
        QCOMPARE(report.LinkWarnings(), QStringList());
    }

    // The master's standard error is a pipe whose reader has gone: a slave
    // that writes log lines must not die of it.
    void slaveLogsAfterMasterStderrClosed()
    {
        int fds[2];
        QCOMPARE(::pipe(fds), 0);
        ::close(fds[0]);
        Report report;
        const QByteArray master = kMaster.toLocal8Bit();
        const QByteArray slave = kSlave.toLocal8Bit();
        const QByteArray slaveArguments
            = (report.Option() + QStringLiteral(" --script=log,give")).toLocal8Bit();
        char* argv[] = { const_cast<char*>(master.constData()), const_cast<char*>(slave.constData()),
            const_cast<char*>(slaveArguments.constData()), nullptr };
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
        pid_t masterPid = 0;
        const int spawned = posix_spawn(&masterPid, argv[0], &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        QCOMPARE(spawned, 0);

        QTRY_VERIFY(report.Has(QStringLiteral("exiting")));
        QVERIFY(report.Has(QStringLiteral("logged")));
        QVERIFY(report.Has(QStringLiteral("given")));
        ::kill(masterPid, SIGKILL);
        ::waitpid(masterPid, nullptr, 0);
    }

    void masterKilled()
    {
        Report report;
        QProcess master;
        master.start(kHelperDir + QStringLiteral("/zentar_ipc_master"),
            { kSlave, report.Option() + QStringLiteral(" --script=wait-master-gone,give") });
        QTRY_VERIFY(report.Has(QStringLiteral("linked 1")));
        QVERIFY(!report.Has(QStringLiteral("masterGone")));
        master.kill();
        QVERIFY(master.waitForFinished(10000));

        QTRY_VERIFY(report.Has(QStringLiteral("exiting")));
        const QStringList lines = report.Lines();
        QVERIFY(lines.indexOf(QStringLiteral("masterGone")) < lines.indexOf(QStringLiteral("given")));
        QCOMPARE(PipeFiles(), QStringList());
        QCOMPARE(report.LinkWarnings(), QStringList());
    }
};

QTEST_MAIN(TestFocusTransfer)
#include "tst_focustransfer.moc"
