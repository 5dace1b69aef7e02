#pragma once

#include <Zentar/Browser/AbstractPreferredBrowser.h>

namespace Zentar::Browser
{

// The user's browser, looked up in this order:
//   1. the BROWSER variable: commands separated by ':', each a program with
//      arguments, "%s" standing for the URL (appended when absent);
//   2. the desktop's default browser (on Linux the x-scheme-handler/https or
//      /http entry of the mimeapps.list files and its .desktop Exec line; on
//      Windows the user's choice for http links);
//   3. the browser the installer recorded, then the one of the previous run
//      (context), when it is still there;
//   4. the system's generic browser command, where there is one.
// Every call looks again, so a changed BROWSER or default is seen at once.
class PreferredBrowser : public AbstractPreferredBrowser
{
public:
    PreferredBrowser();
    ~PreferredBrowser() override;

    QString Path() const override;
    QString UserAgent() const override;
    QStringList OpenCommand(const QUrl& url) const override;
};

} // namespace Zentar::Browser
