#pragma once

#include <Zentar/App/Application.h>
#include <Zentar/App/CrashTracker.h>
#include <Zentar/Browser/PreferredBrowser.h>

#include <map>
#include <memory>

class QSocketNotifier;

namespace Zentar::Browser
{
class URLHandler;
}

namespace Zentar::App
{

class NativeEventFilter;

// Members in the order they are built; they are destroyed in reverse.
struct Application::Private {
    explicit Private(Application* app);
    ~Private();

    std::shared_ptr<void> runningMutex;
    NativeEventFilter* nativeFilter = nullptr; // owned, though a child of the application
    std::shared_ptr<ICustomizationManager> customization;
    std::shared_ptr<ILookAndFeelManager> lookAndFeel;
    std::shared_ptr<ISettingsManager> settings;
    std::shared_ptr<ISplash> splash;
    std::shared_ptr<ISettingsManager> productSettings;
    std::shared_ptr<ISettingsManager> mailSettings;
    std::shared_ptr<Zentar::Links::ILinksManager> linksManager; // built on first use
    bool started = false;
    bool quitting = false;
    CrashTracker crashTracker;
    struct CachedLaunchType {
        bool known = false;
        LaunchType value = FirstLaunch;
    };
    CachedLaunchType productLaunchType;
    CachedLaunchType appLaunchType;
    Zentar::Browser::URLHandler* urlHandler = nullptr; // a child of the application
    std::shared_ptr<Zentar::Browser::PreferredBrowser> preferredBrowser
        = std::make_shared<Zentar::Browser::PreferredBrowser>();
    std::shared_ptr<Zentar::ExternalStimulus::IGateway> gateway;

    // Crash intelligence.
    bool crashReports = false;
    QSocketNotifier* quitNotifier = nullptr; // a child of the application
    std::map<std::string, CrashReport> reports; // read once each
    int crashLoopThreshold = 3;
    bool crashesCounted = false;
    bool cleanEndRecorded = false;
    bool safeMode = false;

    // The crash report path and header for the handlers, prepared now.
    void InstallCrashHandlers();
    // Adds the crashes this run found to the product store's count, once.
    // False while there is no product store to count in.
    bool CountCrashes(Application& app);
    // This run ends in order: counted as clean, and its session closed.
    void CloseSessionCleanly(Application& app);
    // The GUI thread's side of a quit signal.
    void OnQuitSignal(Application& app);
};

// Keys of the crash counts in the product settings store.
extern const char* const kCrashesInRowKey;
extern const char* const kSessionHistoryGroup;
// Sessions kept per product version for the crash-free share.
constexpr int kSessionHistoryLength = 20;

// Names of the collaborators an operation may find missing, with the setter
// that installs each.
extern const char* const kNeedsCustomization;
extern const char* const kNeedsSettings;
extern const char* const kNeedsProductSettings;

// Throws std::logic_error "<operation> needs <what>" (and logs it) when the
// product has not installed a collaborator the operation cannot do without.
[[noreturn]] void ThrowMissingCollaborator(const char* operation, const char* what);

template <class T>
T& Required(const std::shared_ptr<T>& collaborator, const char* operation, const char* what)
{
    if (!collaborator)
        ThrowMissingCollaborator(operation, what);
    return *collaborator;
}

// What the preferred browser is told: the interface language, the browser the
// installer recorded and the one the previous run found.
Zentar::Browser::AbstractPreferredBrowser::PreferredBrowserContext PreferredBrowserContextOf(
    const Application& app);

} // namespace Zentar::App
