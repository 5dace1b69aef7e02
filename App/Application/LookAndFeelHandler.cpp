#include <Zentar/App/LookAndFeelHandler.h>

#include <Zentar/QtUtil/Utf8.h>

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMetaType>

#include <map>

namespace Zentar::App
{

namespace
{

const std::map<std::string, std::string>& DisplayNames()
{
    static const std::map<std::string, std::string> names = {
        { "en_US", "English" },
        { "ru_RU", "Русский" },
        { "de_DE", "Deutsch" },
        { "fr_FR", "Français" },
        { "es_ES", "Español" },
        { "it_IT", "Italiano" },
        { "ja_JP", "日本語" },
        { "nl_NL", "Nederlands" },
        { "pl_PL", "Polski" },
        { "pt_BR", "Português Brasileiro" },
        { "tr_TR", "Türkçe" },
        { "zh_CN", "简体中文" },
        { "ko_KR", "한국어" },
        { "zh_TW", "繁體中文" },
        { "ara", "Arabic" },
        { "bel", "Belarusian" },
        { "cat", "Catalan" },
        { "chi", "Chinese" },
        { "dan", "Danish" },
        { "dut", "Dutch" },
        { "eng", "English" },
        { "fin", "Finnish" },
        { "fre", "French" },
        { "ger", "German" },
        { "heb", "Hebrew" },
        { "hin", "Hindi" },
        { "hun", "Hungarian" },
        { "ita", "Italian" },
        { "jpn", "Japanese" },
        { "nno", "Norwegian Nynorsk" },
        { "nob", "Norwegian Bokmål" },
        { "pol", "Polish" },
        { "por", "Portuguese" },
        { "rus", "Russian" },
        { "slv", "Slovenian" },
        { "spa", "Spanish" },
        { "swe", "Swedish" },
        { "tur", "Turkish" },
        { "ukr", "Ukrainian" },
        { "und", "" },
    };
    return names;
}

using ActionMap = std::map<std::string, QAction*>;

} // namespace

struct LookAndFeelHandler::Private {
    std::shared_ptr<ILookAndFeelManager> manager;
    QMenu* localeMenu = nullptr;
    QActionGroup* localeGroup = nullptr;
    std::list<std::string> localeList;
    ActionMap localeActions;
    std::string selectedLocale;
    QMenu* themeMenu = nullptr;
    QActionGroup* themeGroup = nullptr;
    std::list<std::string> themeList;
    ActionMap themeActions;
    std::string selectedTheme;
    // Percent of translated texts per locale id, shown beside the names.
    std::map<std::string, int> localeShares;

    QString LocaleDisplayName(const std::string& id) const
    {
        const QString name = LanguageDisplayName(id);
        const auto share = localeShares.find(id);
        if (share == localeShares.end())
            return name;
        return QStringLiteral("%1 (%2 %)").arg(name).arg(share->second);
    }

    QString ThemeDisplayName(const std::string& id) const
    {
        return Zentar::Util::Utf8ToQString(manager->GetLocalizedThemeName(id));
    }

    template <class TextOf>
    static void BuildMenu(QMenu* menu, const std::list<std::string>& ids, QActionGroup* group,
        ActionMap& actions, TextOf textOf)
    {
        if (!menu || !group)
            return;
        actions.clear();
        // Everything goes, also entries that others put into the menu.
        const auto shown = menu->actions();
        for (QAction* action : shown)
            menu->removeAction(action);
        const auto grouped = group->actions();
        for (QAction* action : grouped) {
            group->removeAction(action);
            action->deleteLater();
        }
        for (const std::string& id : ids) {
            auto* action = new QAction(textOf(id), group);
            action->setData(Zentar::Util::Utf8ToQString(id));
            action->setCheckable(true);
            group->addAction(action);
            menu->addAction(action);
            actions[id] = action;
        }
    }

    static void CheckAction(const std::string& id, const ActionMap& actions)
    {
        const auto it = actions.find(id);
        if (it != actions.end() && !it->second->isChecked())
            it->second->setChecked(true);
    }

    void BuildLocaleMenu()
    {
        BuildMenu(localeMenu, localeList, localeGroup, localeActions,
            [this](const std::string& id) { return LocaleDisplayName(id); });
        if (localeMenu && localeGroup)
            localeMenu->addSeparator();
    }

