#include "DemoLookAndFeel.h"

#include <Zentar/App/Application.h>
#include <Zentar/App/ICustomizationManager.h>
#include <Zentar/App/LookAndFeelHandler.h>
#include <Zentar/App/LookAndFeelManager.h>
#include <Zentar/QtUtil/Utf8.h>
#include <Zentar/Settings/ISettingsManager.h>

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <glog/logging.h>

#include <algorithm>
#include <map>

namespace
{

const char* const kLocaleKey = "lookAndFeel/locale";
const char* const kThemeKey = "lookAndFeel/theme";
const char* const kTesterOption = "--test-pseudo-language";

// Modules of the demo: theme packs base.rcc and widgets.rcc, translations
// demo_<locale>.qm (the demo's texts) and zentarapp_<locale>.qm (the library's).
const std::list<std::string> kModules = { "base", "widgets", "demo", "zentarapp" };

} // namespace

std::shared_ptr<Zentar::App::LookAndFeelManager> InstallDemoLookAndFeel(Zentar::App::Application& app,
    QMenuBar* menuBar, const std::string& locale, const std::string& theme, const QString& root,
    bool testerMenus)
{
    const QString rootPath = root.isEmpty() ? QCoreApplication::applicationDirPath() : root;
    auto manager = std::make_shared<Zentar::App::LookAndFeelManager>(
        Zentar::Util::QStringToUtf8(rootPath), "theme.json", kModules);
    const auto settings = app.GetSettingsManager();

    std::string wantedLocale = locale;
    if (wantedLocale.empty() && settings)
        wantedLocale = settings->GetString(kLocaleKey, std::string());

    std::string wantedTheme = theme;
    if (wantedTheme.empty() && settings)
        wantedTheme = settings->GetString(kThemeKey, std::string());
    const auto& themes = manager->GetThemes();
    if (std::find(themes.begin(), themes.end(), wantedTheme) == themes.end()) {
        if (!wantedTheme.empty())
            LOG(WARNING) << "The demo has no theme [" << wantedTheme << "]";
        wantedTheme = themes.empty() ? std::string() : themes.front();
    }

    // Observers first, so that the first switch already reaches them; the
    // entries after it, so that theme titles are made in the chosen language.
    auto* lookAndFeel = new DemoLookAndFeel(app, manager, menuBar);
    manager->Initialize(wantedLocale, wantedTheme);
    lookAndFeel->FillMenus(testerMenus);
    app.SetLookAndFeel(manager);
    return manager;
}

DemoLookAndFeel::DemoLookAndFeel(Zentar::App::Application& app,
    std::shared_ptr<Zentar::App::LookAndFeelManager> manager, QMenuBar* menuBar)
    : QObject(menuBar)
    , m_app(app)
    , m_manager(std::move(manager))
{
    m_languageMenu = menuBar->addMenu(QString());
    m_languageMenu->setObjectName(QStringLiteral("languageMenu"));
    m_themeMenu = menuBar->addMenu(QString());
    m_themeMenu->setObjectName(QStringLiteral("themeMenu"));
    m_handler = new Zentar::App::LookAndFeelHandler(m_manager, m_languageMenu, m_themeMenu, this);
    m_manager->RegisterObserver(this);
    Retranslate();
}

bool DemoTesterMenusAsked()
{
    return QCoreApplication::arguments().contains(QLatin1String(kTesterOption));
}

void DemoLookAndFeel::FillMenus(bool tester)
{
    std::list<std::string> locales;
    std::map<std::string, int> shares;
    for (const std::string& locale : m_manager->GetLocales()) {
        if (m_manager->IsPseudoLocale(locale) && !tester)
            continue;
        locales.push_back(locale);
        const int share = m_manager->GetTranslatedShare(locale);
        if (tester && share >= 0)
            shares[locale] = share;
    }
    m_handler->SetLocaleShares(shares);
    m_handler->SetLocaleList(locales);
    m_handler->SetThemeList(m_manager->GetThemes());
    // Checks the current language and theme.
    m_handler->Refresh();
}

DemoLookAndFeel::~DemoLookAndFeel()
{
    m_manager->UnregisterObserver(this);
}

void DemoLookAndFeel::OnLocaleChanged(const std::string& locale)
{
    // The manager installed the new translators before telling us.
    Retranslate();
    // Variables may differ per language (German paddings), but the manager
    // composes only when a theme is set: set the current one again, which
    // recomposes for this language and reaches OnThemeChanged. At start-up no
    // theme is set yet and this does nothing.
    const std::string theme = m_manager->GetCurrentTheme();
    m_manager->SetTheme(theme);
    if (auto customization = m_app.GetCustomizationManager())
        customization->SetLocale(locale);
    if (auto settings = m_app.GetSettingsManager())
        settings->SetString(kLocaleKey, locale);
}

void DemoLookAndFeel::OnThemeChanged(const std::string& theme)
{
    m_app.setStyleSheet(Zentar::Util::Utf8ToQString(m_manager->GetUnitedStylesheet()));
    if (auto settings = m_app.GetSettingsManager())
        settings->SetString(kThemeKey, theme);
}

void DemoLookAndFeel::Retranslate()
{
    m_languageMenu->setTitle(tr("&Language"));
    m_themeMenu->setTitle(tr("&Theme"));
}
