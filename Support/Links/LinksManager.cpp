#include <Zentar/Links/LinksManager.h>

#include <Zentar/Interfaces/ICustomizationManager.h>
#include <Zentar/Interfaces/ILookAndFeelManager.h>
#include <Zentar/QtUtil/Utf8.h>
#include <Zentar/Settings/ISettingsManager.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QUrl>

#include <glog/logging.h>

#include <map>

namespace Zentar::Links
{

namespace
{

QMutex defaultTableMutex;
QString defaultTableFile;

// URLs of one key by language tag ("default", "de", "de_DE").
using LocalizedUrls = QHash<QString, QString>;

std::map<int, LocalizedUrls> ReadTable(const QString& path)
{
    std::map<int, LocalizedUrls> table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        LOG(WARNING) << "No links table at " << Util::QStringToUtf8(path) << ": every link is empty";
        return table;
    }
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()
        || !document.object().value(QLatin1String("links")).isObject()) {
        LOG(ERROR) << "Links table " << Util::QStringToUtf8(path) << " is malformed ("
                   << (error.error != QJsonParseError::NoError
                              ? Util::QStringToUtf8(error.errorString()) + " at offset "
                                  + std::to_string(error.offset)
                              : std::string("expected an object with a \"links\" object"))
                   << "): every link is empty";
        return table;
    }

    const QJsonObject links = document.object().value(QLatin1String("links")).toObject();
    for (auto it = links.begin(); it != links.end(); ++it) {
        const std::string name = Util::QStringToUtf8(it.key());
        const auto key = URLKeyFromName(name);
        if (!key) {
            LOG(WARNING) << "Links table " << Util::QStringToUtf8(path) << ": unknown link " << name
                         << " skipped";
            continue;
        }
        LocalizedUrls urls;
        if (it.value().isString()) {
            urls.insert(QStringLiteral("default"), it.value().toString());
        } else if (it.value().isObject()) {
            const QJsonObject byLanguage = it.value().toObject();
            for (auto language = byLanguage.begin(); language != byLanguage.end(); ++language) {
                if (language.value().isString())
                    urls.insert(language.key(), language.value().toString());
                else
                    LOG(WARNING) << "Links table " << Util::QStringToUtf8(path) << ": " << name << "/"
                                 << Util::QStringToUtf8(language.key()) << " is not a string, skipped";
            }
        } else {
            LOG(WARNING) << "Links table " << Util::QStringToUtf8(path) << ": " << name
                         << " is neither a URL nor URLs by language, skipped";
            continue;
        }
        table[static_cast<int>(*key)] = urls;
    }
    return table;
}

QString VersionText(const Core::Version& version)
{
    return QStringLiteral("%1.%2.%3").arg(version.major).arg(version.minor).arg(version.patch);
}

