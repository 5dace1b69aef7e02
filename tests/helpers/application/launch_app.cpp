// A product that asks its launch history and prints
// "<product type> <app type> <number of CheckFirstLaunch calls>".
//   --version X.Y.Z   the product's version (default 20.4.0)
//   --two-stores      separate main and product settings stores
//   --details         also prints "<IsFirstProductLaunch> <IsFirstLaunch> <GetDaysPassed>"
//                     on the same line
#include <Zentar/App/Application.h>
#include <Zentar/Settings/SettingsManager.h>

#include "TestCustomization.h"

#include <cstdio>

namespace
{

class CountingApplication : public Zentar::App::Application
{
public:
    using Application::Application;
    int checks = 0;

    LaunchType CheckFirstLaunch(const std::shared_ptr<Zentar::App::ISettingsManager>& settings) override
    {
        ++checks;
        return Application::CheckFirstLaunch(settings);
    }
};

} // namespace

int main(int argc, char** argv)
{
    Zentar::App::Application::AppContext context;
    context.createRunningMutex = false;
    CountingApplication app(argc, argv, context);

    const QStringList args = app.arguments();
    auto customization = std::make_shared<TestCustomization>();
    const int versionAt = args.indexOf(QStringLiteral("--version"));
    if (versionAt > 0 && versionAt + 1 < args.size())
        customization->version = Zentar::Core::Version::FromString(args.at(versionAt + 1).toStdString());
    app.SetCustomizationManager(customization, false);

    using Zentar::App::SettingsManager;
    auto product
        = std::make_shared<SettingsManager>(QStringLiteral("LaunchProduct"), QStringLiteral("Zentar"));
    if (args.contains(QStringLiteral("--two-stores"))) {
        app.SetSettingsManager(
            std::make_shared<SettingsManager>(QStringLiteral("LaunchMain"), QStringLiteral("Zentar")));
        app.SetProductSettingsManager(product);
    } else {
        app.SetSettingsManager(product);
    }

    const int productType = app.GetProductLaunchType();
    const int appType = app.GetLaunchType();
    // Asked again: answered from the cache.
    app.GetLaunchType();
    app.GetProductLaunchType();
    std::printf("%d %d %d", productType, appType, app.checks);
    if (args.contains(QStringLiteral("--details")))
        std::printf(
            " %d %d %d", int(app.IsFirstProductLaunch()), int(app.IsFirstLaunch()), app.GetDaysPassed());
    std::printf("\n");
    return 0;
}
