#pragma once

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include <Zentar/Interfaces/ILookAndFeelManager.h>

namespace Zentar::App
{
struct StyleSheetComposition;
}

// Checks the theme sources laid out as zentar_add_themes reads them: each
// stylesheet is composed for every language by the code the product runs, and
// what would silently go wrong there is reported as "file:line: error: ...".
class ThemeChecker
{
public:
    struct Options {
        QString sourceDir;
        QString sharedDir;
        QString descriptionFile;
        QStringList languages;
        QStringList pseudoLanguages;
        QStringList modules;
    };

    explicit ThemeChecker(Options options);

    void Run();
    // In the order found, each once; a message that holds for some of the
    // languages only names them.
    QStringList Messages() const;
    int Errors() const { return m_errors; }
    int Warnings() const { return m_warnings; }

private:
    struct Definition {
        QString file;
        int line = 0;
    };
    struct Theme {
        QString name;
        QString dir;
        QStringList packs;
        // Variable name -> where the last variable file defining it does.
        QMap<QString, Definition> definitions;
        // Every definition, for the unused-variable warning.
        QList<QPair<QString, Definition>> allDefinitions;
        QSet<QString> used;
    };

    void CheckTheme(const QString& name, const QString& dir);
    void CheckDescription(const QString& path);
    void CheckVariableFile(Theme& theme, const QString& path);
    void CheckFontManifest(const Theme& theme, const QString& pack, const QString& path);
    void CheckComposition(Theme& theme, const QString& language);
    void CheckParse(const Zentar::App::StyleSheetComposition& composition, const QString& language);
    QString Locate(const Theme& theme, const QString& pack, const QString& file) const;

    void Report(bool error, const QString& file, int line, const QString& text, const QString& language = {});

    Options m_options;
    QStringList m_composedLanguages;
    struct Message {
        bool error = false;
        QString location;
        QString text;
        QStringList languages;
    };
    QList<Message> m_messages;
    int m_errors = 0;
    int m_warnings = 0;
};
