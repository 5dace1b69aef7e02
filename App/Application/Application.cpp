#include "Application_p.h"
#include "CrashReports.h"
#include "NativeEventFilter.h"

#include <Zentar/App/AppTest.h>
#include <Zentar/App/IGateway.h>
#include <Zentar/App/ISplash.h>
#include <Zentar/App/MutexNames.h>
#include <Zentar/App/RestartApplication.h>
#include <Zentar/Browser/URLHandler.h>
#include <Zentar/Core/StringConv.h>
#include <Zentar/Interfaces/ICustomizationManager.h>
#include <Zentar/Logging/InitGlog.h>
#include <Zentar/QtUtil/AppBits.h>
#include <Zentar/QtUtil/RemoveDir.h>
#include <Zentar/QtUtil/SpontaneousDialog.h>
#include <Zentar/QtUtil/Utf8.h>
#include <Zentar/QtUtil/Version.h>
#include <Zentar/Settings/SettingsManager.h>

#include "../Gesture/AttachScroller.h"
#include "../Platform/OsCrash.h"
#include "../Platform/OsGesture.h"
#include "../Platform/OsProcess.h"
#include "../Platform/OsQuit.h"

#include <QDesktopServices>
#include <QDir>
#include <QMainWindow>
#include <QMetaEnum>
#include <QSocketNotifier>
#include <QTimer>

#include <boost/core/demangle.hpp>
#include <boost/exception/diagnostic_information.hpp>
#include <glog/logging.h>

#include <stdexcept>
#include <typeinfo>

namespace Zentar::App
{

const char* const APPLICATION_RUNNING_MUTEX_NAME = "{5A0C3E71-9D42-4B8F-A6E1-2C7D90F3B415}";
const char* const INSTALLER_MUTEX_NAME = "{E83B1F27-6C4D-4A19-B0F5-7D2E91C6A348}";

const char* const kNeedsCustomization = "a customization manager (SetCustomizationManager)";
const char* const kNeedsSettings = "a settings store (SetSettingsManager)";
const char* const kNeedsProductSettings
    = "a product settings store (SetProductSettingsManager or SetSettingsManager)";

void ThrowMissingCollaborator(const char* operation, const char* what)
{
    const std::string message = std::string(operation) + " needs " + what;
    LOG(ERROR) << message;
    throw std::logic_error(message);
}

namespace
{

// Written to the log when logging is set up; prepared before any run starts.
const std::vector<std::string> kBuildInformation = {
    "FFmpeg version: ffmpeg/4.0.1-6@sdk_pkg/testing",
    "Build commit: 7a81524",
};

constexpr int kExpireReportsAfterMs = 3000;

// Mouse state of the timer guard, shared by every widget of the process.
bool buttonDown = false;
bool dragging = false;

// Out of line, so that delivering an event keeps no room for the report.
[[gnu::noinline, gnu::cold]] void LogEscapedException(
    QObject* receiver, QEvent* event, const std::exception& e)
{
    const char* typeName = QMetaEnum::fromType<QEvent::Type>().valueToKey(event->type());
    LOG(ERROR) << "Exception has been caught in event processing\n"
               << "\tReceiver: "
               << (receiver ? boost::core::demangle(typeid(*receiver).name()) : std::string("<NULL>")) << "\n"
               << "\tEvent class: " << boost::core::demangle(typeid(*event).name())
               << ". Event type: QEvent::"
               << (typeName ? std::string(typeName) : std::to_string(int(event->type()))) << "\n"
               << "\tException details: " << boost::diagnostic_information(e);
}

// What notify does with an event of a type it looks at, before Qt sees it.
enum class Delivery { Deliver, Consumed, Dropped };

Delivery BeforeDelivery(QObject* receiver, QEvent* event, ISplash* splash)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        buttonDown = true;
        break;
    case QEvent::MouseButtonRelease:
        dragging = false;
        buttonDown = false;
        break;
    case QEvent::MouseMove:
        if (buttonDown)
            dragging = true;
        break;
    case QEvent::Timer:
        // That timer class starves the event loop while a drag runs.
        if (dragging && receiver
            && qstrcmp(receiver->metaObject()->className(), "WebCore::SharedTimerQt") == 0)
            return Delivery::Dropped;
        break;
    case QEvent::Show:
        // Every list, table and text view scrolls by touch.
        AttachScroller(receiver);
        break;
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        // Where the system sends no gesture messages, touches are made into
        // them before anyone else sees them.
        if (Os::OfferTouchEvent(receiver, event))
            return Delivery::Consumed;
        break;
    case QEvent::ApplicationStateChange:
        if (splash && QGuiApplication::applicationState() == Qt::ApplicationActive)
            splash->OnStartupEvent();
        break;
    default:
        break;
    }

