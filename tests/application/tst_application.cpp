#include "ApplicationTestMain.h"
#include <Zentar/App/Application.h>
#include <Zentar/App/IGateway.h>
#include <Zentar/App/ISplash.h>
#include <Zentar/Logging/InitGlog.h>
#include <Zentar/QtUtil/SpontaneousDialog.h>
#include <Zentar/Settings/SettingsManager.h>

#include "LogCapture.h"
#include "TestCustomization.h"
#include "VirtualSlot.h"

#include <QMainWindow>
#include <QSignalSpy>
#include <QtTest>

using namespace Zentar::App;

namespace
{

struct CountingSplash : ISplash {
    int startupEvents = 0;
    void ShowMessage(const std::string&) override { }
    void OnStartupEvent() override { ++startupEvents; }
};

struct KeyRecorder : ISettingsManagerObserver {
    std::vector<std::string> keys;
    void OnSettingChanged(ISettingsManager&, const std::string& key) override { keys.push_back(key); }
};

struct RecordingGateway : Zentar::ExternalStimulus::IGateway {
    std::vector<std::string> names;
    bool IsEnabled() const override { return true; }
    void AddStimulus(const Zentar::ExternalStimulus::Stimulus& s) override { names.push_back(s.name); }
};

std::shared_ptr<SettingsManager> Store(const char* name)
{
    return std::make_shared<SettingsManager>(QString::fromLatin1(name), QStringLiteral("Zentar"));
}

// The first virtual operation a class derived from QApplication adds.
struct FirstAddedVirtual : QApplication {
    virtual void Added() { }
};

// Overrides take the slots of what they override, and may be named here
// whatever their access in Application.
struct Overrider : Application {
    bool TryToQuitImpl() override { return false; }
    QList<QCommandLineOption> GetAdditionalTestOptions() const override { return {}; }
    bool NeedOpenUrlThankForInstall() const override { return false; }
    void ShowEmailDialogIfNeeded() override { }
};

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void settingsFallbacks()
    {
        QVERIFY(!TheApp().GetProductSettingsManager());
        const auto main = Store("Main");
        TheApp().SetSettingsManager(main);
        QCOMPARE(TheApp().GetProductSettingsManager(), std::shared_ptr<ISettingsManager>(main));
        QCOMPARE(TheApp().GetMailSettingsManager(), std::shared_ptr<ISettingsManager>(main));

        const auto product = Store("Product");
        TheApp().SetProductSettingsManager(product);
        QCOMPARE(TheApp().GetMailSettingsManager(), std::shared_ptr<ISettingsManager>(product));
    }

    void customizationLogsVersion()
    {
        LogCapture log;
        auto customization = std::make_shared<TestCustomization>();
        customization->version = { 2, 5, 1, 99 };
        TheApp().SetCustomizationManager(customization, false);

        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("2.5.1"));
        QCOMPARE(log.Texts(google::GLOG_INFO),
            (std::vector<std::string> {
                "Product Version: 2.5.1",
                "FFmpeg version: ffmpeg/4.0.1-6@sdk_pkg/testing",
                "Build commit: 7a81524",
            }));

