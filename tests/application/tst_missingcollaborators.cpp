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

namespace {

Application& App() { return *static_cast<Application*>(QCoreApplication::instance()); }

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
        AddRow("OnStart", [] { App().OnStart(); }, "Application::OnStart" + kCustomization);
        AddRow("GetProductNameAbout", [] { App().GetProductNameAbout(); },
            "Application::GetProductNameAbout" + kCustomization);
        AddRow("GetApplicationTemporaryFilesDir", [] { App().GetApplicationTemporaryFilesDir(); },
            "Application::GetApplicationTemporaryFilesDir" + kCustomization);
        AddRow("ClearApplicationTemporaryFiles", [] { App().ClearApplicationTemporaryFiles(1); },
            "Application::GetApplicationTemporaryFilesDir" + kCustomization);
        AddRow("GetInstallerSettings by default", [] { App().GetInstallerSettings(""); },
            "Application::GetInstallerSettings" + kCustomization);
        AddRow("SetCustomizationManager(nullptr)", [] { App().SetCustomizationManager(nullptr, false); },
            "Application::SetCustomizationManager" + kCustomization);
        AddRow("CheckFirstLaunch", [product] { App().CheckFirstLaunch(product); },
            "Application::CheckFirstLaunch" + kProductStore);
        AddRow("GetProductLaunchType", [] { App().GetProductLaunchType(); },
            "Application::GetProductLaunchType" + kProductStore);
        AddRow("IsFirstProductLaunch", [] { App().IsFirstProductLaunch(); },
            "Application::GetProductLaunchType" + kProductStore);
        AddRow("GetLaunchType", [] { App().GetLaunchType(); }, "Application::GetLaunchType" + kMainStore);
        AddRow("GetDaysPassed", [] { App().GetDaysPassed(); }, "Application::GetDaysPassed" + kProductStore);
        AddRow("OpenThankForInstall", [] { App().OpenThankForInstall(); },
            "Application::GetProductLaunchType" + kProductStore);
        // The installer's language is read through the application.
        const std::string root = m_lookAndFeelRoot.path().toStdString();
        AddRow("LookAndFeelManager::Initialize",
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
        QSignalSpy started(&App(), &Application::ApplicationStarted);
        QCOMPARE(LogicErrorOf([] { App().Start(); }), "Application::OnStart" + kCustomization);
        QVERIFY(!App().IsStarted());
        QCOMPARE(started.count(), 0);
    }

    void onlyTheProductStore()
    {
        const auto product = Store("OnlyProduct");
        App().SetProductSettingsManager(product);

        // Nothing is decided (nor recorded) while the main store is missing.
        QCOMPARE(LogicErrorOf([] { App().GetLaunchType(); }), "Application::GetLaunchType" + kMainStore);
        QCOMPARE(LogicErrorOf([] { App().IsFirstLaunch(); }), "Application::GetLaunchType" + kMainStore);
        QCOMPARE(LogicErrorOf([] { App().CheckFirstLaunch(nullptr); }),
            std::string("Application::CheckFirstLaunch needs a settings store to check"));
        QVERIFY(!product->Contains("Version"));
        QCoreApplication::setApplicationVersion(QStringLiteral("3.1"));
        QCOMPARE(App().GetProductLaunchType(), Application::FirstLaunch);
        QCOMPARE(product->GetString("Version", ""), std::string("3-1"));

        // A start without a customization manager leaves the store alone.
        QCOMPARE(LogicErrorOf([] { App().OnStart(); }), "Application::OnStart" + kCustomization);
        QVERIFY(!product->Contains("Path"));
    }

    void customizationInstalled()
    {
        auto customization = std::make_shared<TestCustomization>();
        customization->suppressesStartupPages = true;
        App().SetCustomizationManager(customization, false);
        // A null manager is refused and the one installed stays.
        QCOMPARE(LogicErrorOf([] { App().SetCustomizationManager(nullptr, false); }),
            "Application::SetCustomizationManager" + kCustomization);
        QCOMPARE(App().GetCustomizationManager(), std::shared_ptr<ICustomizationManager>(customization));

        LookAndFeelManager lookAndFeel(m_lookAndFeelRoot.path().toStdString(), "theme.json", {});
        lookAndFeel.Initialize("", "");
        QCOMPARE(lookAndFeel.GetCurrentLocale(), std::string("en_US"));

        QCOMPARE(App().GetProductNameAbout(), QStringLiteral("Zentar Test Product"));
        App().SetSettingsManager(Store("OnlyMain"));
        QCOMPARE(App().GetLaunchType(), Application::FirstLaunch);

        QSignalSpy started(&App(), &Application::ApplicationStarted);
        App().Start();
        QVERIFY(App().IsStarted());
        QCOMPARE(started.count(), 1);
    }
};

ZENTAR_APPLICATION_TEST_MAIN(TestMissingCollaborators)

#include "tst_missingcollaborators.moc"