    return Delivery::Deliver;
}

bool DeliverLoggingExceptions(QApplication* app, QObject* receiver, QEvent* event)
{
    try {
        return app->QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        LogEscapedException(receiver, event, e);
        throw;
    }
}

// The few types BeforeDelivery looks at, told apart by two comparisons so
// that the others reach Qt without a detour.
constexpr bool MayBeWatched(QEvent::Type type)
{
    return type <= QEvent::Show || (type >= QEvent::TouchBegin && type <= QEvent::ApplicationStateChange);
}

// The ranges rest on Qt's numbering of event types. Should a type that
// BeforeDelivery handles fall outside them in another Qt, its handling would
// stop without a word (no scrollers, no gestures from touches, no drag guard,
// no splash wake-up): let the build fail instead.
static_assert(MayBeWatched(QEvent::Timer) && MayBeWatched(QEvent::MouseButtonPress)
    && MayBeWatched(QEvent::MouseButtonRelease) && MayBeWatched(QEvent::MouseButtonDblClick)
    && MayBeWatched(QEvent::MouseMove) && MayBeWatched(QEvent::Show));
static_assert(MayBeWatched(QEvent::TouchBegin) && MayBeWatched(QEvent::TouchUpdate)
    && MayBeWatched(QEvent::TouchEnd) && MayBeWatched(QEvent::TouchCancel)
    && MayBeWatched(QEvent::ApplicationStateChange));

// `splash` is the start-up splash while the application has not started yet.
[[gnu::noinline]] bool NotifyWatched(QApplication* app, QObject* receiver, QEvent* event, ISplash* splash)
{
    const Delivery delivery = BeforeDelivery(receiver, event, splash);
    if (delivery != Delivery::Deliver)
        return delivery == Delivery::Consumed;
    return DeliverLoggingExceptions(app, receiver, event);
}

} // namespace

Application::Private::Private(Application* app)
    : nativeFilter(new NativeEventFilter(app))
{
}

Application::Private::~Private()
{
    delete nativeFilter;
}

Application::Application(int& argc, char** argv)
    : Application(argc, argv, AppContext {})
{
}

Application::Application(int& argc, char** argv, const AppContext& context)
    : QApplication(argc, argv)
    , d(std::make_unique<Private>(this))
{
    if (context.createRunningMutex)
        d->runningMutex = Os::CreateNamedMutex(Core::WstringFromUtf8(APPLICATION_RUNNING_MUTEX_NAME));

    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
    QCoreApplication::installNativeEventFilter(d->nativeFilter);

    d->urlHandler = new Browser::URLHandler(this, d->preferredBrowser);
    QDesktopServices::setUrlHandler(QStringLiteral("http"), d->urlHandler, "OpenURLWithPreferredBrowser");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), d->urlHandler, "OpenURLWithPreferredBrowser");

    connect(this, &QCoreApplication::aboutToQuit, this, &Application::OnAboutToQuit);

    // Logout, shutdown and Ctrl+C end the run in order, not as a crash.
    d->InstallCrashHandlers();
    if (const int quitSignals = Os::QuitSignalDescriptor(); quitSignals >= 0) {
        d->quitNotifier = new QSocketNotifier(quitSignals, QSocketNotifier::Read, this);
        connect(d->quitNotifier, &QSocketNotifier::activated, this, [this] { d->OnQuitSignal(*this); });
        for (const QuitSignal signal : { QuitSignal::Terminate, QuitSignal::Interrupt, QuitSignal::Hangup })
            SetQuitOnSignal(signal, true);
    }
    // The process may be ended any time after the desktop session asked to
    // save: the session is closed now.
    connect(this, &QGuiApplication::commitDataRequest, this, [this] { d->CloseSessionCleanly(*this); });
    d->nativeFilter->SetSessionEndHandler([this] { d->CloseSessionCleanly(*this); });
    // Listing the folder costs more than the rest of the crash set-up: it
    // waits until the product is up.
    QTimer::singleShot(kExpireReportsAfterMs, Qt::VeryCoarseTimer, this,
        [this] { CrashReports::RemoveExpired(d->crashTracker.FileName(), DAYS_TO_FILE_EXPIRE); });

    AppTest::HandleGlobalTestOptions();

    d->preferredBrowser->SetContextCallback([this] { return PreferredBrowserContextOf(*this); });
}

