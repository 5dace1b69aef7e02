#include <Zentar/App/IPCFocusTransfererSlave.h>
#include <Zentar/App/IPCManager.h>

#include "IpcTestSupport.h"

#include <QProcess>

using namespace Zentar;
using namespace IpcTest;
using App::IPCFocusTransfererSlave;
using App::IPCManager;

class TestFocusTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // This process was not started as a slave: nothing to link, nothing to do.
    void instanceWithoutLink()
    {
        IPCFocusTransfererSlave& slave = IPCFocusTransfererSlave::Instance();
        QCOMPARE(&IPCFocusTransfererSlave::Instance(), &slave);
        QVERIFY(!slave.IsLinkEstablished());
        QVERIFY(!slave.IsMasterAlive());
        slave.GiveFocusToParent();
        QCOMPARE(
            QByteArray(slave.metaObject()->className()), QByteArray("Zentar::App::IPCFocusTransfererSlave"));
        QCOMPARE(qobject_cast<App::IIPCClient*>(&slave), static_cast<App::IIPCClient*>(&slave));
        QCOMPARE(qobject_cast<App::IFocusTransferer*>(&slave), static_cast<App::IFocusTransferer*>(&slave));
        QCOMPARE(qobject_cast<Zentar::IRefCountable*>(&slave), static_cast<Zentar::IRefCountable*>(&slave));
        {
            // Holding and dropping it through the count must not end it.
            boost::intrusive_ptr<Zentar::IRefCountable> held(&slave);
            QCOMPARE(slave.GetRefCount(), 1u);
        }
        QCOMPARE(slave.GetRefCount(), 0u);
        QVERIFY(!slave.IsLinkEstablished());
    }

    // A master that could not be opened counts as gone at once.
    void zeroMasterHandle()
    {
        IPCFocusTransfererSlave& slave = IPCFocusTransfererSlave::Instance();
        slave.SetCommunicationChannel(nullptr);
        QVERIFY(slave.IsLinkEstablished());
        QVERIFY(slave.IsMasterAlive());
        slave.SetAppHandler(0);
        QTRY_VERIFY(!slave.IsMasterAlive());
        slave.GiveFocusToParent();
        QVERIFY(slave.IsLinkEstablished());
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
        QTest::newRow("yes with nothing after =") << "yes="
                                                  << "B";
        QTest::newRow("yes with letters") << "yes=window"
                                          << "B";
        QTest::newRow("capital YES") << "YES=%A"
                                     << "B";
        QTest::newRow("empty") << ""
                               << "B";
        QTest::newRow("garbage") << QString::fromUtf8("\xe2\x9c\x93=\x01\x02") << "B";
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
            report.Option() + QStringLiteral(" --script=show,give,settle,wait-master-gone,give,quit"),
            false));
        QCOMPARE(client.channel->ReadText(), std::string("applicationClosed"));
        const QString windowA = report.Value(QStringLiteral("window A"));
        QVERIFY(!windowA.isEmpty());
        QCOMPARE(report.Value(QStringLiteral("active")), report.Value(QStringLiteral("window B")));
        client.channel->WriteText(QString(answer).replace(QStringLiteral("%A"), windowA).toStdString());

        QTRY_VERIFY(report.Has(QStringLiteral("exiting")));
        QVERIFY(client.WaitForSlaveExit(report.Value(QStringLiteral("pid")).toLongLong()));
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
    }

    void masterKilled()
    {
        Report report;
        QProcess master;
        // The slave inherits the master's standard error; it must outlive
        // the master, or the slave's log lines would meet a closed pipe.
        master.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        master.start(kHelperDir + QStringLiteral("/zentar_ipc_master"),
            { QStringLiteral("--slave=") + kSlave,
                QStringLiteral("--slave-args=") + report.Option()
                    + QStringLiteral(" --script=wait-master-gone,give,quit"),
                QStringLiteral("--answer=no") });
        QTRY_VERIFY(report.Has(QStringLiteral("linked 1")));
        QVERIFY(!report.Has(QStringLiteral("masterGone")));
        master.kill();
        QVERIFY(master.waitForFinished(10000));

        QTRY_VERIFY(report.Has(QStringLiteral("exiting")));
        const QStringList lines = report.Lines();
        QVERIFY(lines.indexOf(QStringLiteral("masterGone")) < lines.indexOf(QStringLiteral("given")));
        QCOMPARE(PipeFiles(), QStringList());
    }

    void masterGoesDuringHandBack_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("dies on the message") << "die";
        QTest::newRow("never answers") << "mute";
    }
    void masterGoesDuringHandBack()
    {
        QFETCH(QString, answer);
        Report report;
        QProcess master;
        // The slave inherits the master's standard error; it must outlive
        // the master, or the slave's log lines would meet a closed pipe.
        master.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        master.start(kHelperDir + QStringLiteral("/zentar_ipc_master"),
            { QStringLiteral("--slave=") + kSlave,
                QStringLiteral("--slave-args=") + report.Option()
                    + QStringLiteral(" --script=show,give,settle,quit"),
                QStringLiteral("--answer=") + answer });
        QTRY_VERIFY2_WITH_TIMEOUT(
            report.Has(QStringLiteral("exiting")), qPrintable(report.Lines().join(QLatin1Char('|'))), 15000);
        QCOMPARE(report.Lines().filter(QStringLiteral("active ")).last(),
            QStringLiteral("active ") + report.Value(QStringLiteral("window B")));
        // A silent master learns of the slave's end from the link.
        QTRY_COMPARE_WITH_TIMEOUT(master.state(), QProcess::NotRunning, 10000);
        if (answer == QLatin1String("mute"))
            QCOMPARE(master.readAllStandardOutput(), QByteArray("launched 1\nclosed\n"));
        QCOMPARE(PipeFiles(), QStringList());
    }
};

QTEST_MAIN(TestFocusTransfer)
#include "tst_focustransfer.moc"
