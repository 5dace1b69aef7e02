// Runs on a real X server: the slave is another process, so the master's
// window can only come back through the window system.
#include <Zentar/App/IPCManager.h>

#include "IpcTestSupport.h"

#include <QGuiApplication>
#include <QWidget>

using namespace Zentar;
using namespace IpcTest;

class TestFocusX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void handBackActivatesMasterWindow()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (runs under xvfb-run)");
        QWidget window;
        window.setWindowTitle(QStringLiteral("master"));
        window.resize(320, 200);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        Report report;
        MasterClient client;
        QVERIFY(App::IPCManager::LaunchSlave(
            client, kSlave, report.Option() + QStringLiteral(" --script=show,give"), false));
        // The slave's own window takes the focus first.
        QTRY_VERIFY_WITH_TIMEOUT(
            report.Has(QStringLiteral("active ") + report.Value(QStringLiteral("window B"))), 10000);
        QTRY_VERIFY(!window.isActiveWindow());

        QTRY_VERIFY_WITH_TIMEOUT(client.channel->WaitForMessage(0), 10000);
        QCOMPARE(client.channel->ReadText(), std::string("applicationClosed"));
        client.channel->WriteText("yes=" + std::to_string(window.winId()));
        QTRY_VERIFY_WITH_TIMEOUT(window.isActiveWindow(), 10000);

        QTRY_VERIFY(report.Has(QStringLiteral("exiting")));
        QVERIFY(client.WaitForSlaveExit(report.Value(QStringLiteral("pid")).toLongLong()));
        client.channel.reset();
        QCOMPARE(PipeFiles(), QStringList());
    }
};

QTEST_MAIN(TestFocusX11)
#include "tst_focus_x11.moc"
