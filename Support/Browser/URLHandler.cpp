#include <Zentar/Browser/URLHandler.h>

#include <Zentar/Browser/AbstractPreferredBrowser.h>
#include <Zentar/QtUtil/Utf8.h>

#include "BrowserPlatform.h"

#include <QProcess>
#include <QUrl>

#include <glog/logging.h>

namespace Zentar::Browser
{

URLHandler::URLHandler(QObject* parent, std::shared_ptr<AbstractPreferredBrowser> browser)
    : QObject(parent)
    , m_browser(std::move(browser))
{
}

URLHandler::~URLHandler() = default;

void URLHandler::OpenURLWithPreferredBrowser(const QUrl& url)
{
    QStringList command = m_browser ? m_browser->OpenCommand(url) : QStringList();
    if (!command.isEmpty()) {
        const QString program = command.takeFirst();
        if (QProcess::startDetached(program, command))
            return;
        LOG(WARNING) << "Cannot start the browser " << Util::QStringToUtf8(program);
    }
    if (!Platform::OpenWithDesktop(Util::QStringToUtf8(url.toString(QUrl::FullyEncoded))))
        LOG(WARNING) << "No browser could open " << Util::QStringToUtf8(url.toString());
}

} // namespace Zentar::Browser
