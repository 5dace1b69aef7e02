#include "ThemeChecker.h"

#include "Application/StyleSheetComposition.h"

#include <Zentar/Core/Exception.h>
#include <Zentar/Core/Property.h>
#include <Zentar/Core/PropertySerializer.h>
#include <Zentar/QtUtil/Utf8.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QWidget>

#include <algorithm>

using Zentar::App::StyleSheetComposition;

namespace
{

const QRegularExpression& PlaceholderPattern()
{
    static const QRegularExpression pattern(QStringLiteral("@([A-Za-z_][A-Za-z0-9_-]*)"));
    return pattern;
}

QByteArray ReadFile(const QString& path, bool* ok = nullptr)
{
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (ok)
        *ok = opened;
    return opened ? file.readAll() : QByteArray();
}

int LineAt(const QString& text, int offset)
{
    return 1 + text.leftRef(offset).count(QLatin1Char('\n'));
}

int LineAtBytes(const QByteArray& text, int offset)
{
    return 1
        + static_cast<int>(std::count(text.begin(), text.begin() + std::min(offset, int(text.size())), '\n'));
}

// The text with every /* comment */ blanked out, line feeds kept, so that
// offsets stay those of the original.
QString WithoutComments(const QString& text)
{
    QString result = text;
    int from = 0;
    while ((from = result.indexOf(QLatin1String("/*"), from)) >= 0) {
        int end = result.indexOf(QLatin1String("*/"), from + 2);
        end = end < 0 ? result.size() : end + 2;
        for (int i = from; i < end; ++i)
            if (result[i] != QLatin1Char('\n'))
                result[i] = QLatin1Char(' ');
        from = end;
    }
    return result;
}

// Offset of `"key"` followed by a colon, at or after `from`; -1 if absent.
int KeyOffset(const QByteArray& json, const QString& key, int from)
{
    const QByteArray quoted = '"' + key.toUtf8() + '"';
    for (int at = json.indexOf(quoted, from); at >= 0; at = json.indexOf(quoted, at + 1)) {
        int next = at + quoted.size();
        while (next < json.size() && QChar::isSpace(json[next]))
            ++next;
        if (next < json.size() && json[next] == ':')
            return at;
    }
    return -1;
}

QStringList SubFolders(const QString& dir)
{
    QStringList names = QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    names.erase(std::remove_if(names.begin(), names.end(),
                    [](const QString& n) { return n.startsWith(QLatin1Char('.')); }),
        names.end());
    return names;
}

// Qt parses a stylesheet when it styles a widget; a text it refuses it
// ignores whole, with a "Could not parse" warning.
int g_parseFailures = 0;
QtMessageHandler g_previousHandler = nullptr;

void CountParseFailures(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("Could not parse")))
        ++g_parseFailures;
    else if (g_previousHandler)
        g_previousHandler(type, context, message);
}

bool QtParses(const QString& styleSheet)
{
    g_parseFailures = 0;
    g_previousHandler = qInstallMessageHandler(CountParseFailures);
    qApp->setStyleSheet(styleSheet);
    {
        QWidget widget;
        widget.ensurePolished();
    }
    qApp->setStyleSheet(QString());
    qInstallMessageHandler(g_previousHandler);
    return g_parseFailures == 0;
}

} // namespace

ThemeChecker::ThemeChecker(Options options)
    : m_options(std::move(options))
{
    m_composedLanguages = m_options.languages + m_options.pseudoLanguages;
    if (m_composedLanguages.isEmpty())
        m_composedLanguages << QString();
}

void ThemeChecker::Run()
{
    const QString shared
        = m_options.sharedDir.isEmpty() ? QString() : QFileInfo(m_options.sharedDir).absoluteFilePath();
    const QDir source(m_options.sourceDir);
    if (!source.exists()) {
        Report(true, m_options.sourceDir, 0, QStringLiteral("no such folder of themes"));
        return;
    }
    for (const QString& name : SubFolders(source.path())) {
        const QString dir = QFileInfo(source.filePath(name)).absoluteFilePath();
        if (dir == shared)
            continue;
        CheckTheme(name, dir);
    }
    if (!shared.isEmpty())
        for (const QString& pack : SubFolders(shared))
            if (pack.contains(QLatin1Char('.')))
                Report(true, QDir(shared).filePath(pack), 0,
                    QStringLiteral("the pack folder's name has a dot; the product reads names only up to the "
                                   "first dot"));
}

