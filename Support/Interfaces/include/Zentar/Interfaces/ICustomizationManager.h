#pragma once

#include <Zentar/Core/Version.h>
#include <Zentar/Interfaces/Visibility.h>

#include <string>

namespace Zentar::App
{

// Branding of one build of a product: names, version, identifiers and the
// start-up behaviour it wants. Supplied by the product.
class ZENTAR_INTERFACE_VISIBLE ICustomizationManager
{
public:
    virtual ~ICustomizationManager() = default;

    virtual void SetLocale(const std::string& locale) = 0;
    virtual std::string GetOrganizationName() const = 0;
    virtual Zentar::Core::Version GetVersion() const = 0;
    virtual std::string GetProductId() const = 0;
    virtual std::string GetApplicationName() const = 0;
    virtual std::string GetProductNameAbout() const = 0;
    virtual std::string GetModuleName() const = 0;
    virtual std::string GetInstallerProductName() const = 0;
    virtual bool SuppressesStartupPages() const = 0;
    // 0 is the default kind; other kinds skip the start-up pages.
    virtual int GetCustomizationKind() const = 0;
    virtual std::string GetInstallLandingPage() const = 0;
    virtual bool AllowsEmailDialog() const = 0;
};

} // namespace Zentar::App
