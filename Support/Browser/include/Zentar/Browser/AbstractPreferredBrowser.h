#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>

class QUrl;

namespace Zentar::Browser
{

/// The web browser that links of the product open in.
class AbstractPreferredBrowser
{
public:
    /// What the product knows about the user's browsers.
    struct PreferredBrowserContext {
        //!@{
        /// The interface language ("en_US"), the browser the installer saw and the one the previous
        /// run found; empty when not known.
        QString locale; // interface language, "en_US"
        QString installerBrowser; // the browser the installer saw
        QString previousBrowser; // the browser found by the previous run
        //!@}
    };
    /// Gives the context; called on the thread that looks the browser up.
    using ContextCallback = std::function<PreferredBrowserContext()>;

    virtual ~AbstractPreferredBrowser();

    /// Asked afresh whenever the browser is looked up; may be empty.
    void SetContextCallback(const ContextCallback& callback);

    /// The browser's own executable (not a launcher that starts it), or the
    /// id of a sandboxed browser that exports no launcher; empty when none is
    /// known.
    virtual QString Path() const = 0;
    /// A user-agent text matching the browser and the interface language.
    virtual QString UserAgent() const = 0;
    /// One way of opening a URL: a program, its arguments (the URL among
    /// them) and "NAME=value" settings added to the process's environment.
    struct Launch {
        //!@{
        /// The program, its arguments, and "NAME=value" settings for its environment.
        QString program;
        QStringList arguments;
        QStringList environment;
        //!@}
    };
    /// The ways of opening `url`, the preferred browser first, then the other
    /// browsers known, each once; empty when none is known.
    virtual QList<Launch> OpenCommands(const QUrl& url) const = 0;

protected:
    /// What the context callback gives now.
    ///
    /// An empty context when no callback is set.
    PreferredBrowserContext Context() const;

private:
    mutable std::mutex m_mutex;
    ContextCallback m_callback;
};

} // namespace Zentar::Browser
