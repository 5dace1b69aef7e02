#include <Zentar/App/Application.h>
#include <Zentar/App/MutexNames.h>
#include <Zentar/Settings/SettingsManager.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

using Zentar::App::Application;
using Zentar::App::SettingsManager;

namespace {

// {product launch type, application launch type, CheckFirstLaunch calls} of one helper run.
QList<int> Launch(const QStringList& args = {})
{
    QProcess p;
    p.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_launch_app"), args);
    QList<int> run;
    if (p.waitForFinished(30000) && p.exitCode() == 0)
        for (const QByteArray& field : p.readAllStandardOutput().trimmed().split(' '))
            run << field.toInt();
    return run;
}

const QStringList kTwoStores{QStringLiteral("--two-stores")};

SettingsManager ProductStore() { return SettingsManager(QStringLiteral("LaunchProduct"), QStringLiteral("Zentar")); }
SettingsManager MainStore() { return SettingsManager(QStringLiteral("LaunchMain"), QStringLiteral("Zentar")); }

} // namespace

class TestLaunchHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QFile::remove(ProductStore().FileName());
        QFile::remove(MainStore().FileName());
    }

    void oneStoreAcrossRuns()
    {
        // One store: asked once for both answers.
        QCOMPARE(Launch(), (QList<int>{Application::FirstLaunch, Application::FirstLaunch, 1}));
        const std::string firstStart = ProductStore().GetString("DateOfFirstStart", "");
        {
            const auto store = ProductStore();
            QCOMPARE(store.GetString("Version", ""), std::string("20-4-0"));
            QCOMPARE(store.GetString("IsRun", ""), std::string("1"));
            QVERIFY(QDateTime::fromString(QString::fromStdString(firstStart), Qt::TextDate).isValid());
            QVERIFY(store.Contains("InstallDateTime"));
            QCOMPARE(store.GetString("InstallDateTime", "x"), std::string());
            QCOMPARE(store.GetInt("ProductInstallType", 0), 1);
        }

        QCOMPARE(Launch().value(0), int(Application::RegularLaunch));
        QCOMPARE(ProductStore().GetString("DateOfFirstStart", ""), firstStart);

        // The installer ran again over the same version.
        ProductStore().SetString("DateTime", "2026-12-01 10:00");
        QCOMPARE(Launch().value(0), int(Application::Reinstall));
        QCOMPARE(ProductStore().GetInt("ProductInstallType", 0), 2);
        QCOMPARE(ProductStore().GetString("InstallDateTime", ""), std::string("2026-12-01 10:00"));
        QCOMPARE(Launch().value(0), int(Application::RegularLaunch));

        // A new version after a recorded first start.
        QCOMPARE(Launch({QStringLiteral("--version"), QStringLiteral("2.5.1")}).value(0),
                 int(Application::FirstLaunchAfterUpdate));
        QCOMPARE(ProductStore().GetString("Version", ""), std::string("2-5-1"));
        QCOMPARE(ProductStore().GetInt("ProductInstallType", 0), 3);
    }

    void twoStores()
    {
        // Once per store, however often asked.
        QCOMPARE(Launch(kTwoStores), (QList<int>{Application::FirstLaunch, Application::FirstLaunch, 2}));
        QCOMPARE(MainStore().GetString("Version", ""), std::string("20-4-0"));

        // Only the main store sees a version change: it reports the product's
        // recorded type instead of deciding anew.
        MainStore().SetString("Version", "1-0-0");
        QCOMPARE(Launch(kTwoStores), (QList<int>{Application::RegularLaunch, Application::FirstLaunch, 2}));
        QCOMPARE(MainStore().GetString("Version", ""), std::string("20-4-0"));
        QCOMPARE(Launch(kTwoStores), (QList<int>{Application::RegularLaunch, Application::RegularLaunch, 2}));
    }

    void storedValueOfTheWrongType()
    {
        // A type that is not a number reads as "none recorded".
        ProductStore().SetString("ProductInstallType", "garbage");
        ProductStore().SetString("Version", "20-4-0");
        ProductStore().SetString("InstallDateTime", "old");
        QCOMPARE(Launch().value(0), int(Application::Reinstall));
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
    }
};

QTEST_GUILESS_MAIN(TestLaunchHistory)
#include "tst_launchhistory.moc"
