#pragma once

#include <Zentar/Interfaces/Visibility.h>

#include <list>
#include <string>

namespace Zentar::App
{

class ILookAndFeelObserver;

/// Themes and interface languages of a product. Locale ids look like "en_US",
/// theme ids are directory names; both compare byte-wise. All operations
/// belong to the GUI thread except observer registration, which is safe from
/// any thread.
class ZENTAR_INTERFACE_VISIBLE ILookAndFeelManager
{
public:
    /// Files that make up one composed stylesheet: resource paths (":/...") or
    /// ordinary paths, each list used in order.
    struct ThemeDescription {
        /// Stylesheets, joined in order.
        std::list<std::string> styleSheets;
        /// JSON files of stylesheet variables; a later file wins.
        std::list<std::string> variableFiles;
        /// Lists of font files to register.
        std::list<std::string> fontManifests;
    };

    virtual ~ILookAndFeelManager() = default;

    /// SetLocale(locale), then SetTheme(theme).
    virtual void Initialize(const std::string& locale, const std::string& theme) = 0;
    /// The current locale id; empty before the first SetLocale.
    virtual const std::string& GetCurrentLocale() const = 0;
    /// The locale ids offered, in order.
    virtual const std::list<std::string>& GetLocales() const = 0;
    /// The theme ids found, in order.
    virtual const std::list<std::string>& GetThemes() const = 0;
    /// Switches to the requested language if it is offered, else to the best
    /// fallback; observers are told only when the language really changes.
    virtual void SetLocale(const std::string& locale) = 0;
    /// Unloads the current theme when the id differs, loads the new one,
    /// recomposes the stylesheet and tells the observers. An empty id only
    /// unloads.
    virtual void SetTheme(const std::string& theme) = 0;
    /// The current theme id; empty when none is loaded.
    virtual const std::string& GetCurrentTheme() const = 0;
    /// The theme's title in the current language, or the id itself.
    virtual std::string GetLocalizedThemeName(const std::string& theme) const = 0;
    /// Composes the stylesheet from the given files; changes neither the
    /// current theme nor tells the observers.
    virtual void ApplyTheme(const ThemeDescription& description) = 0;
    /// The composed stylesheet; the product applies it (it is never applied for it).
    virtual std::string GetUnitedStylesheet() const = 0;
    /// The language picked in the installer, "unknown" when none was.
    virtual std::string GetDefaultLocale() const = 0;
    /// Adds an observer, not owned; safe from any thread. Null and repeated registrations are ignored.
    virtual void RegisterObserver(ILookAndFeelObserver* observer) = 0;
    /// Removes an observer; safe from any thread, also during a notification.
    virtual void UnregisterObserver(ILookAndFeelObserver* observer) = 0;
};

} // namespace Zentar::App
