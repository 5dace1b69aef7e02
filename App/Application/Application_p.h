#pragma once

#include <Zentar/App/Application.h>
#include <Zentar/App/CrashTracker.h>
#include <Zentar/Browser/PreferredBrowser.h>

#include <memory>

namespace Zentar::Browser {
class URLHandler;
}

namespace Zentar::App {

class NativeEventFilter;

// Members in the order they are built; they are destroyed in reverse.
struct Application::Private
{
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
    struct CachedLaunchType
    {
        bool known = false;
        LaunchType value = FirstLaunch;
    };
    CachedLaunchType productLaunchType;
    CachedLaunchType appLaunchType;
    Zentar::Browser::URLHandler* urlHandler = nullptr; // a child of the application
    std::shared_ptr<Zentar::Browser::PreferredBrowser> preferredBrowser =
        std::make_shared<Zentar::Browser::PreferredBrowser>();
    std::shared_ptr<Zentar::ExternalStimulus::IGateway> gateway;
};

// What the preferred browser is told: the interface language, the browser the
// installer recorded and the one the previous run found.
Zentar::Browser::AbstractPreferredBrowser::PreferredBrowserContext PreferredBrowserContextOf(const Application& app);

} // namespace Zentar::App
