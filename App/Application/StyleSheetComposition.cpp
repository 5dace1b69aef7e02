#include "StyleSheetComposition.h"

#include <Zentar/QtUtil/Utf8.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QVariantMap>

namespace Zentar::App
{

QString StyleSheetPlatform()
{
    return QStringLiteral("win");
}

ILookAndFeelManager::ThemeDescription DescribeThemePacks(
    const QStringList& packs, const std::function<QString(const QString& pack, const QString& file)>& locate)
{
    const QString platform = StyleSheetPlatform();
    ILookAndFeelManager::ThemeDescription description;
    for (const QString& pack : packs) {
        description.styleSheets.push_back(Util::QStringToUtf8(locate(pack, QStringLiteral("style.qss"))));
        description.styleSheets.push_back(
            Util::QStringToUtf8(locate(pack, QLatin1String("fonts_") + platform + QLatin1String(".qss"))));
        description.variableFiles.push_back(Util::QStringToUtf8(locate(pack, QStringLiteral("fonts.json"))));
        description.fontManifests.push_back(
            Util::QStringToUtf8(locate(pack, QStringLiteral("fonts.manifest"))));
    }
    description.styleSheets.push_back(":/productStyle.qss");
    description.styleSheets.push_back(":/productStyle_" + Util::QStringToUtf8(platform) + ".qss");
    return description;
}

QMap<QString, QString> ReadStyleSheetVariables(
    const std::list<std::string>& variableFiles, const QString& locale)
{
    QMap<QString, QString> variables;
    const auto merge = [&variables](const QVariant& values) {
        // QVariantMap iterates in ascending key order.
        const QVariantMap map = values.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            variables[QLatin1Char('@') + it.key()] = it.value().toString();
    };
    for (const std::string& path : variableFiles) {
        QFile file(Util::Utf8ToQString(path));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        const QVariantMap root = QJsonDocument::fromJson(file.readAll()).object().toVariantMap();
        for (const QString& section : { QStringLiteral("all_platforms"), StyleSheetPlatform() }) {
            const auto found = root.constFind(section);
            if (found == root.cend())
                continue;
            const QVariantMap languages = found->toMap();
            for (const QString& language : { QStringLiteral("all_languages"), locale }) {
                const auto values = languages.constFind(language);
                if (values != languages.cend())
                    merge(*values);
            }
        }
    }
    return variables;
}

QStringList FillStyleSheetVariables(QString& text, const QMap<QString, QString>& variables)
{
    QStringList unreplaced;
    for (auto it = variables.cbegin(); it != variables.cend(); ++it) {
        const qint64 growth = static_cast<qint64>(it.value().size()) - it.key().size();
        if (growth > 0
            && text.size() + growth * text.count(it.key(), Qt::CaseSensitive) > kMaxStyleSheetLength) {
            unreplaced << it.key();
            continue;
        }
        text.replace(it.key(), it.value(), Qt::CaseSensitive);
    }
    return unreplaced;
}

StyleSheetComposition ComposeStyleSheet(const ILookAndFeelManager::ThemeDescription& description,
    const QString& locale, const std::function<void(const QString& fontPath)>& addFont)
{
    StyleSheetComposition result;
    result.variables = ReadStyleSheetVariables(description.variableFiles, locale);

    for (const std::string& path : description.fontManifests) {
        QFile file(Util::Utf8ToQString(path));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        QTextStream stream(&file);
        while (!stream.atEnd()) {
            QString fontPath;
            stream >> fontPath;
            addFont(fontPath);
        }
    }

    for (const std::string& path : description.styleSheets) {
        StyleSheetComposition::Part part;
        part.path = Util::Utf8ToQString(path);
        part.start = result.unfilled.size();
        QFile file(part.path);
        part.read = file.open(QIODevice::ReadOnly | QIODevice::Text);
        if (part.read)
            result.unfilled += QString::fromUtf8(file.readAll());
        result.unfilled += QLatin1Char('\n');
        result.parts.append(part);
    }

    result.text = result.unfilled;
    result.unreplaced = FillStyleSheetVariables(result.text, result.variables);
    return result;
}

} // namespace Zentar::App
