#include <Zentar/App/AppTest.h>
#include <Zentar/Settings/SettingsManager.h>

#include "HelperReport.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
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

// A home nobody has used: no settings, no crash file, a first launch.
QProcessEnvironment FreshHome(const QTemporaryDir& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString root = home.path();
    const QStringList dirs { QStringLiteral("config"), QStringLiteral("data"), QStringLiteral("cache"),
        QStringLiteral("runtime"), QStringLiteral("tmp") };
    for (const QString& dir : dirs)
        QDir(root).mkpath(dir);
    QFile::setPermissions(root + QStringLiteral("/runtime"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert(QStringLiteral("HOME"), root);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), root + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("TMPDIR"), root + QStringLiteral("/tmp"));
    return env;
}

struct Finished {
    bool ended = false;
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the demo to its end, or kills it after `timeoutMs`.
Finished Run(const QStringList& args, const QProcessEnvironment& env, int timeoutMs = 60000)
{
    QProcess demo;
    demo.setProcessEnvironment(env);
    demo.start(QStringLiteral(ZENTAR_DEMO_PATH), args);
    Finished result;
    result.ended = demo.waitForFinished(timeoutMs);
    if (!result.ended) {
        demo.kill();
        demo.waitForFinished(10000);
    }
    result.status = demo.exitStatus() == QProcess::NormalExit ? demo.exitCode() : -1;
    result.out = demo.readAllStandardOutput();
    result.err = demo.readAllStandardError();
    return result;
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

    // The help lists the demo's options and, under a heading of their own,
    // every option the library handles; an unknown option is an error.
    void commandLine()
    {
        const QTemporaryDir home;
        const QProcessEnvironment env = FreshHome(home);

        const Finished help = Run({ QStringLiteral("--help") }, env);
        QVERIFY2(help.ended && help.status == 0, help.err.constData());
        const QString text = QString::fromUtf8(help.out);
        QVERIFY(text.contains(QLatin1String("Usage:")));
        QVERIFY(text.contains(QLatin1String("--screenshot <path>")));
        QVERIFY(text.contains(QLatin1String("--version")));
        const int heading = text.indexOf(QLatin1String("Test options"));
        QVERIFY(heading > text.indexOf(QLatin1String("--screenshot")));
        const QList<QCommandLineOption> libraryOptions = Zentar::App::AppTest::Options();
        QVERIFY(libraryOptions.size() >= 9);
        for (const QCommandLineOption& option : libraryOptions) {
            const QString name = QStringLiteral("--") + option.names().constFirst();
            QVERIFY2(text.indexOf(name) > heading, qPrintable(name));
            QVERIFY2(text.contains(option.description()), qPrintable(option.description()));
        }
        // Nothing ran: no window, no screenshot, no session left open.
        QVERIFY(!help.out.contains("session "));

        const Finished version = Run({ QStringLiteral("--version") }, env);
        QVERIFY(version.ended);
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out.trimmed(), QByteArray("Zentar Demo 20.4.0"));

        const Finished bogus = Run({ QStringLiteral("--bogus") }, env);
        QVERIFY(bogus.ended);
        QCOMPARE(bogus.status, 2);
        QVERIFY(bogus.err.contains("bogus"));
        QVERIFY(bogus.err.contains("Usage:"));
        QVERIFY(bogus.err.contains("--screenshot"));
        QVERIFY(bogus.out.isEmpty());

        // The testers' option is the demo's own: listed, and taken.
        QVERIFY(text.indexOf(QLatin1String("--test-pseudo-language")) < heading);
        const Finished tester = Run({ QStringLiteral("--test-pseudo-language"),
                                        QStringLiteral("--screenshot"), home.filePath("tester.png") },
            env);
        QVERIFY2(tester.ended && tester.status == 0, tester.err.constData());
        QVERIFY(tester.out.contains("session "));
        QVERIFY(QFileInfo::exists(home.filePath("tester.png")));
    }

    // However the offscreen platform was chosen, even with a display named,
    // a first launch (which shows the e-mail dialog) writes its screenshot
    // and exits; a modal dialog shown before the event loop runs (the
    // library's test-option help) is dismissed, not waited for.
    void headlessNeverWaits_data()
    {
        QTest::addColumn<bool>("byEnvironment");
        QTest::addColumn<QStringList>("extra");
        QTest::newRow("QT_QPA_PLATFORM") << true << QStringList();
        QTest::newRow("-platform") << false << QStringList();
        QTest::newRow("test-help box") << true << QStringList { QStringLiteral("--test-help") };
    }

    void headlessNeverWaits()
    {
        QFETCH(bool, byEnvironment);
        QFETCH(QStringList, extra);
        const QTemporaryDir home;
        QProcessEnvironment env = FreshHome(home);
        // A display that does not exist: the demo must not go near it.
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":9917"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        QStringList args = extra;
        if (byEnvironment) {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        } else {
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
            args << QStringLiteral("-platform") << QStringLiteral("offscreen");
        }
        const QString shot = home.filePath(QStringLiteral("shot.png"));
        args << QStringLiteral("--screenshot") << shot;

        const Finished run = Run(args, env, 30000);
        QVERIFY2(run.ended, "the demo was still running after 30 s");
        QVERIFY2(run.status == 0, run.err.constData());
        const HelperReport report(run.out);
        QCOMPARE(report.Text("launch"), QStringLiteral("FirstLaunch"));
        QCOMPARE(report.Text("screenshot"), shot);
        QVERIFY(!QImage(shot).isNull());
        if (extra.contains(QStringLiteral("--test-help")))
            QVERIFY(!report.Text("dismissed").isEmpty());
    }

    // Kept running headless, a first launch still gets its e-mail dialog,
    // which goes away by itself.
    void headlessEmailDialogDismissed()
    {
        const QTemporaryDir home;
        QProcessEnvironment env = FreshHome(home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess demo;
        demo.setProcessEnvironment(env);
        demo.start(QStringLiteral(ZENTAR_DEMO_PATH),
            { QStringLiteral("--stay"), QStringLiteral("--screenshot"),
                home.filePath(QStringLiteral("s.png")) });
        QByteArray out;
        while (!out.contains("dismissed ") && demo.waitForReadyRead(30000))
            out += demo.readAllStandardOutput();
        demo.kill();
        demo.waitForFinished(10000);
        QVERIFY2(HelperReport(out).Text("dismissed").contains(QLatin1String("EmailDialog")), out.constData());
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
