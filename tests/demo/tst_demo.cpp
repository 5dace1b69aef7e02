#include <Zentar/Settings/SettingsManager.h>

#include "HelperReport.h"

#include <QImage>
#include <QProcess>
#include <QtTest>

#include <memory>
#include <sys/resource.h>

namespace
{

struct DemoRun {
    QString launch;
    QString session;
    QStringList crashed;
    QByteArray errors;
};

DemoRun Parse(const QByteArray& out)
{
    const HelperReport lines(out);
    return { lines.Text("launch"), lines.Text("session"), lines.Texts("crashed"), {} };
}

} // namespace

// The demo product run as a user runs it: headless, it writes its screenshot
// and quits; killed, its session is reported by the next run.
class TestDemo : public QObject
{
    Q_OBJECT

    DemoRun RunToEnd(const QStringList& args)
    {
        QProcess demo;
        demo.start(QStringLiteral(ZENTAR_DEMO_PATH), args);
        if (!demo.waitForFinished(60000) || demo.exitCode() != 0) {
            qWarning() << demo.readAllStandardError();
            return {};
        }
        DemoRun run = Parse(demo.readAllStandardOutput());
        run.errors = demo.readAllStandardError();
        return run;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The demo decides on its own to run offscreen.
        qunsetenv("QT_QPA_PLATFORM");
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        // The demo crashes on purpose below: no core files (the limit is inherited).
        const rlimit noCore { 0, 0 };
        setrlimit(RLIMIT_CORE, &noCore);
    }

    void runsKilledAndReported()
    {
        const QString shot = QDir::temp().filePath(QStringLiteral("demo.png"));
        DemoRun first = RunToEnd({ QStringLiteral("--screenshot"), shot });
        QCOMPARE(first.launch, QStringLiteral("FirstLaunch"));
        QVERIFY(first.crashed.isEmpty());
        const QImage image(shot);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() >= 600 && image.height() >= 400);

        // Kept running, then killed: no clean exit.
        QProcess staying;
        staying.start(QStringLiteral(ZENTAR_DEMO_PATH),
            { QStringLiteral("--stay"), QStringLiteral("--screenshot"), shot });
        QByteArray out;
        while (!out.contains("screenshot ") && staying.waitForReadyRead(60000))
            out += staying.readAllStandardOutput();
        const DemoRun killed = Parse(out);
        QCOMPARE(killed.launch, QStringLiteral("RegularLaunch"));
        QVERIFY(!killed.session.isEmpty());
        staying.kill();
        QVERIFY(staying.waitForFinished(30000));

        const DemoRun second = RunToEnd({ QStringLiteral("--screenshot"), shot });
        QCOMPARE(second.crashed, QStringList { killed.session });
        QVERIFY(second.errors.contains(killed.session.toUtf8())); // logged as a warning
        QCOMPARE(RunToEnd({ QStringLiteral("--screenshot"), shot }).crashed, QStringList());

        // The installer ran again.
        Zentar::App::SettingsManager(QStringLiteral("ZentarDemoProduct"), QStringLiteral("Zentar"))
            .SetString("DateTime", "2026-12-05T10:00:00");
        QCOMPARE(RunToEnd({ QStringLiteral("--screenshot"), shot }).launch, QStringLiteral("Reinstall"));
        QCOMPARE(RunToEnd({ QStringLiteral("--screenshot"), shot }).launch, QStringLiteral("RegularLaunch"));
    }

    void crashAfterIsReportedWithItsCause()
    {
        QProcess crashing;
        crashing.start(QStringLiteral(ZENTAR_DEMO_PATH),
            { QStringLiteral("--stay"), QStringLiteral("--crash-after"), QStringLiteral("0") });
        QVERIFY(crashing.waitForFinished(60000));
        QCOMPARE(crashing.exitStatus(), QProcess::CrashExit);
        const QString session = Parse(crashing.readAllStandardOutput()).session;
        QVERIFY(!session.isEmpty());

        QProcess next;
        next.start(QStringLiteral(ZENTAR_DEMO_PATH),
            { QStringLiteral("--screenshot"), QDir::temp().filePath(QStringLiteral("demo.png")) });
        QVERIFY(next.waitForFinished(60000));
        const HelperReport lines(next.readAllStandardOutput());
        QCOMPARE(lines.Texts("crashed"), QStringList { session });
        QCOMPARE(lines.Texts("cause"), QStringList { session + QStringLiteral(" SIGABRT") });
    }
};

QTEST_GUILESS_MAIN(TestDemo)
#include "tst_demo.moc"