    void BuildThemeMenu()
    {
        BuildMenu(themeMenu, themeList, themeGroup, themeActions,
            [this](const std::string& id) { return ThemeDisplayName(id); });
    }
};

LookAndFeelHandler::LookAndFeelHandler(
    std::shared_ptr<ILookAndFeelManager> manager, QMenu* localeMenu, QMenu* themeMenu, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    // Lets products connect the signals across threads and tests spy on them.
    qRegisterMetaType<std::string>("std::string");

    d->manager = std::move(manager);
    d->localeMenu = localeMenu;
    d->themeMenu = themeMenu;
    d->manager->RegisterObserver(this);
    d->localeGroup = new QActionGroup(this);
    d->localeGroup->setExclusive(true);
    d->themeGroup = new QActionGroup(this);
    d->themeGroup->setExclusive(true);
    connect(d->localeGroup, &QActionGroup::triggered, this, &LookAndFeelHandler::OnInnerLocaleChanged);
    connect(d->localeGroup, &QActionGroup::triggered, this, &LookAndFeelHandler::Retranslate);
    connect(d->themeGroup, &QActionGroup::triggered, this, &LookAndFeelHandler::OnInnerThemeChanged);
    Retranslate();
}

LookAndFeelHandler::~LookAndFeelHandler()
{
    d->manager->UnregisterObserver(this);
}

void LookAndFeelHandler::SetLocaleShares(const std::map<std::string, int>& shares)
{
    d->localeShares = shares;
    Retranslate();
}

QString LookAndFeelHandler::LanguageDisplayName(const std::string& id)
{
    const auto& names = DisplayNames();
    const auto it = names.find(id);
    return Zentar::Util::Utf8ToQString(it != names.end() ? it->second : id);
}

void LookAndFeelHandler::SetLocaleList(const std::list<std::string>& locales)
{
    d->localeList = locales;
    if (d->localeMenu)
        d->BuildLocaleMenu();
}

void LookAndFeelHandler::SetThemeList(const std::list<std::string>& themes)
{
    d->themeList = themes;
    if (d->themeMenu)
        d->BuildThemeMenu();
}

void LookAndFeelHandler::SetLocaleMenu(QMenu* menu)
{
    if (d->localeMenu)
        d->localeMenu->clear();
    d->localeMenu = menu;
    Refresh();
}

void LookAndFeelHandler::SetThemeMenu(QMenu* menu)
{
    if (d->themeMenu)
        d->themeMenu->clear();
    d->themeMenu = menu;
    Refresh();
}

void LookAndFeelHandler::SelectLocale(const std::string& locale)
{
    d->selectedLocale = locale;
    if (d->localeMenu)
        d->CheckAction(locale, d->localeActions);
}

void LookAndFeelHandler::SelectTheme(const std::string& theme)
{
    d->selectedTheme = theme;
    if (d->themeMenu)
        d->CheckAction(theme, d->themeActions);
}

void LookAndFeelHandler::Refresh()
{
    if (d->localeMenu && !d->selectedLocale.empty()) {
        d->BuildLocaleMenu();
        d->CheckAction(d->selectedLocale, d->localeActions);
    }
    if (d->themeMenu && !d->selectedTheme.empty()) {
        d->BuildThemeMenu();
        d->CheckAction(d->selectedTheme, d->themeActions);
    }
}

void LookAndFeelHandler::OnLocaleChanged(const std::string& locale)
{
    SelectLocale(locale);
}

void LookAndFeelHandler::OnThemeChanged(const std::string& theme)
{
    SelectTheme(theme);
}

void LookAndFeelHandler::OnInnerLocaleChanged(QAction* action)
{
    const std::string id = Zentar::Util::QStringToUtf8(action->data().toString());
    d->manager->SetLocale(id);
    SelectLocale(id);
    Q_EMIT LocaleChanged(id);
}

void LookAndFeelHandler::OnInnerThemeChanged(QAction* action)
{
    const std::string id = Zentar::Util::QStringToUtf8(action->data().toString());
    d->manager->SetTheme(id);
    SelectTheme(id);
    Q_EMIT ThemeChanged(id);
}

void LookAndFeelHandler::Retranslate()
{
    for (const auto& [id, action] : d->localeActions)
        action->setText(d->LocaleDisplayName(Zentar::Util::QStringToUtf8(action->data().toString())));
    for (const auto& [id, action] : d->themeActions)
        action->setText(d->ThemeDisplayName(Zentar::Util::QStringToUtf8(action->data().toString())));
}

} // namespace Zentar::App