Application::~Application()
{
    // The stores and managers may still need a live QApplication while they
    // die, and go in this order; the rest of d goes with the members, still
    // before the QApplication.
    d->productSettings.reset();
    d->splash.reset();
    d->settings.reset();
    d->lookAndFeel.reset();
    d->customization.reset();

    for (const QuitSignal signal : { QuitSignal::Terminate, QuitSignal::Interrupt, QuitSignal::Hangup })
        SetQuitOnSignal(signal, false);
    Os::SetQuitUnderWay(false);
    SetCrashReportsEnabled(false);
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    // Every event passes here.
    if (Q_UNLIKELY(MayBeWatched(event->type())))
        return NotifyWatched(this, receiver, event, d->started ? nullptr : d->splash.get());
    return DeliverLoggingExceptions(this, receiver, event);
}

void Application::SetCustomizationManager(std::shared_ptr<ICustomizationManager> manager, bool initLogging)
{
    // A null manager would leave the names unset and later calls failing far
    // from the mistake; the previous manager stays.
    if (!manager)
        ThrowMissingCollaborator("Application::SetCustomizationManager", kNeedsCustomization);
    d->customization = std::move(manager);
    const auto& customization = *d->customization;

    if (initLogging) {
        Os::PutEnvironment(
            L"GLOG_PRODUCT_NAME=" + Core::WstringFromUtf8(customization.GetInstallerProductName()));
        Zentar::Logging::InitGlog(std::string());
    }

    QCoreApplication::setApplicationName(Util::Utf8ToQString(customization.GetApplicationName()));
    const QString version = Util::VersionToString(
        customization.GetVersion(), Util::VersionFormat_MajorMinorPatch, QStringLiteral("."));
    QCoreApplication::setApplicationVersion(version);
    QCoreApplication::setOrganizationName(Util::Utf8ToQString(customization.GetOrganizationName()));
    if (d->crashReports)
        d->InstallCrashHandlers(); // with the version now known

    LOG(INFO) << "Product Version: " << Util::QStringToUtf8(version);
    for (const auto& line : kBuildInformation)
        LOG(INFO) << line;
    if (FLAGS_v >= 1)
        LOG(INFO) << "Verbose logging enabled. Level=" << FLAGS_v;
}

std::shared_ptr<ICustomizationManager> Application::GetCustomizationManager() const
{
    return d->customization;
}

void Application::SetLookAndFeel(std::shared_ptr<ILookAndFeelManager> manager)
{
    d->lookAndFeel = std::move(manager);
}

std::shared_ptr<ILookAndFeelManager> Application::GetLookAndFeel()
{
    return d->lookAndFeel;
}

std::shared_ptr<ILookAndFeelManager> Application::GetLookAndFeel() const
{
    return d->lookAndFeel;
}

void Application::SetSettingsManager(std::shared_ptr<ISettingsManager> settings)
{
    d->settings = std::move(settings);
}

void Application::SetProductSettingsManager(std::shared_ptr<ISettingsManager> settings)
{
    d->productSettings = std::move(settings);
}

void Application::SetMailSettingsManager(std::shared_ptr<ISettingsManager> settings)
{
    d->mailSettings = std::move(settings);
}

std::shared_ptr<ISettingsManager> Application::GetSettingsManager()
{
    return d->settings;
}

std::shared_ptr<ISettingsManager> Application::GetSettingsManager() const
{
    return d->settings;
}

std::shared_ptr<ISettingsManager> Application::GetProductSettingsManager()
{
    return d->productSettings ? d->productSettings : d->settings;
}

std::shared_ptr<ISettingsManager> Application::GetProductSettingsManager() const
{
    return d->productSettings ? d->productSettings : d->settings;
}

std::shared_ptr<ISettingsManager> Application::GetMailSettingsManager()
{
    return d->mailSettings ? d->mailSettings : GetProductSettingsManager();
}

std::shared_ptr<ISettingsManager> Application::GetMailSettingsManager() const
{
    return d->mailSettings ? d->mailSettings : GetProductSettingsManager();
}

std::shared_ptr<ISettingsManager> Application::GetInstallerSettings(const std::string& name) const
{
    const std::string product = name.empty()
        ? Required(d->customization, "Application::GetInstallerSettings", kNeedsCustomization)
              .GetInstallerProductName()
        : name;
    return std::make_shared<SettingsManager>(Util::Utf8ToQString(product), QStringLiteral("Zentar"));
}

void Application::SetSplash(std::shared_ptr<ISplash> splash)
{
    d->splash = std::move(splash);
}

std::shared_ptr<ISplash> Application::GetSplash()
{
    return d->splash;
}

void Application::SetExternalStimulusGateway(
    const std::shared_ptr<Zentar::ExternalStimulus::IGateway>& gateway)
{
    d->gateway = gateway;
}

std::shared_ptr<Zentar::ExternalStimulus::IGateway> Application::GetExternalStimulusGateway()
{
    return d->gateway;
}

void Application::SetMainWindow(QMainWindow* window)
{
    Util::SpontaneousDialog::SetMainWindow(window);
}

