#include <Zentar/App/LookAndFeelManager.h>

#include "StyleSheetComposition.h"

#include <Zentar/App/Application.h>
#include <Zentar/App/IQssPreprocessor.h>
#include <Zentar/Interfaces/ILookAndFeelObserver.h>

#include <Zentar/Core/EventHandlerList.h>
#include <Zentar/Core/Exception.h>
#include <Zentar/Core/Property.h>
#include <Zentar/Core/PropertySerializer.h>
#include <Zentar/Core/SyncExecutePolicy.h>
#include <Zentar/IO/DataInputString.h>
#include <Zentar/QtUtil/FontDatabase.h>
#include <Zentar/QtUtil/Utf8.h>
#include <Zentar/Settings/ISettingsManager.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPixmapCache>
#include <QResource>
#include <QTranslator>

#include <glog/logging.h>

#include <algorithm>
#include <map>
#include <set>

namespace Zentar::App
{

namespace
{

const std::string kDefaultLocale = "en_US";
const std::string kUnknownLocale = "unknown";

QString ToQString(const Zentar::ioPath& path)
{
    return Util::Utf8ToQString(path.utf8string());
}

QFileInfoList SubDirectories(const QString& path)
{
    // Default sort of QDir: by name, ignoring case.
    return QDir(path).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

struct LookAndFeelManager::Private {
    Zentar::ioPath rootPath;
    std::list<std::string> moduleNames;
    std::string descriptionFileName;
    std::list<std::string> locales;
    std::string currentLocale;
    std::list<std::string> themes;
    std::string currentTheme;
    std::map<std::string, Zentar::Core::Property> themeDescriptions;
    QString unitedStyleSheet;
    std::list<std::shared_ptr<QTranslator>> translators;
    Zentar::Core::EventHandlerList<ILookAndFeelObserver, Zentar::Core::SyncExecutePolicy> observers;
    std::shared_ptr<IQssPreprocessor> qssPreprocessor;
    // Absolute paths of the packs this manager registered and has not
    // unregistered yet; setting the current theme again adds no second root.
    std::set<QString> registeredPacks;

    Zentar::ioPath ThemesPath() const { return rootPath / "resources" / "themes"; }
    Zentar::ioPath LocalesPath() const { return rootPath / "resources" / "locales"; }

    void Discover();
    void ReadDescriptions();
    QFileInfoList GetFilteredResourceList() const;
    void ClearCurrentTheme();
    std::string ValidateLocale(const std::string& requested, const LookAndFeelManager& self) const;
    QFileInfoList TranslationFiles() const;
};

void LookAndFeelManager::Private::Discover()
{
    const QString resources = ToQString(rootPath / "resources");
    for (const QFileInfo& entry : SubDirectories(resources)) {
        const QString base = entry.baseName();
        if (base == QLatin1String("locales")) {
            for (const QFileInfo& locale : SubDirectories(entry.absoluteFilePath()))
                locales.push_back(Util::QStringToUtf8(locale.baseName()));
        }
        if (base == QLatin1String("themes")) {
            for (const QFileInfo& theme : SubDirectories(entry.absoluteFilePath())) {
                const std::string id = Util::QStringToUtf8(theme.baseName());
                QFile description(ToQString(ThemesPath() / id / descriptionFileName));
                if (description.open(QIODevice::ReadOnly | QIODevice::Text))
                    themes.push_back(id);
            }
        }
    }
}

void LookAndFeelManager::Private::ReadDescriptions()
{
    for (const std::string& id : themes) {
        const QString path = ToQString(ThemesPath() / id / descriptionFileName);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        const std::string text = file.readAll().toStdString();
        Zentar::Core::Property description("");
        try {
            Zentar::Core::PropertySerializer::Deserialize(
                description, Zentar::Core::DataInputString::Create(&text), true);
        } catch (const Zentar::Exception& e) {
            // The serializer knows nothing of files; say which one it was.
            throw Zentar::Exception("Theme description [" + Util::QStringToUtf8(path) + "]: " + e.what(),
                e.Function(), e.File(), e.Line());
        }
        themeDescriptions[id] = description;
    }
}

QFileInfoList LookAndFeelManager::Private::GetFilteredResourceList() const
{
    const Zentar::ioPath themePath = ThemesPath() / currentTheme;
    const QDir dir(ToQString(themePath));
    if (!dir.exists()) {
        LOG(ERROR) << "The directory [" << themePath.utf8string() << "] doesn't exist!";
        return {};
    }
    if (moduleNames.empty())
        return dir.entryInfoList({ QStringLiteral("*.rcc") }, QDir::Files);

    QFileInfoList packs;
    for (const std::string& module : moduleNames) {
        const QFileInfo candidate(dir.filePath(Util::Utf8ToQString(module) + QLatin1String(".rcc")));
        if (candidate.exists())
            packs.append(candidate);
    }
    return packs;
}

void LookAndFeelManager::Private::ClearCurrentTheme()
{
    if (!currentTheme.empty()) {
        for (const QFileInfo& pack : GetFilteredResourceList()) {
            if (pack.isFile()) {
                QResource::unregisterResource(pack.absoluteFilePath(), QString());
                registeredPacks.erase(pack.absoluteFilePath());
            }
        }
        // Packs deleted or renamed on disk since they were registered are
        // still mapped; unload them too.
        for (const QString& pack : registeredPacks)
            QResource::unregisterResource(pack, QString());
        registeredPacks.clear();
        currentTheme.clear();
    }
    QPixmapCache::clear();
}

std::string LookAndFeelManager::Private::ValidateLocale(
    const std::string& requested, const LookAndFeelManager& self) const
{
    if (!requested.empty() && requested != kUnknownLocale
        && std::find(locales.begin(), locales.end(), requested) != locales.end())
        return requested;

    std::list<std::string> systemNames;
    for (const QString& language : QLocale().uiLanguages()) {
        std::string name = Util::QStringToUtf8(QLocale(language).name());
        if (StartsWith(name, "pt"))
            name = "pt_BR";
        else if (StartsWith(name, "zh_CN"))
            name = "zh_CN";
        else if (StartsWith(name, "zh"))
            name = "zh_TW";
        systemNames.push_back(name);
    }

    std::string fallback = self.GetDefaultLocale();
    if (fallback.empty() || fallback == kUnknownLocale)
        fallback = kDefaultLocale;

    for (const std::string& name : systemNames)
        for (const std::string& offered : locales)
            if (StartsWith(offered, name))
                return offered;
    return fallback;
}

QFileInfoList LookAndFeelManager::Private::TranslationFiles() const
{
    const QDir dir(ToQString(LocalesPath() / currentLocale));
    if (moduleNames.empty())
        return dir.entryInfoList({ QStringLiteral("*.qm") }, QDir::Files);

    QFileInfoList files;
    for (const std::string& module : moduleNames) {
        const QFileInfo candidate(
            dir.filePath(Util::Utf8ToQString(module + "_" + currentLocale) + QLatin1String(".qm")));
        if (candidate.exists())
            files.append(candidate);
    }
    return files;
}

LookAndFeelManager::LookAndFeelManager(const Zentar::ioPath& rootPath, const std::string& descriptionFileName,
    const std::list<std::string>& moduleNames)
    : d(std::make_unique<Private>())
{
    d->rootPath = rootPath;
    d->moduleNames = moduleNames;
    d->descriptionFileName = descriptionFileName;
    d->Discover();
    d->ReadDescriptions();
}

LookAndFeelManager::~LookAndFeelManager()
{
    // Translators leave the application as they are deleted; the packs of the
    // current theme stay registered, the product may still be drawing.
    d->qssPreprocessor.reset();
    d->translators.clear();
}

void LookAndFeelManager::Initialize(const std::string& locale, const std::string& theme)
{
    // A run after a crash loop leaves out what the user chose: the choice
    // may be what crashes.
    const auto* app = qobject_cast<const Application*>(QCoreApplication::instance());
    if (app && app->IsSafeMode()) {
        LOG(INFO) << "Safe mode: the default language and theme instead of [" << locale << "] and [" << theme
                  << "]";
        SetLocale(std::string());
        SetTheme(d->themes.empty() ? std::string() : d->themes.front());
        return;
    }
    SetLocale(locale);
    SetTheme(theme);
}

const std::string& LookAndFeelManager::GetCurrentLocale() const
{
    return d->currentLocale;
}

const std::list<std::string>& LookAndFeelManager::GetLocales() const
{
    return d->locales;
}

const std::list<std::string>& LookAndFeelManager::GetThemes() const
{
    return d->themes;
}

void LookAndFeelManager::SetLocale(const std::string& locale)
{
    const std::string validated = d->ValidateLocale(locale, *this);
    if (validated == d->currentLocale)
        return;
    d->currentLocale = validated;

    for (const auto& translator : d->translators)
        QCoreApplication::removeTranslator(translator.get());
    d->translators.clear();

    for (const QFileInfo& file : d->TranslationFiles()) {
        if (!file.isFile())
            continue;
        auto translator = std::make_shared<QTranslator>();
        if (translator->load(file.absoluteFilePath(), QString(), QString(), QString())) {
            QCoreApplication::installTranslator(translator.get());
            d->translators.push_back(std::move(translator));
        }
    }

    d->observers.Notify(&ILookAndFeelObserver::OnLocaleChanged, d->currentLocale);
}

void LookAndFeelManager::SetTheme(const std::string& theme)
{
    if (theme != d->currentTheme)
        d->ClearCurrentTheme();
    if (theme.empty())
        return;
    d->currentTheme = theme;

    QStringList packs;
    for (const QFileInfo& pack : d->GetFilteredResourceList()) {
        if (!pack.isFile())
            continue;
        const QString path = pack.absoluteFilePath();
        if (d->registeredPacks.insert(path).second)
            QResource::registerResource(path, QString());
        packs << pack.baseName();
    }
    const ThemeDescription description
        = DescribeThemePacks(packs, [](const QString& pack, const QString& file) -> QString {
              return QLatin1String(":/") + pack + QLatin1Char('/') + file;
          });
    ApplyTheme(description);
    d->observers.Notify(&ILookAndFeelObserver::OnThemeChanged, d->currentTheme);
}

const std::string& LookAndFeelManager::GetCurrentTheme() const
{
    return d->currentTheme;
}

std::string LookAndFeelManager::GetLocalizedThemeName(const std::string& theme) const
{
    const auto it = d->themeDescriptions.find(theme);
    if (it != d->themeDescriptions.end() && it->second.ChildExists(d->currentLocale))
        return it->second[d->currentLocale].GetString();
    LOG(WARNING) << "No title found for theme [" << theme << "] on language [" << d->currentLocale << "]!";
    return theme;
}

void LookAndFeelManager::ApplyTheme(const ThemeDescription& description)
{
    d->unitedStyleSheet.clear();
    StyleSheetComposition composition = ComposeStyleSheet(description, Util::Utf8ToQString(d->currentLocale),
        [](const QString& font) { Zentar::Util::FontDatabase::addApplicationFont(font); });
    d->unitedStyleSheet = std::move(composition.text);
    if (!composition.unreplaced.isEmpty())
        LOG(ERROR) << "Stylesheet variables left unreplaced, they would grow the stylesheet past "
                   << kMaxStyleSheetLength << " characters: "
                   << Util::QStringToUtf8(composition.unreplaced.join(QLatin1String(", ")));

    if (d->qssPreprocessor)
        d->qssPreprocessor->Preprocess(d->unitedStyleSheet);
}

std::string LookAndFeelManager::GetUnitedStylesheet() const
{
    return Util::QStringToUtf8(d->unitedStyleSheet);
}

std::string LookAndFeelManager::GetDefaultLocale() const
{
    auto* app = qobject_cast<Application*>(QCoreApplication::instance());
    if (!app) {
        LOG(ERROR) << "No Zentar application object: the installer language is unknown";
        return kUnknownLocale;
    }
    const auto installer = app->GetInstallerSettings(std::string());
    const int code = installer ? installer->GetInt("Language", 0) : 0;
    return code == 0 ? kUnknownLocale : LocaleNameFromInstallerCode(static_cast<unsigned int>(code));
}

void LookAndFeelManager::RegisterObserver(ILookAndFeelObserver* observer)
{
    d->observers.Add(observer);
}

void LookAndFeelManager::UnregisterObserver(ILookAndFeelObserver* observer)
{
    d->observers.Remove(observer);
}

bool LookAndFeelManager::IsPseudoLocale(const std::string& locale) const
{
    return !locale.empty() && QFileInfo::exists(ToQString(d->LocalesPath() / locale / ".pseudo-language"));
}

int LookAndFeelManager::GetTranslatedShare(const std::string& locale) const
{
    if (locale.empty())
        return -1;
    QFile file(ToQString(d->LocalesPath() / locale / ".translated-share"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    bool ok = false;
    const int share = file.readAll().trimmed().toInt(&ok);
    return ok && share >= 0 && share <= 100 ? share : -1;
}

void LookAndFeelManager::SetQssPreprocessor(const std::shared_ptr<IQssPreprocessor>& preprocessor)
{
    d->qssPreprocessor = preprocessor;
}

std::string LookAndFeelManager::LocaleNameFromInstallerCode(unsigned int code)
{
    switch (code) {
    case 0x0404:
        return "zh_TW";
    case 0x0407:
        return "de_DE";
    case 0x040A:
        return "es_ES";
    case 0x040C:
        return "fr_FR";
    case 0x0410:
        return "it_IT";
    case 0x0411:
        return "ja_JP";
    case 0x0412:
        return "ko_KR";
    case 0x0413:
        return "nl_NL";
    case 0x0415:
        return "pl_PL";
    case 0x0416:
        return "pt_BR";
    case 0x0419:
        return "ru_RU";
    case 0x041F:
        return "tr_TR";
    case 0x0804:
        return "zh_CN";
    case 0x0816:
        return "pt_PT";
    default:
        return kDefaultLocale;
    }
}

} // namespace Zentar::App
