#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>

class QUrl;

namespace Zentar::Browser
{

// The web browser that links of the product open in.
class AbstractPreferredBrowser
{
public:
    // What the product knows about the user's browsers.
    struct PreferredBrowserContext {
        QString locale; // interface language, "en_US"
        QString installerBrowser; // the browser the installer saw
        QString previousBrowser; // the browser found by the previous run
    };
    using ContextCallback = std::function<PreferredBrowserContext()>;

    virtual ~AbstractPreferredBrowser();

    // Asked afresh whenever the browser is looked up; may be empty.
    void SetContextCallback(const ContextCallback& callback);

    // The browser's executable; empty when none is known.
    virtual QString Path() const = 0;
    // A user-agent text matching the browser and the interface language.
    virtual QString UserAgent() const = 0;
    // Program and arguments that open `url` in the browser; empty when none
    // is known.
    virtual QStringList OpenCommand(const QUrl& url) const = 0;

protected:
    // An empty context when no callback is set.
    PreferredBrowserContext Context() const;

private:
    mutable std::mutex m_mutex;
    ContextCallback m_callback;
};

} // namespace Zentar::Browser
