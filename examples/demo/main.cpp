// Zentar Demo: a product built on the Zentar App library.
//
//   zentar-demo [--screenshot PATH] [--stay] [--theme ID] [--language LOCALE]
//   zentar-demo --help | --version
//
// Headless (no display, or the offscreen platform however chosen) it writes a
// screenshot of its main window (zentar-demo.png unless PATH is given) and
// quits, and never waits for a dialog; --stay keeps it running. On a display
// it stays open. An unknown option prints the usage and exits with status 2.
#include "DemoCustomization.h"
#include "DemoDialogsPage.h"
#include "DemoLinks.h"
#include "DemoLookAndFeel.h"
#include "DemoSafeMode.h"
#include "DemoSlave.h"
#include "DemoSplash.h"
#include "DemoTouchPage.h"
#include "DemoWindow.h"

#include <Zentar/App/AppTest.h>
#include <Zentar/App/Application.h>
#include <Zentar/App/StartupHelpers.h>
#include <Zentar/QtUtil/Version.h>
#include <Zentar/Settings/SettingsManager.h>

#include <QCommandLineParser>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <glog/logging.h>

#include <algorithm>
#include <cstdio>

namespace
{

bool HasDisplay()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// Qt takes the platform from "-platform NAME" (or "--platform") before the
// environment.
bool PlatformChosen(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            return true;
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

// Whatever chose it, a platform that shows nothing to anyone.
bool IsHeadlessPlatform()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

// Nobody can answer a dialog nobody sees: every modal dialog of a headless
// run (the e-mail dialog of a first launch, the test-option help, a question
// of the product) is dismissed as soon as it shows, as if cancelled.
class HeadlessDialogDismisser : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* dialog = qobject_cast<QDialog*>(watched);
            if (dialog && dialog->isModal()) {
                QPointer<QDialog> shown(dialog);
                QTimer::singleShot(0, this, [shown] {
                    if (!shown || !shown->isVisible())
                        return;
                    LOG(WARNING) << "Headless: dismissed the dialog " << shown->metaObject()->className()
                                 << " \"" << shown->windowTitle().toStdString() << "\"";
                    std::printf("dismissed %s\n", shown->metaObject()->className());
                    std::fflush(stdout);
                    shown->reject();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

QString OptionSyntax(const QCommandLineOption& option)
{
    QStringList names;
    for (const QString& name : option.names())
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    QString syntax = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        syntax += QStringLiteral(" <") + option.valueName() + QLatin1Char('>');
    return syntax;
}

// Qt's help, then the library's options under a heading of their own.
QString HelpText(const QCommandLineParser& parser, const QList<QCommandLineOption>& libraryOptions)
{
    int width = 0;
    for (const QCommandLineOption& option : libraryOptions)
        width = std::max(width, int(OptionSyntax(option).size()));
    QString text = parser.helpText();
    text += QStringLiteral("\nTest options (handled by the Zentar App library):\n");
    for (const QCommandLineOption& option : libraryOptions) {
        text += QStringLiteral("  ") + OptionSyntax(option).leftJustified(width + 2) + option.description();
        if (!option.defaultValues().isEmpty())
            text += QStringLiteral(" (default: ") + option.defaultValues().join(QLatin1Char(','))
                + QLatin1Char(')');
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (!HasDisplay() && !PlatformChosen(argc, argv))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    Zentar::App::HighDpiFix();
    Zentar::App::Application app(argc, argv);
    const bool headless = IsHeadlessPlatform();
    HeadlessDialogDismisser dismisser;
    if (headless)
        app.installEventFilter(&dismisser);

    // For --version and the help, before logging is set up.
    auto customization = std::make_shared<DemoCustomization>();
    QCoreApplication::setApplicationName(QString::fromStdString(customization->GetApplicationName()));
    QCoreApplication::setApplicationVersion(Zentar::Util::VersionToString(
        customization->GetVersion(), Zentar::Util::VersionFormat_MajorMinorPatch, QStringLiteral(".")));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Zentar Demo: a product built on the Zentar App library."));
    const QCommandLineOption helpOption(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption(
        { QStringLiteral("v"), QStringLiteral("version") }, QStringLiteral("Show the version and exit."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
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
    const QCommandLineOption testerOption(QStringLiteral("test-pseudo-language"),
        QStringLiteral(
            "Offer the pseudo-language en_XA, and each language's translated share, in the Language menu."));
    parser.addOption(testerOption);
    // Known, so that they are not unknown; the library handles them itself.
    const QList<QCommandLineOption> libraryOptions = Zentar::App::AppTest::Options();
    for (QCommandLineOption option : libraryOptions) {
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    if (!parser.parse(app.arguments())) {
        std::fprintf(
            stderr, "%s\n\n%s", qPrintable(parser.errorText()), qPrintable(HelpText(parser, libraryOptions)));
        return 2;
    }
    if (parser.isSet(helpOption)) {
        std::printf("%s", qPrintable(HelpText(parser, libraryOptions)));
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
            qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }

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
        parser.value(themeOption).toStdString(), QString(), parser.isSet(testerOption));
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
