#pragma once

#include <Zentar/App/ICustomizationManager.h>

// Branding of the demo build.
class DemoCustomization : public Zentar::App::ICustomizationManager
{
public:
    void SetLocale(const std::string& locale) override { m_locale = locale; }
    std::string GetOrganizationName() const override { return "Zentar"; }
    Zentar::Core::Version GetVersion() const override { return { 20, 4, 0, 0 }; }
    std::string GetProductId() const override { return "ZentarDemo"; }
    std::string GetApplicationName() const override { return "Zentar Demo"; }
    std::string GetProductNameAbout() const override { return "Zentar Demo 20.4"; }
    std::string GetModuleName() const override { return "zentar-demo"; }
    std::string GetInstallerProductName() const override { return "ZentarDemo"; }
    bool SuppressesStartupPages() const override { return false; }
    int GetCustomizationKind() const override { return 0; }
    std::string GetInstallLandingPage() const override { return "thankyou"; }
    bool AllowsEmailDialog() const override { return true; }

    const std::string& Locale() const { return m_locale; }

private:
    std::string m_locale = "en_US";
};
