#pragma once

#include <Zentar/App/ILookAndFeelObserver.h>

#include <QObject>

#include <memory>
#include <string>

class QMenu;
class QMenuBar;

namespace Zentar::App
{
class Application;
class LookAndFeelHandler;
class LookAndFeelManager;
} // namespace Zentar::App

// The demo's themes and interface languages, read from resources/ beside the
// executable: Language and Theme menus in the menu bar, the composed
// stylesheet set on the application at every theme change, and the user's
// choice kept in the settings store for the next run.
//
// An empty locale or theme means: the one chosen last time, else the
// system's language and the first theme. An empty root means the
// executable's folder.
//
// Testers (--test-pseudo-language on the command line) also get the
// pseudo-language in the Language menu, and beside each language the share of
// its texts that are translated.
bool DemoTesterMenusAsked();
std::shared_ptr<Zentar::App::LookAndFeelManager> InstallDemoLookAndFeel(Zentar::App::Application& app,
    QMenuBar* menuBar, const std::string& locale, const std::string& theme, const QString& root = QString(),
    bool testerMenus = DemoTesterMenusAsked());

// Applies what the manager announces. Lives as long as the menu bar.
class DemoLookAndFeel : public QObject, public Zentar::App::ILookAndFeelObserver
{
    Q_OBJECT

public:
    DemoLookAndFeel(Zentar::App::Application& app, std::shared_ptr<Zentar::App::LookAndFeelManager> manager,
        QMenuBar* menuBar);
    ~DemoLookAndFeel() override;

    // Language and theme entries, once the manager has a language.
    void FillMenus(bool testerMenus);

    void OnLocaleChanged(const std::string& locale) override;
    void OnThemeChanged(const std::string& theme) override;

private:
    void Retranslate();

    Zentar::App::Application& m_app;
    std::shared_ptr<Zentar::App::LookAndFeelManager> m_manager;
    QMenu* m_languageMenu = nullptr;
    QMenu* m_themeMenu = nullptr;
    Zentar::App::LookAndFeelHandler* m_handler = nullptr;
};
