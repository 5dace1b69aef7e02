#pragma once

#include <Zentar/Browser/AbstractPreferredBrowser.h>

namespace Zentar::Browser
{

/// The user's browsers, in this order of preference:
///   1. the BROWSER variable: commands separated by ':', each a program with
///      arguments, "%s" standing for the URL (appended when absent);
///   2. the desktop's default browser. On Linux: the desktop entry associated
///      with x-scheme-handler/https, then x-scheme-handler/http, then
///      text/html, found in the mimeapps.list files in the XDG order (user
///      and system configuration, then user and system applications folders,
///      each desktop's own list before the common one); for each type the
///      [Default Applications] of all lists before their [Added Associations],
///      an application in [Removed Associations] being ignored in that list
///      and the less important ones. Entries that are hidden, need a terminal
///      or whose program is missing are passed over. On Windows: the user's
///      choice for http links;
///   3. the browser the installer recorded, then the one of the previous run
///      (context), when it is still there and is a browser of its own;
///   4. the system's generic graphical browser command, where there is one.
/// A desktop entry that starts its browser through env is started directly,
/// with the variables set, and the browser is the program env runs; one that
/// starts it through flatpak is started that way, and the browser is the
/// launcher the application exports ($XDG_DATA_HOME/flatpak/exports/bin, the
/// system installation's exports/bin), else its application id.
/// Every call looks again, so a changed BROWSER or default is seen at once.
class PreferredBrowser : public AbstractPreferredBrowser
{
public:
    PreferredBrowser();
    ~PreferredBrowser() override;

    /// The first browser found in the order above; empty when none is.
    QString Path() const override;
    /// A user agent of the browser Path() names, in the context's language.
    QString UserAgent() const override;
    /// The commands of every browser found, in the order above, each once.
    QList<Launch> OpenCommands(const QUrl& url) const override;
};

} // namespace Zentar::Browser
