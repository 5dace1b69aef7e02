// Zentar Demo: a product built on the Zentar App library.
//
//   zentar-demo [--screenshot PATH] [--stay] [--theme ID] [--language LOCALE]
//
// Without a display it runs offscreen, writes a screenshot of its main window
// (zentar-demo.png unless PATH is given) and quits; --stay keeps it running.
// On a display it stays open.
#include "DemoCustomization.h"
#include "DemoDialogsPage.h"
#include "DemoLinks.h"
#include "DemoLookAndFeel.h"
#include "DemoSafeMode.h"
#include "DemoSlave.h"
#include "DemoSplash.h"
#include "DemoTouchPage.h"
#include "DemoWindow.h"

#include <Zentar/App/Application.h>
#include <Zentar/App/StartupHelpers.h>
#include <Zentar/Settings/SettingsManager.h>

#include <QCommandLineParser>
#include <QTimer>

#include <glog/logging.h>

#include <cstdio>

namespace
{

bool HasDisplay()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv)
{
    const bool headless = !HasDisplay() && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    if (headless)
        qputenv("QT_QPA_PLATFORM", "offscreen");

    Zentar::App::HighDpiFix();
    Zentar::App::Application app(argc, argv);

    QCommandLineParser parser;
    const QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
        QStringLiteral("Write a screenshot of the main window to <path>."), QStringLiteral("path"),
        QStringLiteral("zentar-demo.png"));
    const QCommandLineOption stayOption(
        QStringLiteral("stay"), QStringLiteral("Keep running after the screenshot."));
    const QCommandLineOption themeOption(
        QStringLiteral("theme"), QStringLiteral("Start with the theme <id>."), QStringLiteral("id"));
    const QCommandLineOption languageOption(QStringLiteral("language"),
        QStringLiteral("Start with the interface language <locale>."), QStringLiteral("locale"));
    parser.addOption(screenshotOption);
    parser.addOption(stayOption);
    parser.addOption(themeOption);
    parser.addOption(languageOption);
    parser.parse(app.arguments()); // the library's test options pass through

    auto customization = std::make_shared<DemoCustomization>();
    app.SetCustomizationManager(customization, true);
    app.SetSettingsManager(std::make_shared<Zentar::App::SettingsManager>(
        QStringLiteral("ZentarDemo"), QStringLiteral("Zentar")));
    app.SetProductSettingsManager(std::make_shared<Zentar::App::SettingsManager>(
        QStringLiteral("ZentarDemoProduct"), QStringLiteral("Zentar")));

    // A copy started by "Open slave window" shows only its small window.
    if (IsDemoSlave())
        return RunDemoSlave(app);

    // Offscreen nobody could answer: the question waits for a screen.
    if (!headless)
        OfferDemoSafeMode(app);
    else if (app.IsInCrashLoop())
        LOG(WARNING) << "Crashed " << app.GetCrashesInRow() << " times in a row; no screen to ask on";

    auto splash = std::make_shared<DemoSplash>();
    app.SetSplash(splash);

    const int launchType = app.GetLaunchType();
    LOG(INFO) << "Launch type: " << LaunchTypeName(launchType).toStdString();
    std::printf("launch %s\n", qPrintable(LaunchTypeName(launchType)));
    for (const auto& id : app.GetCrashedSessions()) {
        const auto report = app.GetCrashReport(id);
        LOG(WARNING) << "Crashed session of an earlier run: " << id
                     << (report.Empty() ? std::string(" (no report)") : ": " + report.Summary());
        std::printf("crashed %s\n", id.c_str());
        if (!report.Empty())
            std::printf("cause %s %s\n", id.c_str(), report.Summary().c_str());
    }
    std::printf("session %s\n", app.SessionId().c_str());
    std::fflush(stdout);

    DemoWindow window(app);
    // Before the pages are made, so that they start in the chosen language.
    InstallDemoLookAndFeel(app, window.menuBar(), parser.value(languageOption).toStdString(),
        parser.value(themeOption).toStdString());
    window.AddPage(new DemoDialogsPage(app), QT_TRANSLATE_NOOP("QObject", "Dialogs"));
    window.AddPage(CreateDemoTouchPage(), QT_TRANSLATE_NOOP("QObject", "Touch"));
    AddMacStyleMenus(window.menuBar(), app);
    InstallDemoSlaveLauncher(window, window.FileMenu());
    app.SetMainWindow(&window);
    InstallDemoLinks(app, window);
    app.Start();
    window.show();
    splash->Finish(&window);

    const bool takeScreenshot = headless || parser.isSet(screenshotOption);
    if (takeScreenshot) {
        const QString path = parser.value(screenshotOption);
        QTimer::singleShot(0, &window, [&window, path] {
            if (window.grab().save(path))
                std::printf("screenshot %s\n", qPrintable(path));
            else
                LOG(ERROR) << "Cannot write the screenshot to " << path.toStdString();
            std::fflush(stdout);
        });
        if (headless && !parser.isSet(stayOption))
            QTimer::singleShot(0, &app, [&app] { app.TryToQuit(); });
    }
    return app.exec();
}
