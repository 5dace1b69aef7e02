// A slave application for the link tests. Its own options (the master adds
// "/MasterPipeId=" and "/ProcessId=" behind them):
//   --report=<file>   where every observation is appended, one line each
//   --mode=echo       a plain client: says "hello from slave", then answers
//                     every message with "echo:" + message; "big <n>" makes
//                     it send an n-byte message, "quit" ends it
//   otherwise         the library's focus hand-back slave, driven by
//   --script=a,b,...  steps: show (windows A and B, B active), give (hand the
//                     focus back, then report the active window), wait-master-gone,
//                     log (a warning on standard error)
//   --wait-for=<file> the first Instance() call waits until the file exists;
//                     the first two calls report "instance-us <microseconds>"
// Every WARNING or ERROR line of the library's link code is reported.
#include "IpcLogReport.h"
#include "LinkClient.h"

#include <Zentar/App/IPCFocusTransfererSlave.h>
#include <Zentar/App/IPCManager.h>
#include <Zentar/IO/IOException.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <glog/logging.h>

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
    const QStringList arguments
        = QCoreApplication::arguments().filter(QRegularExpression(QLatin1Char('^') + prefix));
    return arguments.isEmpty() ? QString() : arguments.first().mid(prefix.size());
}

void ReportActiveWindow()
{
    QWindow* window = QGuiApplication::focusWindow();
    Report(QStringLiteral("active %1").arg(window ? window->winId() : 0));
}

bool WaitUntil(const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

int RunEcho()
{
    LinkClient client;
    const bool linked = App::IPCManager::SetUpSlaveClient(client, true);
    Report(QStringLiteral("linked %1").arg(linked ? 1 : 0));
    if (!linked)
        return 0;
    try {
        client.channel->WriteText("hello from slave");
        for (std::string message; (message = client.channel->ReadText()) != "quit";) {
            if (message.rfind("big ", 0) == 0) {
                Report(QStringLiteral("sending"));
                client.channel->WriteText(std::string(std::stoul(message.substr(4)), 'b'));
            } else {
                client.channel->WriteText("echo:" + message);
            }
        }
    } catch (const Core::IOException&) {
    }
    return 0;
}

App::IPCFocusTransfererSlave& FirstInstance()
{
    const QString waitFor = Option(QStringLiteral("wait-for"));
    if (waitFor.isEmpty())
        return App::IPCFocusTransfererSlave::Instance();
    Report(QStringLiteral("waiting"));
    WaitUntil([&] { return QFile::exists(waitFor); });
    QElapsedTimer timer;
    for (int call = 0; call < 2; ++call) {
        timer.start();
        App::IPCFocusTransfererSlave::Instance();
        Report(QStringLiteral("instance-us %1").arg(timer.nsecsElapsed() / 1000));
    }
    return App::IPCFocusTransfererSlave::Instance();
}

int RunFocus(QApplication& app)
{
    auto& slave = FirstInstance();
    Report(QStringLiteral("linked %1").arg(slave.IsLinkEstablished() ? 1 : 0));
    QWidget a;
    QWidget b;
    const QStringList steps = Option(QStringLiteral("script")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    QTimer::singleShot(0, &app, [&] {
        for (const QString& step : steps) {
            if (step == QLatin1String("show")) {
                for (QWidget* w : { &a, &b }) {
                    w->resize(200, 100);
                    w->show();
                }
                b.activateWindow();
                Report(QStringLiteral("window A %1").arg(a.winId()));
                Report(QStringLiteral("window B %1").arg(b.winId()));
                WaitUntil([&] { return b.isActiveWindow(); });
                ReportActiveWindow();
            } else if (step == QLatin1String("give")) {
                slave.GiveFocusToParent();
                Report(QStringLiteral("given"));
                for (int i = 0; i < 5; ++i)
                    QCoreApplication::processEvents();
                ReportActiveWindow();
            } else if (step == QLatin1String("log")) {
                LOG(WARNING) << "A slave that logs";
                Report(QStringLiteral("logged"));
            } else if (step == QLatin1String("wait-master-gone")) {
                const bool gone = WaitUntil([&] { return !slave.IsMasterAlive(); });
                Report(gone ? QStringLiteral("masterGone") : QStringLiteral("master still alive"));
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
    IpcLogReport logReport([](const std::string& line) { Report(QString::fromStdString(line)); });
    Report(QStringLiteral("pid %1").arg(getpid()));
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i)
        Report(QStringLiteral("arg %1").arg(arguments.at(i)));
    return Option(QStringLiteral("mode")) == QLatin1String("echo") ? RunEcho() : RunFocus(app);
}
