#pragma once

#include <Zentar/App/ICustomizationManager.h>

#include <string>

// A customization manager whose answers a test sets field by field.
class TestCustomization : public Zentar::App::ICustomizationManager
{
public:
    std::string locale;
    std::string organization = "Zentar";
    Zentar::Core::Version version { 20, 4, 0, 17 };
    std::string productId = "ZentarTestProduct";
    std::string applicationName = "Zentar Test";
    std::string productNameAbout = "Zentar Test Product";
    std::string moduleName = "zentar-test";
    std::string installerProductName = "ZentarTestInstaller";
    bool suppressesStartupPages = false;
    int customizationKind = 0;
    std::string installLandingPage = "thankyou";
    bool allowsEmailDialog = true;

    void SetLocale(const std::string& l) override { locale = l; }
    std::string GetOrganizationName() const override { return organization; }
    Zentar::Core::Version GetVersion() const override { return version; }
    std::string GetProductId() const override { return productId; }
    std::string GetApplicationName() const override { return applicationName; }
    std::string GetProductNameAbout() const override { return productNameAbout; }
    std::string GetModuleName() const override { return moduleName; }
    std::string GetInstallerProductName() const override { return installerProductName; }
    bool SuppressesStartupPages() const override { return suppressesStartupPages; }
    int GetCustomizationKind() const override { return customizationKind; }
    std::string GetInstallLandingPage() const override { return installLandingPage; }
    bool AllowsEmailDialog() const override { return allowsEmailDialog; }
};
