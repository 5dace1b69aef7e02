// The least product: an application that starts, reports and quits.
#include <Zentar/App/Application.h>
#include <Zentar/App/ICustomizationManager.h>
#include <Zentar/Settings/SettingsManager.h>

#include <QMainWindow>
#include <QTimer>

#include <cstdio>

namespace
{

class Customization : public Zentar::App::ICustomizationManager
{
public:
    void SetLocale(const std::string&) override { }
    std::string GetOrganizationName() const override { return "Zentar"; }
    Zentar::Core::Version GetVersion() const override { return { 1, 0, 0, 0 }; }
    std::string GetProductId() const override { return "TinyProduct"; }
    std::string GetApplicationName() const override { return "Tiny Product"; }
    std::string GetProductNameAbout() const override { return "Tiny Product 1.0"; }
    std::string GetModuleName() const override { return "tiny-product"; }
    std::string GetInstallerProductName() const override { return "TinyProduct"; }
    bool SuppressesStartupPages() const override { return true; }
    int GetCustomizationKind() const override { return 0; }
    std::string GetInstallLandingPage() const override { return std::string(); }
    bool AllowsEmailDialog() const override { return false; }
};

const char* Name(Zentar::App::Application::LaunchType type)
{
    switch (type) {
    case Zentar::App::Application::FirstLaunch:
        return "FirstLaunch";
    case Zentar::App::Application::Reinstall:
        return "Reinstall";
    case Zentar::App::Application::FirstLaunchAfterUpdate:
        return "FirstLaunchAfterUpdate";
    case Zentar::App::Application::RegularLaunch:
        return "RegularLaunch";
    }
    return "?";
}

} // namespace

int main(int argc, char** argv)
{
    Zentar::App::Application app(argc, argv);
    app.SetCustomizationManager(std::make_shared<Customization>(), false);
    app.SetSettingsManager(std::make_shared<Zentar::App::SettingsManager>(
        QStringLiteral("TinyProduct"), QStringLiteral("Zentar")));
    QObject::connect(&app, &Zentar::App::Application::ApplicationStarted, &app, [&app] {
        std::printf("started %s\n", Name(app.GetLaunchType()));
        QTimer::singleShot(0, &app, [&app] { app.TryToQuit(); });
    });
    QMainWindow window;
    app.SetMainWindow(&window);
    window.show();
    app.Start();
    return app.exec();
}
