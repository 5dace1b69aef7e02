// The signals of a logout, a shutdown or Ctrl+C end a run in order: the next
// run finds no crashed session.
#include <QProcess>
#include <QtTest>

#include "HelperReport.h"

#include <csignal>
#include <memory>

namespace
{

const QString kApp = QStringLiteral(ZENTAR_HELPER_DIR "/zentar_crashing_app");

// Reads the helper's output until `marker` has come.
QByteArray ReadUntil(QProcess& p, const QByteArray& marker, QByteArray* output)
{
    while (!output->contains(marker) && p.waitForReadyRead(30000))
        *output += p.readAllStandardOutput();
    return *output;
}

std::unique_ptr<QProcess> StartWaiting(const QStringList& extra = {}, QByteArray* output = nullptr)
{
    auto p = std::make_unique<QProcess>();
    p->start(kApp, QStringList { QStringLiteral("--wait") } + extra);
    QByteArray seen;
    ReadUntil(*p, "ready\n", output ? output : &seen);
    return p;
}

QStringList CrashedSessionsSeenNow()
{
    QProcess p;
    p.start(kApp, QStringList());
    if (!p.waitForFinished(30000))
        return { QStringLiteral("(did not end)") };
    return HelperReport(p.readAllStandardOutput()).Texts("crashed");
}

void Send(QProcess& p, int signal)
{
    ::kill(pid_t(p.processId()), signal);
}

} // namespace

class TestQuitSignals : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        // An earlier case's leftovers would be reported here.
        QCOMPARE(CrashedSessionsSeenNow(), QStringList());
    }

    void signalQuitsInOrder_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalQuitsInOrder()
    {
        QFETCH(int, signal);
        auto running = StartWaiting();
        Send(*running, signal);
        QVERIFY(running->waitForFinished(30000));
        QCOMPARE(running->exitStatus(), QProcess::NormalExit);
        QCOMPARE(running->exitCode(), 0);
        // The event loop ended and main went on, as after a quit.
        QVERIFY(running->readAllStandardOutput().contains("ended\n"));
        QCOMPARE(CrashedSessionsSeenNow(), QStringList());
    }

    void secondSignalDuringSlowQuitEndsAtOnce()
    {
        auto running = StartWaiting({ QStringLiteral("--slow-quit") });
        Send(*running, SIGTERM);
        QByteArray output;
        QVERIFY(ReadUntil(*running, "quitting\n", &output).contains("quitting\n"));
        // The quit would take a minute; the second signal cuts it short.
        Send(*running, SIGTERM);
        QVERIFY(running->waitForFinished(20000));
        QCOMPARE(running->exitStatus(), QProcess::CrashExit);
        QCOMPARE(running->exitCode(), SIGTERM);
        QVERIFY(!running->readAllStandardOutput().contains("ended\n"));
        QCOMPARE(CrashedSessionsSeenNow(), QStringList());
    }

    void productMayKeepTheDefaultAction()
    {
        QByteArray output;
        auto running = StartWaiting({ QStringLiteral("--keep-term") }, &output);
        const QString session = HelperReport(output).Text("session");
        Send(*running, SIGTERM);
        QVERIFY(running->waitForFinished(30000));
        QCOMPARE(running->exitStatus(), QProcess::CrashExit);
        // Ended from outside without a word to the application: a crash.
        QCOMPARE(CrashedSessionsSeenNow(), QStringList { session });
    }
};

QTEST_GUILESS_MAIN(TestQuitSignals)
#include "tst_quitsignals.moc"