        log.Clear();
        FLAGS_v = 1;
        TheApp().SetCustomizationManager(std::make_shared<TestCustomization>(), false);
        FLAGS_v = 0;
        QVERIFY(log.Contains("Verbose logging enabled. Level=1"));
    }

    // Products are built against this order of the table of virtual functions.
    void virtualOperationsInOrder()
    {
        const long long first = VirtualSlot(&FirstAddedVirtual::Added);
        if (first < 0)
            QSKIP("Pointers to virtual member functions are not laid out as on the Itanium C++ ABI");
        const QList<long long> actual = {
            VirtualSlot(&Application::CheckFirstLaunch),
            VirtualSlot(&Application::Start),
            VirtualSlot(&Application::OnStart),
            VirtualSlot(&Application::TryToRestart),
            VirtualSlot(&Overrider::TryToQuitImpl),
            VirtualSlot(&Overrider::GetAdditionalTestOptions),
            VirtualSlot(&Application::GetUrl),
            VirtualSlot(&Overrider::NeedOpenUrlThankForInstall),
            VirtualSlot(&Overrider::ShowEmailDialogIfNeeded),
        };
        QList<long long> expected;
        for (long long slot = first; slot < first + actual.size(); ++slot)
            expected << slot;
        QCOMPARE(actual, expected);
    }

    void installerSettings()
    {
        const auto byDefault = TheApp().GetInstallerSettings("");
        QVERIFY(static_cast<SettingsManager&>(*byDefault)
                    .FileName()
                    .contains(QStringLiteral("ZentarTestInstaller")));
    }

    void mainWindowIsProcessWide()
    {
        QMainWindow window;
        TheApp().SetMainWindow(&window);
        QCOMPARE(TheApp().GetMainWindow(), static_cast<QWidget*>(&window));
        QCOMPARE(Zentar::Util::SpontaneousDialog::GetMainWindow(), static_cast<QWidget*>(&window));
        TheApp().SetMainWindow(nullptr);
    }

    void startRunsOnce()
    {
        auto splash = std::make_shared<CountingSplash>();
        auto gateway = std::make_shared<RecordingGateway>();
        TheApp().SetSplash(splash);
        TheApp().SetExternalStimulusGateway(gateway);
        QSignalSpy started(&TheApp(), &Application::ApplicationStarted);

        TheApp().Start();
        TheApp().Start();
        QCOMPARE(splash->startupEvents, 1);
        QCOMPARE(started.count(), 1);

        const auto product = TheApp().GetProductSettingsManager();
        QVERIFY(product->Contains("PreferredBrowser"));
        QCOMPARE(product->GetString("ArchitectBits", ""), std::string("x64"));
        QCOMPARE(QString::fromStdString(product->GetString("Path", "")),
            QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator());

        // The start-up pages go to the gateway, e-mail dialog first.
        QCOMPARE(gateway->names, (std::vector<std::string> { "EMAIL_DIALOG", "THANK_FOR_INSTALL" }));
    }

    // At every start, also when nothing changed: observers hear of the
    // values and a damaged one is repaired.
    void startRecordsItsValuesEachTime()
    {
        const auto product = TheApp().GetProductSettingsManager();
        product->SetByteArray("ArchitectBits", { 'x', '6', '4' });
        KeyRecorder recorder;
        product->RegisterObserver(&recorder);
        TheApp().OnStart();
        product->UnregisterObserver(&recorder);
        QCOMPARE(recorder.keys, (std::vector<std::string> { "PreferredBrowser", "ArchitectBits", "Path" }));
        QCOMPARE(product->GetString("ArchitectBits", ""), std::string("x64"));
    }

    void startupPagesSkippedForOtherBuilds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("suppresses");
        QTest::newRow("other kind") << 1 << false;
        QTest::newRow("suppressed") << 0 << true;
    }
    void startupPagesSkippedForOtherBuilds()
    {
        QFETCH(int, kind);
        QFETCH(bool, suppresses);
        auto customization = std::make_shared<TestCustomization>();
        customization->customizationKind = kind;
        customization->suppressesStartupPages = suppresses;
        TheApp().SetCustomizationManager(customization, false);
        auto gateway = std::make_shared<RecordingGateway>();
        TheApp().SetExternalStimulusGateway(gateway);
        QSignalSpy started(&TheApp(), &Application::ApplicationStarted);

        TheApp().OnStart();
        QVERIFY(gateway->names.empty());
        QCOMPARE(started.count(), 1);
    }

    void temporaryFiles()
    {
        // A constant expression for products, and an exported member of the library.
        static_assert(Application::DAYS_TO_FILE_EXPIRE == 10);
        const int* exported = &Application::DAYS_TO_FILE_EXPIRE;
        QCOMPARE(*exported, 10);

        TheApp().SetCustomizationManager(std::make_shared<TestCustomization>(), false);
        const QString dir = TheApp().GetApplicationTemporaryFilesDir();
        QCOMPARE(
            dir, QDir::toNativeSeparators(QDir::tempPath() + QStringLiteral("/ZentarTestProduct/temp/")));
        QVERIFY(QFileInfo(dir).isDir());

        const auto touch = [&](const QString& name, int daysAgo) {
            QFile f(dir + name);
            f.open(QIODevice::WriteOnly);
            f.write("x");
            f.flush();
            f.setFileTime(QDateTime::currentDateTime().addDays(-daysAgo), QFileDevice::FileModificationTime);
        };
        touch(QStringLiteral("old.tmp"), Application::DAYS_TO_FILE_EXPIRE + 2);
        touch(QStringLiteral("new.tmp"), 1);

        LogCapture log;
        TheApp().ClearApplicationTemporaryFiles(Application::DAYS_TO_FILE_EXPIRE);
        QVERIFY(!QFile::exists(dir + QStringLiteral("old.tmp")));
        QVERIFY(QFile::exists(dir + QStringLiteral("new.tmp")));
        QVERIFY(log.Contains(
            "Removing all temporary files from directory " + QDir(dir).absolutePath().toStdString()));

        // A missing directory is created, then cleaned.
        QDir(dir).removeRecursively();
        TheApp().ClearApplicationTemporaryFiles(Application::DAYS_TO_FILE_EXPIRE);
        QVERIFY(QFileInfo(dir).isDir());
    }

    // Last: sets up logging files for the rest of the process.
    void loggingSetUp()
    {
        TheApp().SetCustomizationManager(std::make_shared<TestCustomization>(), true);
        QCOMPARE(qEnvironmentVariable("GLOG_PRODUCT_NAME"), QStringLiteral("ZentarTestInstaller"));
        google::FlushLogFiles(google::GLOG_INFO);
        const QDir logs(QString::fromStdString(Zentar::Logging::LogDirectory()));
        QVERIFY2(!logs.entryList({ QStringLiteral("ZentarTestInstaller*") }, QDir::Files).isEmpty(),
            qPrintable(logs.path()));
    }
};

ZENTAR_APPLICATION_TEST_MAIN(TestApplication)

#include "tst_application.moc"
