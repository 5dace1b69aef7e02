// A master application for the link tests:
//   zentar_ipc_master <slave> <slave arguments> [options]
// starts the slave through the library and answers "no" to every message
// until the link breaks. Options:
//   --report=<file>          observations, one line each: "received <text>",
//                            "waited past the bound", "link ended <why>"
//   --connect-bound-ms=<n>   the connect bound of the library's pipe ends
//   --poll-ms=<n>            wait for messages in polls of n ms instead of
//                            one read without limit
//   --linger                 stay alive after the link has ended, until killed
#include "IpcLogReport.h"
#include "LinkClient.h"

#include "IPC/SlaveSwitches.h"

#include <Zentar/App/IPCManager.h>
#include <Zentar/IO/IOException.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

using namespace Zentar;

namespace
{

QString g_reportPath;

void Report(const QString& line)
{
    QFile file(g_reportPath);
    if (!g_reportPath.isEmpty() && file.open(QIODevice::Append | QIODevice::Text))
        file.write(line.toUtf8() + '\n');
}

// The options come after the two positional arguments, so that the slave's
// own options inside them are not taken for the master's.
QString Option(const QString& name)
{
    const QString prefix = QStringLiteral("--") + name + QLatin1Char('=');
    const QStringList arguments = QCoreApplication::arguments().mid(3);
    for (const QString& argument : arguments)
        if (argument.startsWith(prefix))
            return argument.mid(prefix.size());
    return QString();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    g_reportPath = Option(QStringLiteral("report"));
    IpcLogReport logReport([](const std::string& line) { Report(QString::fromStdString(line)); });
    const int bound = Option(QStringLiteral("connect-bound-ms")).toInt();
    if (bound > 0)
        App::Detail::SetSlaveConnectBoundMs(bound);
    const int pollMs = Option(QStringLiteral("poll-ms")).toInt();

    LinkClient client;
    if (args.size() < 3 || !App::IPCManager::LaunchSlave(client, args.at(1), args.at(2), true))
        return 1;
    QElapsedTimer waited;
    waited.start();
    bool pastBound = false;
    try {
        for (;;) {
            if (pollMs > 0) {
                while (!client.channel->WaitForMessage(pollMs)) {
                    if (!pastBound && bound > 0 && waited.elapsed() > 3 * bound) {
                        pastBound = true;
                        Report(QStringLiteral("waited past the bound"));
                    }
                }
            }
            Report(QStringLiteral("received ") + QString::fromStdString(client.channel->ReadText()));
            client.channel->WriteText("no");
        }
    } catch (const Core::IOException& e) {
        Report(QStringLiteral("link ended ") + QString::fromUtf8(e.what()));
    }
    if (QCoreApplication::arguments().mid(3).contains(QStringLiteral("--linger")))
        return app.exec();
    return 0;
}
