// A slave application for the link tests. Its own options (the master adds
// "/MasterPipeId=" and "/ProcessId=" behind them):
//   --report=<file>   where every observation is appended, one line each
//   --mode=focus      the library's focus hand-back slave, driven by
//   --script=a,b,...  steps: show (windows A and B, B active), give (hand the
//                     focus back), settle (report the active window),
//                     wait-master-gone, quit
//   --mode=echo       a plain client: says "hello from slave", then answers
//                     every message with "echo:" + message; "big <n>" makes
//                     it send an n-byte message, "quit" ends it
#include <Zentar/App/IIPCClient.h>
#include <Zentar/App/IPCFocusTransfererSlave.h>
#include <Zentar/App/IPCManager.h>
#include <Zentar/IO/IOException.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <functional>

#include <unistd.h>

using namespace Zentar;

namespace
{

QString g_reportPath;

void Report(const QString& line)
{
    QFile file(g_reportPath);
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write(line.toUtf8() + '\n');
}

QString Option(const QString& name)
{
    const QString prefix = QStringLiteral("--") + name + QLatin1Char('=');
    const QStringList arguments = QCoreApplication::arguments();
    for (const QString& argument : arguments)
        if (argument.startsWith(prefix))
            return argument.mid(prefix.size());
    return QString();
}

QString ActiveWindowId()
{
    QWindow* window = QGuiApplication::focusWindow();
    return QString::number(window ? window->winId() : 0);
}

// The process a pidfd refers to, from the kernel's description of it.
qint64 PidOfHandle(long long handle)
{
    QFile info(QStringLiteral("/proc/self/fdinfo/%1").arg(handle));
    if (handle > 0 && info.open(QIODevice::ReadOnly))
        for (const QByteArray& line : info.readAll().split('\n'))
            if (line.startsWith("Pid:"))
                return line.mid(4).trimmed().toLongLong();
    return 0;
}

bool WaitUntil(const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 20000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class EchoClient : public App::IIPCClient
{
public:
    void SetCommunicationChannel(boost::intrusive_ptr<Core::IDataChannel> c) override { channel = c; }
    void SetAppHandler(long long handle) override { master = handle; }
    void ChannelClosed() override { channel.reset(); }

    boost::intrusive_ptr<Core::IDataChannel> channel;
    long long master = 0;
};

int RunEcho()
{
    EchoClient client;
    const bool linked = App::IPCManager::SetUpSlaveClient(client, true);
    Report(QStringLiteral("linked %1").arg(linked ? 1 : 0));
    if (!linked)
        return 0;
    Report(QStringLiteral("masterPid %1").arg(PidOfHandle(client.master)));
    try {
        client.channel->WriteText("hello from slave");
        for (;;) {
            const std::string message = client.channel->ReadText();
            if (message == "quit")
                break;
            if (message.rfind("big ", 0) == 0) {
                Report(QStringLiteral("sending"));
                client.channel->WriteText(std::string(std::stoul(message.substr(4)), 'b'));
            } else {
                client.channel->WriteText("echo:" + message);
            }
        }
    } catch (const Core::IOException& e) {
        Report(QStringLiteral("closed %1").arg(QString::fromUtf8(e.what())));
    }
    return 0;
}

int RunFocus(QApplication& app)
{
    auto& slave = App::IPCFocusTransfererSlave::Instance();
    Report(QStringLiteral("linked %1").arg(slave.IsLinkEstablished() ? 1 : 0));
    QWidget a;
    QWidget b;
    const QStringList steps = Option(QStringLiteral("script")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    QTimer::singleShot(0, &app, [&] {
        for (const QString& step : steps) {
            if (step == QLatin1String("show")) {
                a.setWindowTitle(QStringLiteral("A"));
                b.setWindowTitle(QStringLiteral("B"));
                a.resize(200, 100);
                b.resize(200, 100);
                a.show();
                b.show();
                b.activateWindow();
                Report(QStringLiteral("window A %1").arg(a.winId()));
                Report(QStringLiteral("window B %1").arg(b.winId()));
                WaitUntil([&] { return b.isActiveWindow(); });
                Report(QStringLiteral("active %1").arg(ActiveWindowId()));
            } else if (step == QLatin1String("give")) {
                slave.GiveFocusToParent();
                Report(QStringLiteral("given"));
            } else if (step == QLatin1String("settle")) {
                for (int i = 0; i < 5; ++i)
                    QCoreApplication::processEvents();
                Report(QStringLiteral("active %1").arg(ActiveWindowId()));
            } else if (step == QLatin1String("wait-master-gone")) {
                const bool gone = WaitUntil([&] { return !slave.IsMasterAlive(); });
                Report(gone ? QStringLiteral("masterGone") : QStringLiteral("master still alive"));
            } else if (step == QLatin1String("quit")) {
                break;
            }
        }
        Report(QStringLiteral("exiting"));
        app.quit();
    });
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    g_reportPath = Option(QStringLiteral("report"));
    Report(QStringLiteral("pid %1").arg(getpid()));
    Report(QStringLiteral("cwd %1").arg(QDir::currentPath()));
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i)
        Report(QStringLiteral("arg %1").arg(arguments.at(i)));
    if (Option(QStringLiteral("mode")) == QLatin1String("echo"))
        return RunEcho();
    return RunFocus(app);
}
