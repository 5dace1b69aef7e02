#pragma once

// The benchmark product's branding and its look-and-feel observer.

#include <Zentar/App/ICustomizationManager.h>
#include <Zentar/App/ILookAndFeelObserver.h>
#include <Zentar/App/LookAndFeelManager.h>

#include <QApplication>

class BenchCustomization : public Zentar::App::ICustomizationManager
{
public:
    void SetLocale(const std::string&) override { }
    std::string GetOrganizationName() const override { return "Zentar"; }
    Zentar::Core::Version GetVersion() const override { return { 1, 0, 0, 0 }; }
    std::string GetProductId() const override { return "ZentarBench"; }
    std::string GetApplicationName() const override { return "Zentar Bench"; }
    std::string GetProductNameAbout() const override { return "Zentar Bench 1.0"; }
    std::string GetModuleName() const override { return "zentar-bench"; }
    std::string GetInstallerProductName() const override { return "ZentarBench"; }
    // No browser pages or e-mail dialog in a measured run.
    bool SuppressesStartupPages() const override { return true; }
    int GetCustomizationKind() const override { return 0; }
    std::string GetInstallLandingPage() const override { return {}; }
    bool AllowsEmailDialog() const override { return false; }
};

// Sets the composed stylesheet on the application at every theme change, as
// a product does.
class StyleSheetSetter : public Zentar::App::ILookAndFeelObserver
{
public:
    explicit StyleSheetSetter(Zentar::App::LookAndFeelManager& manager)
        : m_manager(manager)
    {
        m_manager.RegisterObserver(this);
    }
    ~StyleSheetSetter() override { m_manager.UnregisterObserver(this); }
    StyleSheetSetter(const StyleSheetSetter&) = delete;
    StyleSheetSetter& operator=(const StyleSheetSetter&) = delete;

    void OnLocaleChanged(const std::string&) override { }
    void OnThemeChanged(const std::string&) override
    {
        qApp->setStyleSheet(QString::fromStdString(m_manager.GetUnitedStylesheet()));
    }

private:
    Zentar::App::LookAndFeelManager& m_manager;
};
