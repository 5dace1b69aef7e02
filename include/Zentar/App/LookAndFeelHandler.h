#pragma once

#include <Zentar/App/ZentarAppExport.h>
#include <Zentar/Interfaces/ILookAndFeelManager.h>
#include <Zentar/Interfaces/ILookAndFeelObserver.h>

#include <QObject>

#include <list>
#include <map>
#include <memory>
#include <string>

class QAction;
class QMenu;

Q_DECLARE_INTERFACE(Zentar::App::ILookAndFeelObserver, "ILookAndFeelObserver")

namespace Zentar::App
{

/// Language and theme menus of checkable entries for a look-and-feel manager.
/// Picking an entry switches the manager and emits LocaleChanged/ThemeChanged;
/// switches made by anyone else only move the check marks. Menus are not
/// owned and may be null (or set later); entries appear once the lists are set.
/// It registers itself with the manager, which it shares, and unregisters when destroyed.
/// GUI thread only.
class ZENTAR_APP_EXPORT LookAndFeelHandler : public QObject, public ILookAndFeelObserver
{
    Q_OBJECT
    Q_INTERFACES(Zentar::App::ILookAndFeelObserver)

public:
    /// A handler of `manager` owned by `parent`, showing its entries in the menus given (either may be null).
    LookAndFeelHandler(
        std::shared_ptr<ILookAndFeelManager> manager, QMenu* localeMenu, QMenu* themeMenu, QObject* parent);
    ~LookAndFeelHandler() override;

    //!@{
    /// Rebuild the menu entries (nothing is checked until a selection is known).
    void SetLocaleList(const std::list<std::string>& locales);
    void SetThemeList(const std::list<std::string>& themes);
    //!@}
    //!@{
    /// Clear the previous menu and show the entries in the new one, if a
    /// selection is known.
    void SetLocaleMenu(QMenu* menu);
    void SetThemeMenu(QMenu* menu);
    //!@}
    //!@{
    /// Move the check mark without switching the manager.
    void SelectLocale(const std::string& locale);
    void SelectTheme(const std::string& theme);
    //!@}
    /// Rebuild and check both menus whose selection is known.
    void Refresh();

    /// Show, beside each language named here, the percent of its texts that
    /// are translated ("Deutsch (87 %)"); LookAndFeelManager::GetTranslatedShare
    /// reads what the build counted. Empty: names alone.
    void SetLocaleShares(const std::map<std::string, int>& shares);

    /// Checks the entry of `locale`.
    void OnLocaleChanged(const std::string& locale) override;
    /// Checks the entry of `theme`.
    void OnThemeChanged(const std::string& theme) override;

    /// The name a language shows in menus: its own name for locale ids,
    /// an English name for ISO 639-2 codes, else the id itself.
    static QString LanguageDisplayName(const std::string& id);

Q_SIGNALS:
    //!@{
    /// The user picked this language or theme in a menu, and the manager has switched to it.
    /// Only for the user's picks in the menus.
    void LocaleChanged(const std::string& locale);
    void ThemeChanged(const std::string& theme);
    //!@}

private Q_SLOTS:
    void OnInnerLocaleChanged(QAction* action);
    void OnInnerThemeChanged(QAction* action);
    void Retranslate();

private:
    struct Private;
    std::unique_ptr<Private> const d;
};

} // namespace Zentar::App
