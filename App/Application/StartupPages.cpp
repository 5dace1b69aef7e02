#include "Application_p.h"

#include <Zentar/App/IGateway.h>
#include <Zentar/EmailDialog/EmailDialogCreator.h>
#include <Zentar/Interfaces/ICustomizationManager.h>
#include <Zentar/Links/ILinksManager.h>
#include <Zentar/QtUtil/SpontaneousDialog.h>
#include <Zentar/QtUtil/Utf8.h>
#include <Zentar/Settings/ISettingsManager.h>

#include <QPointer>

#include <glog/logging.h>

#include <regex>

namespace Zentar::App
{

bool Application::NeedOpenUrlThankForInstall() const
{
    const LaunchType type = const_cast<Application*>(this)->GetProductLaunchType();
    return type == FirstLaunch || type == Reinstall || type == FirstLaunchAfterUpdate;
}

void Application::OpenThankForInstall() const
{
    if (d->gateway) {
        d->gateway->AddStimulus({ "THANK_FOR_INSTALL", [this] { OpenUrlThankForInstall(); } });
        return;
    }
    OpenUrlThankForInstall();
}

void Application::OpenUrlThankForInstall() const
{
    if (!NeedOpenUrlThankForInstall())
        return;

    auto* self = const_cast<Application*>(this);
    QString url;
    if (Required(d->customization, "Application::OpenThankForInstall", kNeedsCustomization)
            .GetInstallLandingPage()
        == "thankyou")
        url = GetUrl(self->GetProductLaunchType() == FirstLaunch ? URLKeys::THANK_FOR_INSTALL_URL
                                                                 : URLKeys::THANK_FOR_REINSTALL_URL);
    if (url.isEmpty())
        return;

    // The installer's file name carries the distribution id: "...SetupC1a2b.exe".
    static const std::regex kDistribution(".*Setup([COYSFIUE][a-zA-Z0-9]{4}).*");
    const std::string installerName = GetInstallerSettings("")->GetString("InstallerName", "");
    std::smatch match;
    if (std::regex_match(installerName, match, kDistribution) && match[1].length() > 0)
        url += QStringLiteral("&did=") + Util::Utf8ToQString(match[1].str());

    GetLinksManager()->OpenUrl(url);
}

void Application::ShowEmailDialogIfNeeded()
{
    if (d->gateway) {
        d->gateway->AddStimulus({ "EMAIL_DIALOG", [this] { ShowEmailDialog(); } });
        return;
    }
    ShowEmailDialog();
}

void Application::ShowEmailDialog()
{
    const LaunchType type = GetProductLaunchType();
    if (type != FirstLaunch && type != FirstLaunchAfterUpdate)
        return;
    const auto mailSettings = GetMailSettingsManager();
    const std::string registered = mailSettings ? mailSettings->GetString("IsRegUser", "") : std::string();
    if (!Required(d->customization, "Application::ShowEmailDialogIfNeeded", kNeedsCustomization)
             .AllowsEmailDialog())
        return;
    if (registered == "1")
        return;
    if (GetProductLaunchType() != FirstLaunch)
        return;

    Q_EMIT BeforeShowEmailDialog();
    auto creator = std::make_unique<EmailDialog::EmailDialogCreator>();
    std::unique_ptr<EmailDialog::AbstractEmailDialog> dialog;
    try {
        dialog = creator->Create(
            GetMailSettingsManager(), GetLinksManager(), Util::SpontaneousDialog::GetMainWindow());
    } catch (...) {
        // The product may rely on the pair even when the dialog cannot be built.
        Q_EMIT AfterShowEmailDialog();
        throw;
    }
    if (!dialog) {
        LOG(ERROR) << "Failed to create Email Dialog Impl";
    } else {
        // A product's dialog that is a child of the main window goes with the
        // window if that closes while the dialog runs: it was closed
        // unanswered, and it must not be deleted a second time.
        const QPointer<QObject> dialogObject = dynamic_cast<QObject*>(dialog.get());
        const bool isObject = dialogObject;
        dialog->Exec();
        if (isObject && !dialogObject)
            (void)dialog.release();
    }
    Q_EMIT AfterShowEmailDialog();
}

} // namespace Zentar::App
