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

namespace
{

bool Start(const AbstractPreferredBrowser::Launch& launch)
{
    QProcess process;
    process.setProgram(launch.program);
    process.setArguments(launch.arguments);
    if (!launch.environment.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& assignment : launch.environment) {
            const int equals = assignment.indexOf(QLatin1Char('='));
            environment.insert(assignment.left(equals), assignment.mid(equals + 1));
        }
        process.setProcessEnvironment(environment);
    }
    // Reports a program that cannot be executed, unlike a shell would.
    return process.startDetached();
}

} // namespace

void URLHandler::OpenURLWithPreferredBrowser(const QUrl& url)
{
    const std::string text = Util::QStringToUtf8(url.toString(QUrl::FullyEncoded));
    const QList<AbstractPreferredBrowser::Launch> launches
        = m_browser ? m_browser->OpenCommands(url) : QList<AbstractPreferredBrowser::Launch>();
    bool desktopTried = false;
    for (const auto& launch : launches) {
        if (Start(launch))
            return;
        LOG(WARNING) << "Cannot start the browser " << Util::QStringToUtf8(launch.program);
        if (!desktopTried) {
            desktopTried = true;
            if (Platform::OpenWithDesktop(text))
                return;
        }
    }
    if (!desktopTried && Platform::OpenWithDesktop(text))
        return;
    LOG(WARNING) << "No browser could open " << Util::QStringToUtf8(url.toString());
}

} // namespace Zentar::Browser