QString Encoded(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

struct LinksManager::Private {
    std::shared_ptr<App::ICustomizationManager> customization;
    std::shared_ptr<App::ILookAndFeelManager> lookAndFeel;
    std::shared_ptr<App::ISettingsManager> mailSettings;
    std::shared_ptr<App::ISettingsManager> installerSettings;
    QString tableFile;
    std::map<int, LocalizedUrls> table;

    QString Placeholder(const QString& name, const QString& locale) const;
};

QString LinksManager::Private::Placeholder(const QString& name, const QString& locale) const
{
    if (name == QLatin1String("locale"))
        return locale;
    if (name == QLatin1String("language"))
        return locale.section(QLatin1Char('_'), 0, 0);
    if (name == QLatin1String("productId"))
        return Util::Utf8ToQString(customization->GetProductId());
    if (name == QLatin1String("module"))
        return Util::Utf8ToQString(customization->GetModuleName());
    if (name == QLatin1String("installerProduct"))
        return Util::Utf8ToQString(customization->GetInstallerProductName());
    if (name == QLatin1String("version"))
        return VersionText(customization->GetVersion());
    if (name == QLatin1String("build"))
        return QString::number(customization->GetVersion().build);
    if (name == QLatin1String("registered"))
        return mailSettings->GetString("IsRegUser", "") == "1" ? QStringLiteral("1") : QStringLiteral("0");
    if (name == QLatin1String("installer"))
        return installerSettings ? Util::Utf8ToQString(installerSettings->GetString("InstallerName", ""))
                                 : QString();
    return QString();
}

LinksManager::LinksManager(NotNull<std::shared_ptr<App::ICustomizationManager>> customization,
    NotNull<std::shared_ptr<App::ILookAndFeelManager>> lookAndFeel,
    NotNull<std::shared_ptr<App::ISettingsManager>> mailSettings,
    std::shared_ptr<App::ISettingsManager> installerSettings)
    : LinksManager(std::move(customization), std::move(lookAndFeel), std::move(mailSettings),
        std::move(installerSettings), DefaultTableFile())
{
}

LinksManager::LinksManager(NotNull<std::shared_ptr<App::ICustomizationManager>> customization,
    NotNull<std::shared_ptr<App::ILookAndFeelManager>> lookAndFeel,
    NotNull<std::shared_ptr<App::ISettingsManager>> mailSettings,
    std::shared_ptr<App::ISettingsManager> installerSettings, const QString& tableFile)
    : d(std::make_unique<Private>())
{
    d->customization = customization.Get();
    d->lookAndFeel = lookAndFeel.Get();
    d->mailSettings = mailSettings.Get();
    d->installerSettings = std::move(installerSettings);
    d->tableFile = tableFile;
    d->table = ReadTable(tableFile);
}

LinksManager::~LinksManager() = default;

QString LinksManager::GetUrl(URLKeys key) const
{
    const auto entry = d->table.find(static_cast<int>(key));
    if (entry == d->table.end())
        return QString();

    const QString locale = Util::Utf8ToQString(d->lookAndFeel->GetCurrentLocale());
    const LocalizedUrls& urls = entry->second;
    QString url = urls.value(locale);
    if (url.isEmpty())
        url = urls.value(locale.section(QLatin1Char('_'), 0, 0));
    if (url.isEmpty())
        url = urls.value(QStringLiteral("default"));

    static const QStringList kKnown = {
        QStringLiteral("locale"),
        QStringLiteral("language"),
        QStringLiteral("productId"),
        QStringLiteral("module"),
        QStringLiteral("installerProduct"),
        QStringLiteral("version"),
        QStringLiteral("build"),
        QStringLiteral("registered"),
        QStringLiteral("installer"),
    };
    QString result;
    result.reserve(url.size());
    int from = 0;
    while (from < url.size()) {
        const int open = url.indexOf(QLatin1Char('{'), from);
        const int close = open < 0 ? -1 : url.indexOf(QLatin1Char('}'), open);
        if (close < 0) {
            result += url.midRef(from);
            break;
        }
        const QString name = url.mid(open + 1, close - open - 1);
        result += url.midRef(from, open - from);
        if (kKnown.contains(name))
            result += Encoded(d->Placeholder(name, locale));
        else
            result += url.midRef(open, close - open + 1);
        from = close + 1;
    }
    return result;
}

void LinksManager::OpenUrl(const QString& url)
{
    const QUrl target(url, QUrl::TolerantMode);
    if (url.isEmpty() || !target.isValid()) {
        LOG(WARNING) << "Cannot open the link [" << Util::QStringToUtf8(url) << "]: not a valid URL";
        return;
    }
    if (!QDesktopServices::openUrl(target))
        LOG(WARNING) << "Nothing could open the link [" << Util::QStringToUtf8(url) << "]";
}

QString LinksManager::TableFile() const
{
    return d->tableFile;
}

QString LinksManager::DefaultTableFile()
{
    {
        QMutexLocker lock(&defaultTableMutex);
        if (!defaultTableFile.isEmpty())
            return defaultTableFile;
    }
    const QString resource = QStringLiteral(":/links.json");
    if (QFile::exists(resource))
        return resource;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("links.json"));
}

void LinksManager::SetDefaultTableFile(const QString& path)
{
    QMutexLocker lock(&defaultTableMutex);
    defaultTableFile = path;
}

} // namespace Zentar::Links
