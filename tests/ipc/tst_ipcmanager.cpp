#include <Zentar/App/IPCManager.h>
#include <Zentar/IO/CommunicationChannel.h>
#include <Zentar/IO/DataInputPipe.h>
#include <Zentar/IO/DataOutputPipe.h>

#include "IpcTestSupport.h"
#include "LogCapture.h"

#include <QProcess>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <sys/syscall.h>

using namespace Zentar;
using namespace IpcTest;
using App::IPCManager;

namespace
{

// 1 while the process is blocked in a write to a non-standard descriptor (a
// message larger than the pipe holds is half sent); -1 when the system does not tell.
int BlockedInWrite(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/syscall").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = file.readAll().split(' ');
    bool ok = false;
    const long fd = fields.size() < 2 ? 0 : fields.at(1).toLong(&ok, 16);
    return fields.at(0).toLong() == SYS_write && ok && fd > 2 ? 1 : 0;
}

// The pipes of link `id` held as the master holds them.
struct MasterPipes {
    explicit MasterPipes(const QString& id)
        : input(Core::DataInputPipe::Create(IPCManager::OutputPipeName(id).toStdString(), true))
        , output(Core::DataOutputPipe::Create(IPCManager::InputPipeName(id).toStdString(), true))
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
    void parameterText()
    {
        QCOMPARE(IPCManager::SlaveParameters(QStringLiteral("--x"), 123, 4567),
            QStringLiteral("--x /MasterPipeId=123 /ProcessId=4567"));
        QCOMPARE(IPCManager::SlaveParameters(QString(), 123, 4567),
            QStringLiteral(" /MasterPipeId=123 /ProcessId=4567"));
    }

    // The generator is seeded with the time in seconds: the first numbers of
    // this second and the next are occupied, so the launch draws another.
    void launchSlave_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QStringList>("expectedArguments");
        QTest::newRow("no arguments") << "--mode=echo" << QStringList();
        QTest::newRow("quoted argument") << "--mode=echo \"two words\"" << QStringList { "two words" };
    }
    void launchSlave()
    {
        QFETCH(QString, arguments);
        QFETCH(QStringList, expectedArguments);
        const std::time_t now = std::time(nullptr);
        std::vector<std::unique_ptr<MasterPipes>> busy;
        QStringList busyIds;
        for (std::time_t seed : { now, now + 1 }) {
            std::srand(unsigned(seed));
            busyIds << QString::number(std::rand());
            busy.push_back(std::make_unique<MasterPipes>(busyIds.last()));
        }
        Report report;
        MasterClient client;
        QVERIFY(
            IPCManager::LaunchSlave(client, kSlave, arguments + QLatin1Char(' ') + report.Option(), false));
        QVERIFY(client.other > 0);
        QCOMPARE(client.channel->ReadText(), std::string("hello from slave"));
        client.channel->WriteText("ping");
        QCOMPARE(client.channel->ReadText(), std::string("echo:ping"));

        const QStringList slaveArguments = report.Lines().filter(QRegularExpression(QStringLiteral("^arg ")));
        QCOMPARE(slaveArguments.size(), expectedArguments.size() + 4);
        for (int i = 0; i < expectedArguments.size(); ++i)
            QCOMPARE(slaveArguments.at(i + 1), QStringLiteral("arg ") + expectedArguments.at(i));
        const QString id = slaveArguments.at(slaveArguments.size() - 2).mid(18);
        QVERIFY(slaveArguments.at(slaveArguments.size() - 2).startsWith(QLatin1String("arg /MasterPipeId=")));
        QCOMPARE(slaveArguments.last(), QStringLiteral("arg /ProcessId=%1").arg(getpid()));
        if (std::time(nullptr) <= now + 1)
            QVERIFY2(!busyIds.contains(id), qPrintable(id));
        for (const QString& busyId : busyIds)
            QVERIFY(Core::NamedPipeExists(IPCManager::InputPipeName(busyId).toStdString()));

        client.channel->WriteText("quit");
        QVERIFY(client.WaitForSlaveExit(report.Pid()));
        client.channel.reset();
        busy.clear();
        QCOMPARE(PipeFiles(), QStringList());
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
            << QStringList { "/MasterPipeId=1", "/ProcessId=1x", "/MasterPipeId=8", "/ProcessId=" + pid }
            << "8" << true;
        QTest::newRow("later bad process id wins")
            << QStringList { "/MasterPipeId=7", "/ProcessId=" + pid, "/ProcessId=1x" } << "7" << false;
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
        pipes.reset();
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
        const qint64 pid = report.Pid();
        if (BlockedInWrite(pid) < 0)
            QSKIP("/proc/<pid>/syscall is not readable here");
        QTRY_COMPARE(BlockedInWrite(pid), 1);
        ::kill(pid_t(pid), SIGKILL);
        QVERIFY(client.WaitForSlaveExit(pid));
        QVERIFY(ErrorOfRead(client.channel.get()).contains(QStringLiteral("has closed")));
        QVERIFY(log.Contains("incomplete message"));
        QVERIFY_EXCEPTION_THROWN(client.channel->WriteText("late"), Core::IOException);
        client.channel.reset();
        QCOMPARE(PipeFiles(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestIpcManager)
#include "tst_ipcmanager.moc"