void ThemeChecker::CheckTheme(const QString& name, const QString& dir)
{
    const QString description = QDir(dir).filePath(m_options.descriptionFile);
    if (!QFileInfo(description).isFile())
        return; // not a theme; the build says so
    if (name.contains(QLatin1Char('.')))
        Report(true, dir, 0,
            QStringLiteral("the theme folder's name has a dot; the product would offer it as \"%1\"")
                .arg(name.section(QLatin1Char('.'), 0, 0)));
    CheckDescription(description);

    Theme theme;
    theme.name = name;
    theme.dir = dir;
    // A pack is a folder of the theme; the shared folder only adds files to it.
    QStringList packs = SubFolders(dir);
    for (const QString& pack : packs)
        if (pack.contains(QLatin1Char('.')))
            Report(true, QDir(dir).filePath(pack), 0,
                QStringLiteral(
                    "the pack folder's name has a dot; its files would be looked up under \":/%1/\"")
                    .arg(pack.section(QLatin1Char('.'), 0, 0)));
    if (m_options.modules.isEmpty()) {
        // As the product lists the packs of a theme: by name, ignoring case.
        std::sort(packs.begin(), packs.end(),
            [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        theme.packs = packs;
    } else {
        for (const QString& module : m_options.modules)
            if (packs.contains(module))
                theme.packs << module;
    }

    for (const QString& pack : theme.packs) {
        CheckVariableFile(theme, Locate(theme, pack, QStringLiteral("fonts.json")));
        CheckFontManifest(theme, pack, Locate(theme, pack, QStringLiteral("fonts.manifest")));
    }
    for (const QString& language : m_composedLanguages)
        CheckComposition(theme, language);

    QSet<QString> warned;
    for (const auto& [variable, where] : theme.allDefinitions) {
        if (theme.used.contains(variable) || warned.contains(where.file + variable))
            continue;
        warned.insert(where.file + variable);
        Report(false, where.file, where.line,
            QStringLiteral("variable \"%1\" is defined but no stylesheet uses @%1").arg(variable));
    }
}

void ThemeChecker::CheckDescription(const QString& path)
{
    const QByteArray bytes = ReadFile(path);
    Zentar::Core::Property description("");
    try {
        // What the product reads the description with.
        Zentar::Core::PropertySerializer::DeserializeText(description, bytes.toStdString(), true);
    } catch (const Zentar::Exception& e) {
        const QString what = Zentar::Util::Utf8ToQString(e.what());
        const auto line = QRegularExpression(QStringLiteral("line (\\d+)")).match(what);
        Report(true, path, line.hasMatch() ? line.captured(1).toInt() : 1, what);
        return;
    }
    for (const QString& language : m_options.languages)
        if (!description.ChildExists(Zentar::Util::QStringToUtf8(language)))
            Report(false, path, 1,
                QStringLiteral("no title for %1: the menu shows the folder's name instead").arg(language));
}

void ThemeChecker::CheckVariableFile(Theme& theme, const QString& path)
{
    bool exists = false;
    const QByteArray json = ReadFile(path, &exists);
    if (!exists)
        return;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        Report(true, path, LineAtBytes(json, error.offset),
            QStringLiteral("not valid JSON (%1); the product would take no variables from it")
                .arg(error.errorString()));
        return;
    }
    if (!document.isObject()) {
        Report(true, path, 1,
            QStringLiteral("the top level is not an object; the product takes no variables from it"));
        return;
    }
    const QString platform = Zentar::App::StyleSheetPlatform();
    const QJsonObject root = document.object();
    for (auto section = root.begin(); section != root.end(); ++section) {
        const int sectionAt = KeyOffset(json, section.key(), 0);
        if (section.key() != QLatin1String("all_platforms") && section.key() != platform) {
            Report(false, path, LineAtBytes(json, sectionAt),
                QStringLiteral(
                    "section \"%1\" is never used: on every system the product reads \"all_platforms\" "
                    "and \"%2\"")
                    .arg(section.key(), platform));
            continue;
        }
        const QJsonObject languages = section.value().toObject();
        for (auto language = languages.begin(); language != languages.end(); ++language) {
            const int languageAt = KeyOffset(json, language.key(), sectionAt);
            if (language.key() != QLatin1String("all_languages") && !m_options.languages.isEmpty()
                && !m_options.languages.contains(language.key())
                && !m_options.pseudoLanguages.contains(language.key()))
                Report(false, path, LineAtBytes(json, languageAt),
                    QStringLiteral("section \"%1\" is for a language the product does not ship (%2)")
                        .arg(language.key(), m_options.languages.join(QLatin1String(", "))));
            const QJsonObject variables = language.value().toObject();
            for (auto variable = variables.begin(); variable != variables.end(); ++variable) {
                const Definition where { path,
                    LineAtBytes(json, KeyOffset(json, variable.key(), languageAt)) };
                theme.definitions[variable.key()] = where;
                theme.allDefinitions.append({ variable.key(), where });
            }
        }
    }
}

void ThemeChecker::CheckFontManifest(const Theme& theme, const QString& pack, const QString& path)
{
    bool exists = false;
    const QString text = QString::fromUtf8(ReadFile(path, &exists));
    if (!exists)
        return;
    static const QRegularExpression token(QStringLiteral("\\S+"));
    for (auto it = token.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        const QString font = match.captured();
        if (!font.startsWith(QLatin1String(":/")))
            continue; // a path on the user's machine, which the build cannot see
        const QString inPack = font.mid(2).section(QLatin1Char('/'), 1);
        const QString fontPack = font.mid(2).section(QLatin1Char('/'), 0, 0);
        if (!theme.packs.contains(fontPack) || !QFileInfo(Locate(theme, fontPack, inPack)).isFile())
            Report(true, path, LineAt(text, match.capturedStart()),
                QStringLiteral("font file %1 is not in the pack%2; the product would skip it")
                    .arg(font, fontPack == pack ? QString() : QStringLiteral(" \"%1\"").arg(fontPack)));
    }
}

void ThemeChecker::CheckComposition(Theme& theme, const QString& language)
{
    const auto description = Zentar::App::DescribeThemePacks(theme.packs,
        [this, &theme](const QString& pack, const QString& file) { return Locate(theme, pack, file); });
    const StyleSheetComposition composition
        = Zentar::App::ComposeStyleSheet(description, language, [](const QString&) {});
    const auto& variables = composition.variables;
    const auto where
        = [&theme](const QString& placeholder) { return theme.definitions.value(placeholder.mid(1)); };

    // The map is ordered, so the names that begin with a name follow it.
    for (auto it = variables.cbegin(); it != variables.cend(); ++it)
        for (auto longer = std::next(it); longer != variables.cend() && longer.key().startsWith(it.key());
             ++longer)
            Report(true, where(longer.key()).file, where(longer.key()).line,
                QStringLiteral(
                    "variable \"%1\" begins with the name of variable \"%2\", which is filled in first: "
                    "%3 would become the value of %4 followed by \"%5\"; rename one of them")
                    .arg(longer.key().mid(1), it.key().mid(1), longer.key(), it.key(),
                        longer.key().mid(it.key().size())),
                language);

    for (auto it = variables.cbegin(); it != variables.cend(); ++it) {
        for (auto match = PlaceholderPattern().globalMatch(it.value()); match.hasNext();) {
            const QString used = match.next().captured();
            theme.used.insert(used.mid(1));
            if (!variables.contains(used))
                Report(true, where(it.key()).file, where(it.key()).line,
                    QStringLiteral("the value of \"%1\" names %2, which no variable file defines")
                        .arg(it.key().mid(1), used),
                    language);
            else if (used <= it.key())
                Report(true, where(it.key()).file, where(it.key()).line,
                    QStringLiteral(
                        "the value of \"%1\" names %2, which is filled in before it and would stay "
                        "as it is; only variables that sort after it can be named")
                        .arg(it.key().mid(1), used),
                    language);
        }
    }

    const QString code = WithoutComments(composition.unfilled);
    for (const auto& part : composition.parts) {
        const int end = &part == &composition.parts.constLast() ? code.size() : (&part + 1)->start;
        for (auto match = PlaceholderPattern().globalMatch(code.mid(part.start, end - part.start));
             match.hasNext();) {
            const auto found = match.next();
            const QString used = found.captured();
            theme.used.insert(used.mid(1));
            if (variables.contains(used))
                continue;
            QString filledWrongly;
            for (auto it = variables.cbegin(); it != variables.cend(); ++it)
                if (used.startsWith(it.key()))
                    filledWrongly
                        = QStringLiteral(" (its beginning %1 is, so it would become that value followed "
                                         "by \"%2\")")
                              .arg(it.key(), used.mid(it.key().size()));
            Report(true, part.path, LineAt(composition.unfilled.mid(part.start), found.capturedStart()),
                QStringLiteral("%1 is not defined by any variable file%2; Qt would drop the declaration")
                    .arg(used, filledWrongly),
                language);
        }
    }

    if (!composition.unreplaced.isEmpty())
        Report(true, theme.dir, 0,
            QStringLiteral(
                "filling in %1 would grow the stylesheet past %2 characters; the product leaves them "
                "as they are")
                .arg(composition.unreplaced.join(QLatin1String(", ")))
                .arg(Zentar::App::kMaxStyleSheetLength),
            language);

    CheckParse(composition, language);
}

void ThemeChecker::CheckParse(const StyleSheetComposition& composition, const QString& language)
{
    if (QtParses(composition.text))
        return;
    // Find the rule from which Qt refuses the text: the ends of the top-level
    // rules, and the first prefix that fails.
    const QString code = WithoutComments(composition.unfilled);
    QList<int> ends;
    int depth = 0;
    int part = 1;
    for (int i = 0; i < code.size(); ++i) {
        if (part < composition.parts.size() && i == composition.parts[part].start) {
            ends << i;
            ++part;
        }
        if (code[i] == QLatin1Char('{'))
            ++depth;
        else if (code[i] == QLatin1Char('}') && --depth <= 0) {
            depth = 0;
            ends << i + 1;
        }
    }
    ends << code.size();
    int low = 0;
    int high = ends.size() - 1;
    while (low < high) {
        const int middle = (low + high) / 2;
        QString prefix = composition.unfilled.left(ends[middle]);
        Zentar::App::FillStyleSheetVariables(prefix, composition.variables);
        if (QtParses(prefix))
            low = middle + 1;
        else
            high = middle;
    }
    int from = low == 0 ? 0 : ends[low - 1];
    while (from < code.size() && code[from].isSpace())
        ++from;
    auto where = composition.parts.cbegin();
    for (auto it = composition.parts.cbegin(); it != composition.parts.cend(); ++it)
        if (it->start <= from)
            where = it;
    Report(true, where->path, LineAt(composition.unfilled.mid(where->start), from - where->start),
        QStringLiteral(
            "Qt cannot parse the stylesheet from this rule on, and would ignore the whole composed "
            "stylesheet"),
        language);
}

QString ThemeChecker::Locate(const Theme& theme, const QString& pack, const QString& file) const
{
    const QString own = QDir(theme.dir).filePath(pack + QLatin1Char('/') + file);
    if (m_options.sharedDir.isEmpty() || QFileInfo::exists(own))
        return own;
    const QString shared = QDir(m_options.sharedDir).filePath(pack + QLatin1Char('/') + file);
    return QFileInfo::exists(shared) ? QFileInfo(shared).absoluteFilePath() : own;
}

void ThemeChecker::Report(
    bool error, const QString& file, int line, const QString& text, const QString& language)
{
    const QString location = line > 0 ? QStringLiteral("%1:%2").arg(file).arg(line) : file;
    for (Message& message : m_messages) {
        if (message.error == error && message.location == location && message.text == text) {
            if (!language.isEmpty() && !message.languages.contains(language))
                message.languages << language;
            return;
        }
    }
    m_messages.append(
        { error, location, text, language.isEmpty() ? QStringList() : QStringList { language } });
    ++(error ? m_errors : m_warnings);
}

QStringList ThemeChecker::Messages() const
{
    QStringList lines;
    for (const Message& message : m_messages) {
        QString line
            = QStringLiteral("%1: %2: %3")
                  .arg(message.location, message.error ? QStringLiteral("error") : QStringLiteral("warning"),
                      message.text);
        if (!message.languages.isEmpty() && message.languages.size() < m_composedLanguages.size())
            line += QStringLiteral(" [%1]").arg(message.languages.join(QLatin1String(", ")));
        lines << line;
    }
    return lines;
}
