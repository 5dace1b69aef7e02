#pragma once

#include <Zentar/App/ZentarAppExport.h>
#include <Zentar/Interfaces/ILookAndFeelManager.h>

#include <Zentar/Core/ioPath.h>

#include <list>
#include <memory>
#include <string>

namespace Zentar::App
{

class IQssPreprocessor;

/// The library's look-and-feel manager. Reads, under rootPath/"resources":
/// ```
///   themes/<theme id>/<descriptionFileName>   makes the directory a theme;
///                                             JSON, locale id -> theme title
///   themes/<theme id>/<module>.rcc            theme packs (binary resources)
///   locales/<locale id>/*.qm                  translations (<module>_<locale id>.qm
///                                             when module names are given)
/// ```
/// Directories count by their base name ("themes.old" is a "themes").
/// A pack `<b>.rcc` provides `:/<b>/style.qss`, `:/<b>/fonts_win.qss`, `:/<b>/fonts.json`
/// (stylesheet variables) and `:/<b>/fonts.manifest` (font files), any of them
/// optional. The composed stylesheet is handed out, never applied: products set
/// it when told of a theme change.
/// Observers may register from any thread; everything else belongs to the GUI thread, with
/// a QApplication.
class ZENTAR_APP_EXPORT LookAndFeelManager : public ILookAndFeelManager
{
public:
    /// Discovers themes and languages; applies nothing. Throws
    /// Zentar::Exception naming the file when a theme description is malformed.
    /// Empty moduleNames means every pack and translation file is used.
    LookAndFeelManager(const Zentar::ioPath& rootPath, const std::string& descriptionFileName,
        const std::list<std::string>& moduleNames);
    ~LookAndFeelManager() override;

    LookAndFeelManager(const LookAndFeelManager&) = delete;
    LookAndFeelManager& operator=(const LookAndFeelManager&) = delete;

    void Initialize(const std::string& locale, const std::string& theme) override;
    const std::string& GetCurrentLocale() const override;
    const std::list<std::string>& GetLocales() const override;
    const std::list<std::string>& GetThemes() const override;
    void SetLocale(const std::string& locale) override;
    void SetTheme(const std::string& theme) override;
    const std::string& GetCurrentTheme() const override;
    std::string GetLocalizedThemeName(const std::string& theme) const override;
    void ApplyTheme(const ThemeDescription& description) override;
    std::string GetUnitedStylesheet() const override;
    /// Reads the installer's "Language" code through the running Application.
    std::string GetDefaultLocale() const override;
    void RegisterObserver(ILookAndFeelObserver* observer) override;
    void UnregisterObserver(ILookAndFeelObserver* observer) override;

    /// What zentar_add_translations leaves in a language's folder: whether the
    /// language is a pseudo-language for testers (products offer it only when
    /// asked).
    bool IsPseudoLocale(const std::string& locale) const;
    /// The percent of the language's texts that are translated; -1 when the
    /// build did not count them, as for the language the sources are in.
    int GetTranslatedShare(const std::string& locale) const;

    /// Takes effect at the next composition. Null removes it.
    /// The manager shares the preprocessor.
    void SetQssPreprocessor(const std::shared_ptr<IQssPreprocessor>& preprocessor);

    /// Windows language identifier of the installer -> locale id; "en_US" for
    /// codes without a language of the product family.
    static std::string LocaleNameFromInstallerCode(unsigned int code);

private:
    struct Private;
    std::unique_ptr<Private> const d;
};

} // namespace Zentar::App
