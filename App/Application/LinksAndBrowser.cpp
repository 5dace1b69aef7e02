#include "Application_p.h"

#include <Zentar/Interfaces/ILookAndFeelManager.h>
#include <Zentar/Links/LinksManager.h>
#include <Zentar/QtUtil/Utf8.h>
#include <Zentar/Settings/ISettingsManager.h>

namespace Zentar::App
{

Browser::AbstractPreferredBrowser::PreferredBrowserContext PreferredBrowserContextOf(const Application& app)
{
    // Called by the browser lookup at any time, also before the product has
    // installed its managers: what is missing stays empty.
    Browser::AbstractPreferredBrowser::PreferredBrowserContext context;
    if (const auto lookAndFeel = app.GetLookAndFeel())
        context.locale = Util::Utf8ToQString(lookAndFeel->GetCurrentLocale());
    if (app.GetCustomizationManager())
        context.installerBrowser
            = Util::Utf8ToQString(app.GetInstallerSettings("")->GetString("Browser", ""));
    if (const auto product = app.GetProductSettingsManager())
        context.previousBrowser = Util::Utf8ToQString(product->GetString("PreferredBrowser", ""));
    return context;
}

QString Application::PreferredBrowserPath() const
{
    return d->preferredBrowser->Path();
}

QString Application::GetPreferredBrowserUserAgent() const
{
    return d->preferredBrowser->UserAgent();
}

std::shared_ptr<Links::ILinksManager> Application::GetLinksManager() const
{
    if (!d->linksManager) {
        // The installer store needs the installer product name; without a
        // customization manager the links service refuses anyway.
        auto installer = d->customization ? GetInstallerSettings("") : nullptr;
        d->linksManager = std::make_shared<Links::LinksManager>(
            d->customization, d->lookAndFeel, GetMailSettingsManager(), std::move(installer));
    }
    return d->linksManager;
}

QString Application::GetUrl(const Zentar::URLKeys& key) const
{
    return GetLinksManager()->GetUrl(key);
}

} // namespace Zentar::App
