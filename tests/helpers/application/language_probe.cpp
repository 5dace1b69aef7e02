// Chooses an interface language the way a product does at start-up and
// prints the default and the chosen one:
// language_probe <root> <requested locale> <installer code, 0: none recorded>
// The system's preferred languages come from the environment.
#include "TestCustomization.h"

#include <Zentar/App/Application.h>
#include <Zentar/App/LookAndFeelManager.h>
#include <Zentar/Settings/SettingsManager.h>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const int code = QByteArray(argv[3]).toInt();
    Zentar::App::Application::AppContext context;
    context.createRunningMutex = false;
    Zentar::App::Application app(argc, argv, context);
    auto customization = std::make_shared<TestCustomization>();
    app.SetCustomizationManager(customization, false);

    Zentar::App::SettingsManager installer(
        QString::fromStdString(customization->installerProductName), QStringLiteral("Zentar"));
    if (code != 0)
        installer.SetInt("Language", code);
    else
        installer.Remove("Language");

    Zentar::App::LookAndFeelManager manager(argv[1], "theme.json", {});
    manager.SetLocale(argv[2]);
    std::printf("%s %s\n", manager.GetDefaultLocale().c_str(), manager.GetCurrentLocale().c_str());
    return 0;
}