QWidget* Application::GetMainWindow()
{
    return Util::SpontaneousDialog::GetMainWindow();
}

QString Application::ApplicationName()
{
    if (d->customization)
        return Util::Utf8ToQString(d->customization->GetApplicationName());
    return QCoreApplication::applicationName();
}

QString Application::GetProductNameAbout()
{
    return Util::Utf8ToQString(
        Required(d->customization, "Application::GetProductNameAbout", kNeedsCustomization)
            .GetProductNameAbout());
}

bool Application::IsStarted() const
{
    return d->started;
}

bool Application::IsQuitting() const
{
    return d->quitting;
}

std::string Application::SessionId()
{
    return d->crashTracker.SessionId();
}

bool Application::HasUnreportedCrash()
{
    return d->crashTracker.HasUnreportedCrash();
}

std::deque<std::string> Application::GetCrashedSessions()
{
    return d->crashTracker.BadSessionsList();
}

void Application::ClearCrashes()
{
    d->crashTracker.ClearHistory();
    d->reports.clear();
}

void Application::Start()
{
    if (d->started)
        return;
    d->started = true;
    d->CountCrashes(*this);
    if (d->splash)
        d->splash->OnStartupEvent();
    try {
        OnStart();
    } catch (const std::logic_error&) {
        // A manager was missing: once the product installs it, Start may run again.
        d->started = false;
        throw;
    }
}

void Application::OnStart()
{
    // Checked first, so that a start without them writes nothing.
    const auto customization = d->customization;
    const auto productSettings = GetProductSettingsManager();
    Required(customization, "Application::OnStart", kNeedsCustomization);
    Required(productSettings, "Application::OnStart", kNeedsProductSettings);

    const QString browserPath = PreferredBrowserPath();
    if (FLAGS_v >= 30)
        LOG(INFO) << "Preferred browser path" << Util::QStringToUtf8(browserPath);

    // Written at every start, also when unchanged: the store's observers see
    // each value and a damaged one is repaired.
    productSettings->SetString("PreferredBrowser", Util::QStringToUtf8(browserPath));
    productSettings->SetString("ArchitectBits", "x" + Util::QStringToUtf8(Util::AppBits()));
    productSettings->SetString("Path",
        Util::QStringToUtf8(
            QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator()));

    if (!d->safeMode)
        HandleTestOptions();

    if (customization->GetCustomizationKind() == 0 && !customization->SuppressesStartupPages()
        && !d->safeMode) {
        ShowEmailDialogIfNeeded();
        OpenThankForInstall();
    }

    RequestCheckAutoUpdate();

    Q_EMIT ApplicationStarted();
}

void Application::RegisterEventHandler(std::shared_ptr<EventHandler> handler)
{
    d->nativeFilter->RegisterEventHandler(std::move(handler));
}

void Application::UnregisterEventHandler(std::shared_ptr<EventHandler> handler)
{
    d->nativeFilter->UnregisterEventHandler(handler);
}

bool Application::TryToQuit()
{
    d->quitting = TryToQuitImpl();
    return d->quitting;
}

bool Application::TryToQuitImpl()
{
    QCoreApplication::quit();
    return true;
}

void Application::TryToRestart(Zentar::Enums::WorkingMode mode, QString arguments)
{
    RestartApplication(mode, QPixmap(), arguments);
}

void Application::OnAboutToQuit()
{
    d->CloseSessionCleanly(*this);
    Os::SetQuitUnderWay(true);
}

QList<QCommandLineOption> Application::GetAdditionalTestOptions() const
{
    return {};
}

const int Application::DAYS_TO_FILE_EXPIRE;

QString Application::GetApplicationTemporaryFilesDir()
{
    const QString productId = Util::Utf8ToQString(
        Required(d->customization, "Application::GetApplicationTemporaryFilesDir", kNeedsCustomization)
            .GetProductId());
    const QString dir = QDir::toNativeSeparators(QDir::tempPath() + QDir::separator() + productId
        + QDir::separator() + QStringLiteral("temp") + QDir::separator());
    QDir().mkpath(dir);
    return dir;
}

void Application::ClearApplicationTemporaryFiles(int days) const
{
    const QDir dir(const_cast<Application*>(this)->GetApplicationTemporaryFilesDir());
    LOG(INFO) << "Removing all temporary files from directory " << Util::QStringToUtf8(dir.absolutePath());
    Util::RemoveDir(dir.absolutePath(), days, false);
}

void Application::RequestCheckAutoUpdate() const
{
    if (Required(GetProductSettingsManager(), "Application::RequestCheckAutoUpdate", kNeedsProductSettings)
            .GetBool("autoUpdate", true))
        QTimer::singleShot(5000, this, &Application::AutoUpdateCheckRequested);
}

} // namespace Zentar::App
