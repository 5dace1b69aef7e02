#include "DemoLinks.h"

#include "DemoWindow.h"

#include <Zentar/App/Application.h>
#include <Zentar/Links/ILinksManager.h>

#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <glog/logging.h>

#include <stdexcept>

void DemoGateway::AddStimulus(const Zentar::ExternalStimulus::Stimulus& stimulus)
{
    m_queue.push_back(stimulus);
    if (m_scheduled)
        return;
    m_scheduled = true;
    // A moment after the event loop has started (however long the start
    // took): the main window is painted and the start-up work queued by
    // main() is done before a modal dialog runs its own loop.
    QTimer::singleShot(0, QCoreApplication::instance(),
        [this] { QTimer::singleShot(300, QCoreApplication::instance(), [this] { RunQueued(); }); });
}

void DemoGateway::RunQueued()
{
    m_scheduled = false;
    while (!m_queue.empty()) {
        const auto stimulus = m_queue.front();
        m_queue.pop_front();
        LOG(INFO) << "Start-up page " << stimulus.name;
        try {
            stimulus.action();
        } catch (const std::logic_error& e) {
            // A demo without a look-and-feel manager has no links service.
            LOG(ERROR) << "Start-up page " << stimulus.name << " skipped: " << e.what();
        }
    }
}

namespace
{

// Every link of the demo's table in the current language; a double click
// opens it the way the product opens links.
QWidget* MakeLinksPage(Zentar::App::Application& app)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* browser = new QLabel(QObject::tr("Preferred browser: %1").arg(app.GetPreferredBrowserUserAgent()));
    browser->setWordWrap(true);
    layout->addWidget(browser);
    auto* list = new QListWidget;
    list->setObjectName(QStringLiteral("linksList"));
    layout->addWidget(list, 1);

    std::shared_ptr<Zentar::Links::ILinksManager> links;
    try {
        links = app.GetLinksManager();
    } catch (const std::logic_error& e) {
        list->addItem(QObject::tr("No links service: %1").arg(QString::fromUtf8(e.what())));
        return page;
    }
    for (int value = Zentar::FIRST_URL_KEY; value <= Zentar::LAST_URL_KEY; ++value) {
        const auto key = static_cast<Zentar::URLKeys>(value);
        const QString url = links->GetUrl(key);
        if (url.isEmpty())
            continue;
        auto* item = new QListWidgetItem(
            QString::fromStdString(Zentar::URLKeyName(key)) + QStringLiteral("\n  ") + url);
        item->setData(Qt::UserRole, url);
        list->addItem(item);
    }
    QObject::connect(list, &QListWidget::itemActivated, list,
        [links](QListWidgetItem* item) { links->OpenUrl(item->data(Qt::UserRole).toString()); });
    return page;
}

} // namespace

void InstallDemoLinks(Zentar::App::Application& app, DemoWindow& window)
{
    static const auto gateway = std::make_shared<DemoGateway>();
    app.SetExternalStimulusGateway(gateway);

    auto* updateLabel = new QLabel;
    updateLabel->setObjectName(QStringLiteral("updateCheckLabel"));
    updateLabel->hide();
    window.statusBar()->addPermanentWidget(updateLabel);
    QObject::connect(&app, &Zentar::App::Application::AutoUpdateCheckRequested, updateLabel, [updateLabel] {
        LOG(INFO) << "Checking for updates";
        updateLabel->setText(QObject::tr("Checking for updates..."));
        updateLabel->show();
        // The demo has no update server; the message stays a while.
        QTimer::singleShot(15000, updateLabel, &QLabel::hide);
    });

    // Built when the application has started, so that the page shows the
    // managers the product installed.
    QObject::connect(&app, &Zentar::App::Application::ApplicationStarted, &window,
        [&app, &window] { window.AddPage(MakeLinksPage(app), QT_TRANSLATE_NOOP("QObject", "Links")); });
}
