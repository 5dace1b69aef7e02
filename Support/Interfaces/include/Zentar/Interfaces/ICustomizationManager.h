#pragma once

#include <Zentar/Core/Version.h>
#include <Zentar/Interfaces/Visibility.h>

#include <string>

namespace Zentar::App
{

/// Branding of one build of a product: names, version, identifiers and the
/// start-up behaviour it wants. Supplied by the product.
///
/// The library calls these on the GUI thread. The slot order is part of the
/// interface: new operations go at the end.
class ZENTAR_INTERFACE_VISIBLE ICustomizationManager
{
public:
    virtual ~ICustomizationManager() = default;

    /// Told the interface language, so that names and links follow it.
    virtual void SetLocale(const std::string& locale) = 0;
    /// The organisation, set as the application's organisation name.
    virtual std::string GetOrganizationName() const = 0;
    /// The product version, set as the application version.
    virtual Zentar::Core::Version GetVersion() const = 0;
    /// A file-name-safe identifier; it names the product's temporary folder.
    virtual std::string GetProductId() const = 0;
    /// The application name (UTF-8).
    virtual std::string GetApplicationName() const = 0;
    /// The product's name as an About box shows it.
    virtual std::string GetProductNameAbout() const = 0;
    /// The module name; it names the test options' link dump.
    virtual std::string GetModuleName() const = 0;
    /// The name the installer writes its settings store under; also the log file name.
    virtual std::string GetInstallerProductName() const = 0;
    /// True to skip the e-mail dialog and the landing page at start-up.
    virtual bool SuppressesStartupPages() const = 0;
    /// 0 is the default kind; other kinds skip the start-up pages.
    virtual int GetCustomizationKind() const = 0;
    /// The page to open after an install: "thankyou", or anything else for none.
    virtual std::string GetInstallLandingPage() const = 0;
    /// Whether this build offers the e-mail dialog at all.
    virtual bool AllowsEmailDialog() const = 0;
};

} // namespace Zentar::App
