// zentar-theme-check: finds, at build time, the theme mistakes that the
// product would otherwise ship silently. See docs/themes.md.
#include "ThemeChecker.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    // The stylesheets are parsed by applying them to a widget that is never shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own remarks (a missing runtime folder, fonts) say nothing about the
    // themes; the checker's findings are its only output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Checks the theme sources of a product."));
    parser.addHelpOption();
    const QCommandLineOption description(QStringLiteral("description"),
        QStringLiteral("Name of the theme description file (default theme.json)."), QStringLiteral("name"),
        QStringLiteral("theme.json"));
    const QCommandLineOption shared(QStringLiteral("shared"),
        QStringLiteral("Folder of files that every theme's pack of that name gets."), QStringLiteral("dir"));
    const QCommandLineOption languages(QStringLiteral("languages"),
        QStringLiteral("Languages the product ships, separated by commas."), QStringLiteral("ids"));
    const QCommandLineOption pseudo(QStringLiteral("pseudo-languages"),
        QStringLiteral("Pseudo-languages the product builds for testers, separated by commas."),
        QStringLiteral("ids"));
    const QCommandLineOption modules(QStringLiteral("modules"),
        QStringLiteral("The product's module names in order, separated by commas (default: every pack, "
                       "alphabetically)."),
        QStringLiteral("names"));
    const QCommandLineOption warningsAsErrors(
        QStringLiteral("warnings-as-errors"), QStringLiteral("Fail on warnings too."));
    const QCommandLineOption stamp(QStringLiteral("stamp"),
        QStringLiteral("File to write when the check passes."), QStringLiteral("file"));
    parser.addOptions({ description, shared, languages, pseudo, modules, warningsAsErrors, stamp });
    parser.addPositionalArgument(
        QStringLiteral("source-dir"), QStringLiteral("Folder of one folder per theme."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "zentar-theme-check: give one folder of themes\n");
        return 2;
    }

    const auto list = [&parser](const QCommandLineOption& option) {
        return parser.value(option).split(QLatin1Char(','), Qt::SkipEmptyParts);
    };
    ThemeChecker::Options options;
    options.sourceDir = parser.positionalArguments().constFirst();
    options.sharedDir = parser.value(shared);
    options.descriptionFile = parser.value(description);
    options.languages = list(languages);
    options.pseudoLanguages = list(pseudo);
    options.modules = list(modules);

    ThemeChecker checker(options);
    checker.Run();
    for (const QString& line : checker.Messages())
        std::fprintf(stderr, "%s\n", qPrintable(line));
    const bool failed = checker.Errors() > 0 || (parser.isSet(warningsAsErrors) && checker.Warnings() > 0);
    if (failed) {
        std::fprintf(stderr, "zentar-theme-check: %d error(s), %d warning(s)%s\n", checker.Errors(),
            checker.Warnings(), checker.Errors() == 0 ? " (warnings are errors)" : "");
        return 1;
    }
    if (parser.isSet(stamp)) {
        QFile file(parser.value(stamp));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "zentar-theme-check: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
