#include <Zentar/App/Application.h>
#include <Zentar/App/MutexNames.h>
#include <Zentar/Settings/SettingsManager.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

using Zentar::App::Application;
using Zentar::App::SettingsManager;

namespace
{

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

const QStringList kTwoStores { QStringLiteral("--two-stores") };
const QString kDetails = QStringLiteral("--details");

// How the stores look before the run under test.
enum class Before { Nothing, OneRun, Reinstalled, MainStoreLost };

SettingsManager ProductStore()
{
    return SettingsManager(QStringLiteral("LaunchProduct"), QStringLiteral("Zentar"));
}
SettingsManager MainStore()
{
    return SettingsManager(QStringLiteral("LaunchMain"), QStringLiteral("Zentar"));
}

} // namespace

Q_DECLARE_METATYPE(Before)

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
        QCOMPARE(Launch(), (QList<int> { Application::FirstLaunch, Application::FirstLaunch, 1 }));
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
        QCOMPARE(Launch({ QStringLiteral("--version"), QStringLiteral("2.5.1") }).value(0),
            int(Application::FirstLaunchAfterUpdate));
        QCOMPARE(ProductStore().GetString("Version", ""), std::string("2-5-1"));
        QCOMPARE(ProductStore().GetInt("ProductInstallType", 0), 3);
    }

    void twoStores()
    {
        // Once per store, however often asked.
        QCOMPARE(Launch(kTwoStores), (QList<int> { Application::FirstLaunch, Application::FirstLaunch, 2 }));
        QCOMPARE(MainStore().GetString("Version", ""), std::string("20-4-0"));

        // Only the main store sees a version change: it reports the product's
        // recorded type instead of deciding anew.
        MainStore().SetString("Version", "1-0-0");
        QCOMPARE(
            Launch(kTwoStores), (QList<int> { Application::RegularLaunch, Application::FirstLaunch, 2 }));
        QCOMPARE(MainStore().GetString("Version", ""), std::string("20-4-0"));
        QCOMPARE(
            Launch(kTwoStores), (QList<int> { Application::RegularLaunch, Application::RegularLaunch, 2 }));
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
            { QString::fromLatin1(Zentar::App::INSTALLER_MUTEX_NAME) });
        QVERIFY(installer.waitForReadyRead(30000));
        QCOMPARE(installer.readAllStandardOutput().trimmed(), QByteArray("locked"));
        timer.restart();
        QVERIFY(Application::CheckRunnedInstaller());
        QVERIFY(timer.elapsed() >= 450);
        installer.kill();
        installer.waitForFinished();
    }

    void firstLaunchFlags_data()
    {
        QTest::addColumn<Before>("before");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("productType");
        QTest::addColumn<bool>("firstProduct");
        QTest::addColumn<bool>("first");
        const QStringList update { QStringLiteral("--version"), QStringLiteral("2.5.1") };
        QTest::newRow("first run") << Before::Nothing << QStringList() << int(Application::FirstLaunch)
                                   << true << true;
        QTest::newRow("regular") << Before::OneRun << QStringList() << int(Application::RegularLaunch)
                                 << false << false;
        QTest::newRow("update") << Before::OneRun << update << int(Application::FirstLaunchAfterUpdate)
                                << true << true;
        QTest::newRow("reinstall") << Before::Reinstalled << QStringList() << int(Application::Reinstall)
                                   << false << false;
        QTest::newRow("reinstall, two stores")
            << Before::Reinstalled << kTwoStores << int(Application::Reinstall) << false << false;
        // The main store forgot everything; the product store still says the
        // first run was a first launch, and the application answer repeats it.
        QTest::newRow("main store lost")
            << Before::MainStoreLost << kTwoStores << int(Application::RegularLaunch) << false << true;
    }
    void firstLaunchFlags()
    {
        QFETCH(Before, before);
        QFETCH(QStringList, args);
        QFETCH(int, productType);
        QFETCH(bool, firstProduct);
        QFETCH(bool, first);
        const QStringList stores = args.filter(QStringLiteral("--two-stores"));
        if (before != Before::Nothing)
            QCOMPARE(Launch(stores).value(0), int(Application::FirstLaunch));
        if (before == Before::Reinstalled)
            ProductStore().SetString("DateTime", "2026-12-01 10:00");
        if (before == Before::MainStoreLost)
            QVERIFY(QFile::remove(MainStore().FileName()));

        const QList<int> run = Launch(args + QStringList { kDetails });
        QCOMPARE(run.size(), 6);
        QCOMPARE(run.at(0), productType);
        QCOMPARE(run.at(3), int(firstProduct));
        QCOMPARE(run.at(4), int(first));
    }

    void daysPassed_data()
    {
        QTest::addColumn<QString>("firstStart");
        QTest::addColumn<int>("days");
        const QDateTime now = QDateTime::currentDateTime();
        QTest::newRow("today") << now.toString(Qt::TextDate) << 0;
        QTest::newRow("three days ago") << now.addDays(-3).toString(Qt::TextDate) << 3;
        QTest::newRow("over a year ago") << now.addDays(-400).toString(Qt::TextDate) << 400;
        QTest::newRow("tomorrow") << now.addDays(1).toString(Qt::TextDate) << -1;
        QTest::newRow("not a date") << QStringLiteral("garbage") << 0;
        QTest::newRow("never recorded") << QString() << 0;
    }
    void daysPassed()
    {
        QFETCH(QString, firstStart);
        QFETCH(int, days);
        QCOMPARE(Launch().value(0), int(Application::FirstLaunch));
        if (firstStart.isNull())
            ProductStore().Remove("DateOfFirstStart");
        else
            ProductStore().SetString("DateOfFirstStart", firstStart.toStdString());
        // A regular run leaves the stored date as it is.
        const QList<int> run = Launch({ kDetails });
        QCOMPARE(run.value(0), int(Application::RegularLaunch));
        QCOMPARE(run.value(5, -999), days);
    }
};

QTEST_GUILESS_MAIN(TestLaunchHistory)
#include "tst_launchhistory.moc"
