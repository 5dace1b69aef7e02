#include "ApplicationTestMain.h"
#include <Zentar/App/Application.h>
#include <Zentar/App/LookAndFeelManager.h>
#include <Zentar/Settings/SettingsManager.h>

#include "LogCapture.h"
#include "TestCustomization.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <stdexcept>

using namespace Zentar::App;

Q_DECLARE_METATYPE(std::function<void()>)
Q_DECLARE_METATYPE(std::string)

namespace
{

std::shared_ptr<SettingsManager> Store(const char* name)
{
    return std::make_shared<SettingsManager>(QString::fromLatin1(name), QStringLiteral("Zentar"));
}

// The message of the std::logic_error that `call` throws, or what it did instead.
std::string LogicErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const std::logic_error& e) {
        return e.what();
    } catch (...) {
        return "<another exception>";
    }
    return "<no exception>";
}

void AddRow(const char* name, const std::function<void()>& call, const std::string& message)
{
    QTest::newRow(name) << call << message;
}

const std::string kCustomization = " needs a customization manager (SetCustomizationManager)";
const std::string kProductStore
    = " needs a product settings store (SetProductSettingsManager or SetSettingsManager)";
const std::string kMainStore = " needs a settings store (SetSettingsManager)";

} // namespace

// A product that forgot to install a manager gets an error naming it, not a
// crash. The application starts bare; the tests install managers in order.
class TestMissingCollaborators : public QObject
{
    Q_OBJECT

    QTemporaryDir m_lookAndFeelRoot;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir(m_lookAndFeelRoot.path()).mkpath(QStringLiteral("resources/themes")));
        QVERIFY(QDir(m_lookAndFeelRoot.path()).mkpath(QStringLiteral("resources/locales")));
    }

    void nothingInstalled_data()
    {
        QTest::addColumn<std::function<void()>>("call");
        QTest::addColumn<std::string>("message");

        const auto product = Store("Unrelated");
        AddRow(
            "OnStart", [] { TheApp().OnStart(); }, "Application::OnStart" + kCustomization);
        AddRow(
            "GetProductNameAbout", [] { TheApp().GetProductNameAbout(); },
            "Application::GetProductNameAbout" + kCustomization);
        AddRow(
            "GetApplicationTemporaryFilesDir", [] { TheApp().GetApplicationTemporaryFilesDir(); },
            "Application::GetApplicationTemporaryFilesDir" + kCustomization);
        AddRow(
            "ClearApplicationTemporaryFiles", [] { TheApp().ClearApplicationTemporaryFiles(1); },
            "Application::GetApplicationTemporaryFilesDir" + kCustomization);
        AddRow(
            "GetInstallerSettings by default", [] { TheApp().GetInstallerSettings(""); },
            "Application::GetInstallerSettings" + kCustomization);
        AddRow(
            "SetCustomizationManager(nullptr)", [] { TheApp().SetCustomizationManager(nullptr, false); },
            "Application::SetCustomizationManager" + kCustomization);
        AddRow(
            "CheckFirstLaunch", [product] { TheApp().CheckFirstLaunch(product); },
            "Application::CheckFirstLaunch" + kProductStore);
        AddRow(
            "GetProductLaunchType", [] { TheApp().GetProductLaunchType(); },
            "Application::GetProductLaunchType" + kProductStore);
        AddRow(
            "IsFirstProductLaunch", [] { TheApp().IsFirstProductLaunch(); },
            "Application::GetProductLaunchType" + kProductStore);
        AddRow(
            "GetLaunchType", [] { TheApp().GetLaunchType(); }, "Application::GetLaunchType" + kMainStore);
        AddRow(
            "GetDaysPassed", [] { TheApp().GetDaysPassed(); }, "Application::GetDaysPassed" + kProductStore);
        AddRow(
            "OpenThankForInstall", [] { TheApp().OpenThankForInstall(); },
            "Application::GetProductLaunchType" + kProductStore);
        // The installer's language is read through the application.
        const std::string root = m_lookAndFeelRoot.path().toStdString();
        AddRow(
            "LookAndFeelManager::Initialize",
            [root] { LookAndFeelManager(root, "theme.json", {}).Initialize("", ""); },
            "Application::GetInstallerSettings" + kCustomization);
    }
    void nothingInstalled()
    {
        QFETCH(std::function<void()>, call);
        QFETCH(std::string, message);
        LogCapture log;
        QCOMPARE(LogicErrorOf(call), message);
        QCOMPARE(log.Texts(google::GLOG_ERROR), std::vector<std::string> { message });
    }

    void failedStartCanBeRetried()
    {
        QSignalSpy started(&TheApp(), &Application::ApplicationStarted);
        QCOMPARE(LogicErrorOf([] { TheApp().Start(); }), "Application::OnStart" + kCustomization);
        QVERIFY(!TheApp().IsStarted());
        QCOMPARE(started.count(), 0);
    }

    void onlyTheProductStore()
    {
        const auto product = Store("OnlyProduct");
        TheApp().SetProductSettingsManager(product);

        // Nothing is decided (nor recorded) while the main store is missing.
        QCOMPARE(LogicErrorOf([] { TheApp().GetLaunchType(); }), "Application::GetLaunchType" + kMainStore);
        QCOMPARE(LogicErrorOf([] { TheApp().IsFirstLaunch(); }), "Application::GetLaunchType" + kMainStore);
        QCOMPARE(LogicErrorOf([] { TheApp().CheckFirstLaunch(nullptr); }),
            std::string("Application::CheckFirstLaunch needs a settings store to check"));
        QVERIFY(!product->Contains("Version"));
        QCoreApplication::setApplicationVersion(QStringLiteral("3.1"));
        QCOMPARE(TheApp().GetProductLaunchType(), Application::FirstLaunch);
        QCOMPARE(product->GetString("Version", ""), std::string("3-1"));

        // A start without a customization manager leaves the store alone.
        QCOMPARE(LogicErrorOf([] { TheApp().OnStart(); }), "Application::OnStart" + kCustomization);
        QVERIFY(!product->Contains("Path"));
    }

    void customizationInstalled()
    {
        auto customization = std::make_shared<TestCustomization>();
        customization->suppressesStartupPages = true;
        TheApp().SetCustomizationManager(customization, false);
        // A null manager is refused and the one installed stays.
        QCOMPARE(LogicErrorOf([] { TheApp().SetCustomizationManager(nullptr, false); }),
            "Application::SetCustomizationManager" + kCustomization);
        QCOMPARE(TheApp().GetCustomizationManager(), std::shared_ptr<ICustomizationManager>(customization));

        LookAndFeelManager lookAndFeel(m_lookAndFeelRoot.path().toStdString(), "theme.json", {});
        lookAndFeel.Initialize("", "");
        QCOMPARE(lookAndFeel.GetCurrentLocale(), std::string("en_US"));

        QCOMPARE(TheApp().GetProductNameAbout(), QStringLiteral("Zentar Test Product"));
        TheApp().SetSettingsManager(Store("OnlyMain"));
        QCOMPARE(TheApp().GetLaunchType(), Application::FirstLaunch);

        QSignalSpy started(&TheApp(), &Application::ApplicationStarted);
        TheApp().Start();
        QVERIFY(TheApp().IsStarted());
        QCOMPARE(started.count(), 1);
    }
};

ZENTAR_APPLICATION_TEST_MAIN(TestMissingCollaborators)

#include "tst_missingcollaborators.moc"
