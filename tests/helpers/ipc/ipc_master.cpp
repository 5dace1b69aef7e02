// A master application for the link tests: starts the slave <path> with
// <arguments> through the library and answers "no" to every message until
// the link breaks.
#include "LinkClient.h"

#include <Zentar/App/IPCManager.h>
#include <Zentar/IO/IOException.h>

#include <QCoreApplication>

using namespace Zentar;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    LinkClient client;
    if (args.size() < 3 || !App::IPCManager::LaunchSlave(client, args.at(1), args.at(2), true))
        return 1;
    try {
        for (;;) {
            client.channel->ReadText();
            client.channel->WriteText("no");
        }
    } catch (const Core::IOException&) {
    }
    return 0;
}
