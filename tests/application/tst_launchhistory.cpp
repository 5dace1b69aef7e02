#include <Zentar/App/MutexNames.h>
#include <Zentar/App/Application.h>
#include <Zentar/Settings/SettingsManager.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

using Zentar::App::Application;
using Zentar::App::SettingsManager;

namespace {

struct Run
{
    int product = 0;
    int app = 0;
    int checks = 0;
    bool firstProduct = false;
    bool first = false;
};

Run Launch(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_launch_app"), args);
    Run run;
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return run;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() >= 2 && f[0] == "product")
            run.product = f[1].toInt();
        else if (f.size() >= 2 && f[0] == "app")
            run.app = f[1].toInt();
        else if (f.size() >= 2 && f[0] == "checks")
            run.checks = f[1].toInt();
        else if (f.size() >= 3 && f[0] == "first")
            run.firstProduct = f[1] == "1", run.first = f[2] == "1";
    }
    return run;
}

SettingsManager ProductStore() { return SettingsManager(QStringLiteral("LaunchProduct"), QStringLiteral("Zentar")); }
SettingsManager MainStore() { return SettingsManager(QStringLiteral("LaunchMain"), QStringLiteral("Zentar")); }

void Forget()
{
    QFile::remove(ProductStore().FileName());
    QFile::remove(MainStore().FileName());
}

} // namespace

class TestLaunchHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Forget(); }

    void oneStoreAcrossRuns()
    {
        Run run = Launch({});
        QCOMPARE(run.product, int(Application::FirstLaunch));
        QCOMPARE(run.app, int(Application::FirstLaunch));
        QCOMPARE(run.checks, 1); // one store: asked once for both answers
        QVERIFY(run.firstProduct && run.first);
        {
            const auto store = ProductStore();
            QCOMPARE(store.GetString("Version", ""), std::string("20-4-0"));
            QCOMPARE(store.GetString("IsRun", ""), std::string("1"));
            QVERIFY(QDateTime::fromString(QString::fromStdString(store.GetString("DateOfFirstStart", "")),
                                          Qt::TextDate).isValid());
            QVERIFY(store.Contains("InstallDateTime"));
            QCOMPARE(store.GetString("InstallDateTime", "x"), std::string());
            QCOMPARE(store.GetInt("ProductInstallType", 0), 1);
        }

        const std::string firstStart = ProductStore().GetString("DateOfFirstStart", "");
        run = Launch({});
        QCOMPARE(run.product, int(Application::RegularLaunch));
        QVERIFY(!run.first);
        QCOMPARE(ProductStore().GetString("DateOfFirstStart", ""), firstStart);
        QCOMPARE(ProductStore().GetInt("ProductInstallType", 0), 1); // nothing written

        // The installer ran again over the same version.
        ProductStore().SetString("DateTime", "2026-12-01 10:00");
        run = Launch({});
        QCOMPARE(run.product, int(Application::Reinstall));
        QVERIFY(!run.firstProduct); // a reinstall is not a first launch
        QCOMPARE(ProductStore().GetInt("ProductInstallType", 0), 2);
        QCOMPARE(ProductStore().GetString("InstallDateTime", ""), std::string("2026-12-01 10:00"));
        QCOMPARE(Launch({}).product, int(Application::RegularLaunch));

        // A new version after a recorded first start.
        run = Launch({QStringLiteral("--version"), QStringLiteral("2.5.1")});
        QCOMPARE(run.product, int(Application::FirstLaunchAfterUpdate));
        QVERIFY(run.first);
        QCOMPARE(ProductStore().GetString("Version", ""), std::string("2-5-1"));
        QCOMPARE(ProductStore().GetInt("ProductInstallType", 0), 3);
    }

    void twoStores()
    {
        Run run = Launch({QStringLiteral("--two-stores")});
        QCOMPARE(run.product, int(Application::FirstLaunch));
        QCOMPARE(run.app, int(Application::FirstLaunch)); // the recorded product type
        QCOMPARE(run.checks, 2);                          // once per store, however often asked
        QCOMPARE(MainStore().GetString("Version", ""), std::string("20-4-0"));
        QVERIFY(!MainStore().Contains("ProductInstallType"));

        // Only the main store sees a version change: it reports the product's
        // recorded type instead of deciding anew.
        MainStore().SetString("Version", "1-0-0");
        run = Launch({QStringLiteral("--two-stores")});
        QCOMPARE(run.product, int(Application::RegularLaunch));
        QCOMPARE(run.app, int(Application::FirstLaunch));
        QCOMPARE(MainStore().GetString("Version", ""), std::string("20-4-0"));

        run = Launch({QStringLiteral("--two-stores")});
        QCOMPARE(run.product, int(Application::RegularLaunch));
        QCOMPARE(run.app, int(Application::RegularLaunch));
    }

    void storedValuesOfTheWrongType()
    {
        // A type that is not a number reads as "none recorded".
        ProductStore().SetString("ProductInstallType", "garbage");
        ProductStore().SetString("Version", "20-4-0");
        ProductStore().SetString("InstallDateTime", "old");
        const Run run = Launch({});
        QCOMPARE(run.product, int(Application::Reinstall));
    }

    void installerCheck()
    {
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!Application::CheckRunnedInstaller());
        QVERIFY(timer.elapsed() < 400);

        QProcess installer;
        installer.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_lock_holder"),
                        {QString::fromLatin1(Zentar::App::INSTALLER_MUTEX_NAME)});
        QVERIFY(installer.waitForReadyRead(30000));
        QCOMPARE(installer.readAllStandardOutput().trimmed(), QByteArray("locked"));

        timer.restart();
        QVERIFY(Application::CheckRunnedInstaller());
        QVERIFY(timer.elapsed() >= 450);

        installer.kill();
        installer.waitForFinished();
        QVERIFY(!Application::CheckRunnedInstaller());
    }
};

QTEST_GUILESS_MAIN(TestLaunchHistory)
#include "tst_launchhistory.moc"
