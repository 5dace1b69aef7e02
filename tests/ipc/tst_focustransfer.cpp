#include <Zentar/App/IPCFocusTransfererSlave.h>
#include <Zentar/App/IPCManager.h>

#include "IpcTestSupport.h"
#include "LogCapture.h"

#include <QProcess>

using namespace Zentar;
using namespace IpcTest;
using App::IPCManager;

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

        LogCapture log;
        QCOMPARE(counted->Release(), 1u);
        QCOMPARE(log.Texts(google::GLOG_ERROR).size(), size_t(1));
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
    }

    void masterKilled()
    {
        Report report;
        QProcess master;
        // The slave inherits the master's standard error; it must outlive
        // the master, or the slave's log lines would meet a closed pipe.
        master.setProcessChannelMode(QProcess::ForwardedErrorChannel);
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
    }
};

QTEST_MAIN(TestFocusTransfer)
#include "tst_focustransfer.moc"
