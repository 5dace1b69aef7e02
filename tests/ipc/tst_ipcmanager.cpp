#include <Zentar/App/IPCManager.h>
#include <Zentar/IO/CommunicationChannel.h>
#include <Zentar/IO/DataInputPipe.h>
#include <Zentar/IO/DataOutputPipe.h>

#include "IpcTestSupport.h"
#include "LogCapture.h"

#include <QProcess>

#include <cstdlib>
#include <ctime>
#include <sys/syscall.h>

using namespace Zentar;
using namespace IpcTest;
using App::IPCManager;

namespace
{

std::string Utf8(const QString& s)
{
    return s.toStdString();
}

// True while the process is blocked in a write to a descriptor other than
// the standard ones: for the peers here, a message larger than the pipe holds
// is half sent. -1 when the system does not tell.
int BlockedInWrite(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/syscall").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    // "running" while not in a system call.
    const QList<QByteArray> fields = file.readAll().split(' ');
    if (fields.size() < 2)
        return 0;
    bool ok = false;
    const long fd = fields.at(1).toLong(&ok, 16);
    return fields.at(0).toLong() == SYS_write && ok && fd > 2 ? 1 : 0;
}

// The pipes of link `id` held as the master holds them.
struct MasterPipes {
    explicit MasterPipes(const QString& id)
        : input(Core::DataInputPipe::Create(Utf8(IPCManager::OutputPipeName(id)), true))
        , output(Core::DataOutputPipe::Create(Utf8(IPCManager::InputPipeName(id)), true))
    {
    }
    boost::intrusive_ptr<Core::IByteDataInputEx> input;
    boost::intrusive_ptr<Core::IByteDataOutputEx> output;
};

} // namespace

class TestIpcManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parameterText_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("extra argument") << "--x"
                                        << "--x /MasterPipeId=123 /ProcessId=4567";
        QTest::newRow("none") << ""
                              << " /MasterPipeId=123 /ProcessId=4567";
    }
    void parameterText()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, expected);
        QCOMPARE(IPCManager::SlaveParameters(arguments, 123, 4567), expected);
        QCOMPARE(IPCManager::InputPipeName(QStringLiteral("123")),
            QStringLiteral("\\\\.\\pipe\\ZentarIPCInput123"));
        QCOMPARE(IPCManager::OutputPipeName(QStringLiteral("123")),
            QStringLiteral("\\\\.\\pipe\\ZentarIPCOutput123"));
    }

    void launchSlave_data()
    {
        QTest::addColumn<QString>("slavePath");
        QTest::addColumn<QString>("currentDir");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QStringList>("expectedArguments");
        const QString beside = QDir(QCoreApplication::applicationDirPath()).relativeFilePath(kSlave);
        QTest::newRow("absolute path, no arguments") << kSlave << QString() << "--mode=echo" << QStringList();
        QTest::newRow("beside the application")
            << beside << QString() << "--mode=echo --x" << QStringList { "--x" };
        QTest::newRow("relative to the current directory")
            << "zentar_ipc_slave" << kHelperDir << "--mode=echo \"two words\"" << QStringList { "two words" };
    }
    void launchSlave()
    {
        QFETCH(QString, slavePath);
        QFETCH(QString, currentDir);
        QFETCH(QString, arguments);
        QFETCH(QStringList, expectedArguments);
        const QString previousDir = QDir::currentPath();
        if (!currentDir.isEmpty())
            QDir::setCurrent(currentDir);
        Report report;
        MasterClient client;
        const bool launched = IPCManager::LaunchSlave(
            client, slavePath, arguments + QLatin1Char(' ') + report.Option(), false);
        QDir::setCurrent(previousDir);
        QVERIFY(launched);
        QVERIFY(client.channel);
        QVERIFY(client.slave > 0);

        QCOMPARE(client.channel->ReadText(), std::string("hello from slave"));
        client.channel->WriteText("ping");
        QCOMPARE(client.channel->ReadText(), std::string("echo:ping"));

        QStringList slaveArguments = report.Arguments();
        QCOMPARE(slaveArguments.size(), expectedArguments.size() + 4);
        QCOMPARE(slaveArguments.mid(1, expectedArguments.size()), expectedArguments);
        QVERIFY(slaveArguments.at(slaveArguments.size() - 2).startsWith(QLatin1String("/MasterPipeId=")));
        QCOMPARE(slaveArguments.last(), QStringLiteral("/ProcessId=%1").arg(getpid()));
        QCOMPARE(report.Value(QStringLiteral("masterPid")), QString::number(getpid()));
        QCOMPARE(report.Value(QStringLiteral("cwd")), kHelperDir);

        client.channel->WriteText("quit");
        QVERIFY(client.WaitForSlaveExit(report.Value(QStringLiteral("pid")).toLongLong()));
        client.channel.reset();
        QCOMPARE(PipeFiles(), QStringList());
    }

    void launchFailure()
    {
        MasterClient nothing;
        QVERIFY(!IPCManager::LaunchSlave(nothing, QString(), QString(), false));
        QCOMPARE(nothing.channelsReceived, 0);
        QCOMPARE(PipeFiles(), QStringList());

        // A slave that cannot be started leaves the client its channel; the
        // pipes go with it.
        MasterClient client;
        QVERIFY(!IPCManager::LaunchSlave(client, QStringLiteral("no-such-slave-program"), QString(), false));
        QCOMPARE(client.channelsReceived, 1);
        QCOMPARE(client.slave, 0LL);
        QCOMPARE(PipeFiles().size(), 2);
        client.channel.reset();
        QCOMPARE(PipeFiles(), QStringList());
    }

    void busyPipeNamesDrawAnotherNumber()
    {
        // The generator is seeded with the time in seconds: occupy the first
        // number of this second and of the next one.
        const std::time_t now = std::time(nullptr);
        QList<MasterPipes*> busy;
        QStringList busyIds;
        for (std::time_t seed : { now, now + 1 }) {
            std::srand(unsigned(seed));
            busyIds << QString::number(std::rand());
            busy << new MasterPipes(busyIds.last());
        }
        Report report;
        MasterClient client;
        QVERIFY(
            IPCManager::LaunchSlave(client, kSlave, QStringLiteral("--mode=echo ") + report.Option(), false));
        if (std::time(nullptr) > now + 1)
            QSKIP("the clock passed two seconds during the launch");
        QCOMPARE(client.channel->ReadText(), std::string("hello from slave"));
        const QString id = report.Arguments().at(report.Arguments().size() - 2).mid(14);
        QVERIFY2(!busyIds.contains(id), qPrintable(id));
        // The occupied pipes are untouched.
        for (const QString& busyId : busyIds)
            QVERIFY(Core::NamedPipeExists(Utf8(IPCManager::InputPipeName(busyId))));
        client.channel->WriteText("quit");
        QVERIFY(client.WaitForSlaveExit(report.Value(QStringLiteral("pid")).toLongLong()));
        qDeleteAll(busy);
    }

    void slaveCommandLine_data()
    {
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<QString>("pipeId");
        QTest::addColumn<bool>("linked");
        const QString pid = QString::number(getpid());
        QTest::newRow("no switches") << QStringList() << QString() << false;
        QTest::newRow("pipe id only") << QStringList { "/MasterPipeId=7" } << "7" << false;
        QTest::newRow("letters after the process id")
            << QStringList { "/MasterPipeId=7", "/ProcessId=12ab" } << "7" << false;
        QTest::newRow("process id zero") << QStringList { "/MasterPipeId=7", "/ProcessId=0" } << "7" << false;
        QTest::newRow("empty pipe id")
            << QStringList { "/MasterPipeId=", "/ProcessId=" + pid } << QString() << false;
        QTest::newRow("switch inside an argument")
            << QStringList { "foo/MasterPipeId=7", "/ProcessId=" + pid } << "foo7" << true;
        QTest::newRow("later argument wins")
            << QStringList { "/MasterPipeId=1", "/ProcessId=1", "/MasterPipeId=8", "/ProcessId=" + pid }
            << "8" << true;
    }
    void slaveCommandLine()
    {
        QFETCH(QStringList, switches);
        QFETCH(QString, pipeId);
        QFETCH(bool, linked);
        std::unique_ptr<MasterPipes> pipes;
        if (!pipeId.isEmpty())
            pipes = std::make_unique<MasterPipes>(pipeId);
        Report report;
        QProcess slave;
        slave.start(kSlave, QStringList { QStringLiteral("--mode=echo"), report.Option() } + switches);
        if (linked) {
            auto channel = Core::CommunicationChannel::Create(pipes->input, pipes->output, false);
            QCOMPARE(channel->ReadText(), std::string("hello from slave"));
            channel->WriteText("quit");
        }
        QVERIFY(slave.waitForFinished(20000));
        QCOMPARE(report.Value(QStringLiteral("linked")), linked ? QStringLiteral("1") : QStringLiteral("0"));
        if (linked)
            QCOMPARE(report.Value(QStringLiteral("masterPid")), QString::number(getpid()));
        pipes.reset();
        QCOMPARE(PipeFiles(), QStringList());
    }

    void masterGoneBeforeSlaveConnects()
    {
        // A master that made its pipes and died before its slave came.
        const QString id = QStringLiteral("4242");
        QProcess master;
        master.start(kHelperDir + QStringLiteral("/zentar_pipe_peer"),
            { QStringLiteral("--create"), QStringLiteral("hold"),
                QString::fromStdString(Utf8(IPCManager::OutputPipeName(id))),
                QString::fromStdString(Utf8(IPCManager::InputPipeName(id))) });
        QVERIFY(master.waitForReadyRead(10000));
        QTRY_COMPARE(PipeFiles().size(), 2);
        const qint64 masterPid = master.processId();
        master.kill();
        QVERIFY(master.waitForFinished(10000));
        QCOMPARE(PipeFiles().size(), 2);

        Report report;
        QProcess slave;
        slave.start(kSlave,
            { QStringLiteral("--mode=echo"), report.Option(), "/MasterPipeId=" + id,
                QStringLiteral("/ProcessId=%1").arg(masterPid) });
        QVERIFY(slave.waitForFinished(20000));
        QCOMPARE(report.Value(QStringLiteral("linked")), QStringLiteral("0"));
        QVERIFY(slave.readAllStandardError().contains("cannot open the link"));
        QCOMPARE(PipeFiles(), QStringList());
    }

    void slaveKilledMidMessage()
    {
        LogCapture log;
        Report report;
        MasterClient client;
        QVERIFY(
            IPCManager::LaunchSlave(client, kSlave, QStringLiteral("--mode=echo ") + report.Option(), true));
        QCOMPARE(client.channel->ReadText(), std::string("hello from slave"));
        client.channel->WriteText("big 16777216");
        QTRY_VERIFY(report.Has(QStringLiteral("sending")));
        const qint64 pid = report.Value(QStringLiteral("pid")).toLongLong();
        if (BlockedInWrite(pid) < 0)
            QSKIP("/proc/<pid>/syscall is not readable here");
        QTRY_COMPARE(BlockedInWrite(pid), 1);
        ::kill(pid_t(pid), SIGKILL);
        QVERIFY(client.WaitForSlaveExit(pid));
        QVERIFY(ErrorOfRead(client.channel.get()).contains(QStringLiteral("has closed")));
        QVERIFY(log.Contains("incomplete message"));
        // The link stays broken, for reading and writing.
        QVERIFY_EXCEPTION_THROWN(client.channel->GetMessageLength(), Core::IOException);
        QVERIFY_EXCEPTION_THROWN(client.channel->WriteText("late"), Core::IOException);
        client.channel.reset();
        QCOMPARE(PipeFiles(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestIpcManager)
#include "tst_ipcmanager.moc"
