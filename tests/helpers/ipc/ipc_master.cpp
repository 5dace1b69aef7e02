// A master application for the link tests: starts the slave given by
// --slave=<path> with --slave-args=<text> through the library, prints
// "launched 1" (or 0), then handles the slave's messages by --answer:
//   any text   sent back for "applicationClosed"
//   die        the process kills itself on "applicationClosed"
//   mute       never answers
// It prints "closed" when the link breaks and then exits.
#include <Zentar/App/IIPCClient.h>
#include <Zentar/App/IPCManager.h>
#include <Zentar/IO/IOException.h>

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

using namespace Zentar;

namespace
{

QString Option(const QString& name)
{
    const QString prefix = QStringLiteral("--") + name + QLatin1Char('=');
    const QStringList arguments = QCoreApplication::arguments();
    for (const QString& argument : arguments)
        if (argument.startsWith(prefix))
            return argument.mid(prefix.size());
    return QString();
}

void Say(const char* line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

class MasterClient : public App::IIPCClient
{
public:
    void SetCommunicationChannel(boost::intrusive_ptr<Core::IDataChannel> c) override { channel = c; }
    void SetAppHandler(long long handle) override { slave = handle; }
    void ChannelClosed() override { channel.reset(); }

    boost::intrusive_ptr<Core::IDataChannel> channel;
    long long slave = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    MasterClient client;
    const bool launched = App::IPCManager::LaunchSlave(
        client, Option(QStringLiteral("slave")), Option(QStringLiteral("slave-args")), true);
    Say(launched ? "launched 1" : "launched 0");
    if (!launched)
        return 1;
    const QString answer = Option(QStringLiteral("answer"));
    try {
        for (;;) {
            const std::string message = client.channel->ReadText();
            if (message != "applicationClosed")
                continue;
            if (answer == QLatin1String("die"))
                std::raise(SIGKILL);
            if (answer != QLatin1String("mute"))
                client.channel->WriteText(answer.toStdString());
        }
    } catch (const Core::IOException&) {
        Say("closed");
    }
    return 0;
}
