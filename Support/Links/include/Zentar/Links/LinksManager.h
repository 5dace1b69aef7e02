#pragma once

#include <Zentar/Links/ILinksManager.h>
#include <Zentar/Links/NotNull.h>

#include <QString>

#include <memory>

namespace Zentar::App
{
class ICustomizationManager;
class ILookAndFeelManager;
class ISettingsManager;
} // namespace Zentar::App

namespace Zentar::Links
{

/// The product's links, read from a JSON table that the product ships; the
/// library itself holds no URL. The table:
///
/// ```
///   { "links": {
///       "HOME_PAGE_URL": "https://example.com/{language}/?p={productId}",
///       "THANK_FOR_INSTALL_URL": { "default": "https://example.com/thanks?v={version}",
///                                  "de": "https://example.de/danke?v={version}",
///                                  "pt_BR": "https://example.com.br/obrigado" } } }
/// ```
///
/// Keys are URLKeys names. A value is one URL, or URLs by interface language:
/// the exact locale id first, then its language ("de" for "de_DE"), then
/// "default". Placeholders, filled in at each GetUrl (values percent-encoded):
/// ```
///   {locale} {language}        current interface language ("de_DE", "de")
///   {productId} {module} {installerProduct}   the build's identifiers
///   {version} {build}          "20.4.0" and the build number
///   {registered}               "1" when the user registered an e-mail, else "0"
///   {installer}                the installer's file name, when known
/// ```
/// Unknown placeholders are left as they are. A missing or malformed table is
/// logged once; every link is then empty.
class LinksManager : public ILinksManager
{
public:
    /// The table is found at DefaultTableFile().
    /// Throws std::logic_error when one of the first three managers is empty;
    /// `installerSettings` may be.
    LinksManager(NotNull<std::shared_ptr<App::ICustomizationManager>> customization,
        NotNull<std::shared_ptr<App::ILookAndFeelManager>> lookAndFeel,
        NotNull<std::shared_ptr<App::ISettingsManager>> mailSettings,
        std::shared_ptr<App::ISettingsManager> installerSettings);
    /// Reads the table from `tableFile`; otherwise as the constructor above.
    LinksManager(NotNull<std::shared_ptr<App::ICustomizationManager>> customization,
        NotNull<std::shared_ptr<App::ILookAndFeelManager>> lookAndFeel,
        NotNull<std::shared_ptr<App::ISettingsManager>> mailSettings,
        std::shared_ptr<App::ISettingsManager> installerSettings, const QString& tableFile);
    ~LinksManager() override;

    LinksManager(const LinksManager&) = delete;
    LinksManager& operator=(const LinksManager&) = delete;

    /// The key's URL from the table, in the current interface language, its placeholders filled in;
    /// empty when the table has none.
    QString GetUrl(URLKeys key) const override;
    /// Hands a web URL to QDesktopServices, so that it reaches whatever URL
    /// handler the application registered. An empty or invalid URL is logged
    /// and dropped.
    void OpenUrl(const QString& url) override;

    /// The table file this manager reads.
    QString TableFile() const;

    /// Where products keep the table: the file set with SetDefaultTableFile,
    /// else the resource ":/links.json", else links.json beside the executable.
    static QString DefaultTableFile();
    /// Process-wide; an empty path restores the search above.
    static void SetDefaultTableFile(const QString& path);

private:
    struct Private;
    std::unique_ptr<Private> const d;
};

} // namespace Zentar::Links
