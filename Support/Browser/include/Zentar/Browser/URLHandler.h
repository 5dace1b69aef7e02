#pragma once

#include <QObject>

#include <memory>

class QUrl;

namespace Zentar::Browser
{

class AbstractPreferredBrowser;

/// Opens URLs in the preferred browser; registered with
/// QDesktopServices::setUrlHandler for the web schemes. When no browser is
/// known, or the preferred one cannot be started, the desktop's own opener
/// gets the URL, and when that cannot be started either, the other browsers
/// known in their order.
class URLHandler : public QObject
{
    Q_OBJECT

public:
    /// A handler owned by `parent` (Qt parent), using `browser`, which it shares.
    URLHandler(QObject* parent, std::shared_ptr<AbstractPreferredBrowser> browser);
    ~URLHandler() override;

public Q_SLOTS:
    /// Opens `url` as described above; a failure is logged. GUI thread.
    void OpenURLWithPreferredBrowser(const QUrl& url);

private:
    std::shared_ptr<AbstractPreferredBrowser> m_browser;
};

} // namespace Zentar::Browser
