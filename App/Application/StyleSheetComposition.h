#pragma once

// How a theme's stylesheet is composed. LookAndFeelManager composes with it at
// run time and zentar-theme-check at build time, so that the checker sees
// exactly the text the product will apply. Exported for that tool; not part of
// the product interface.

#include <Zentar/App/ZentarAppExport.h>
#include <Zentar/Interfaces/ILookAndFeelManager.h>

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace Zentar::App
{

// The platform whose variable sections and font sheets are used, whatever
// system the product runs on.
ZENTAR_APP_EXPORT QString StyleSheetPlatform();

// In characters. Values may name other variables, so a few lines of
// variables can multiply the stylesheet geometrically; real sheets stay far
// below this, runaway ones would not stop before memory runs out.
constexpr qint64 kMaxStyleSheetLength = qint64(64) << 20;

// The description of a theme made of `packs` (base names, in module order):
// each pack's style.qss, fonts_<platform>.qss, fonts.json and fonts.manifest,
// then the two stylesheets of the library. `locate(pack, file)` gives the
// path of a pack's file (":/<pack>/<file>" once the pack is registered).
ZENTAR_APP_EXPORT ILookAndFeelManager::ThemeDescription DescribeThemePacks(
    const QStringList& packs, const std::function<QString(const QString& pack, const QString& file)>& locate);

struct StyleSheetComposition {
    // One stylesheet file of the description, where its text begins in
    // `unfilled`; `read` is false for a file that could not be opened.
    struct Part {
        QString path;
        int start = 0;
        bool read = false;
    };
    QVector<Part> parts;
    // The stylesheets joined, each followed by a line feed, before the
    // variables are filled in.
    QString unfilled;
    // The united stylesheet.
    QString text;
    // Placeholder ("@name") -> value, in the order they are filled in.
    QMap<QString, QString> variables;
    // Placeholders left in place because filling them would pass
    // kMaxStyleSheetLength.
    QStringList unreplaced;
};

// Placeholder -> value from the variable files, for `locale`: later files
// over earlier ones, the platform section over "all_platforms", the language
// over "all_languages". Unreadable files and malformed JSON give nothing.
ZENTAR_APP_EXPORT QMap<QString, QString> ReadStyleSheetVariables(
    const std::list<std::string>& variableFiles, const QString& locale);

// Fills the placeholders in ascending order (so one that begins another is
// filled first, also inside the longer one). Returns those left in place.
ZENTAR_APP_EXPORT QStringList FillStyleSheetVariables(QString& text, const QMap<QString, QString>& variables);

// The whole composition: variables, then each white-space-separated entry of
// the font manifests handed to `addFont`, then the stylesheets joined and
// filled in.
ZENTAR_APP_EXPORT StyleSheetComposition ComposeStyleSheet(
    const ILookAndFeelManager::ThemeDescription& description, const QString& locale,
    const std::function<void(const QString& fontPath)>& addFont);

} // namespace Zentar::App
