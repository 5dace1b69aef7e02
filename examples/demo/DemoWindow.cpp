#include "DemoWindow.h"

#include <Zentar/App/Application.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

QString LaunchTypeName(int type)
{
    switch (type) {
    case Zentar::App::Application::FirstLaunch:
        return QStringLiteral("FirstLaunch");
    case Zentar::App::Application::Reinstall:
        return QStringLiteral("Reinstall");
    case Zentar::App::Application::FirstLaunchAfterUpdate:
        return QStringLiteral("FirstLaunchAfterUpdate");
    case Zentar::App::Application::RegularLaunch:
        return QStringLiteral("RegularLaunch");
    }
    return QString::number(type);
}

DemoWindow::DemoWindow(Zentar::App::Application& app)
    : m_app(app)
{
    setObjectName(QStringLiteral("DemoWindow"));
    resize(900, 620);

    m_fileMenu = menuBar()->addMenu(QString());
    m_quitAction = m_fileMenu->addAction(QString(), &m_app, [this] { m_app.TryToQuit(); });
    m_quitAction->setShortcut(QKeySequence::Quit);

    auto* overview = new QWidget;
    auto* layout = new QVBoxLayout(overview);
    m_launchLabel = new QLabel;
    m_launchLabel->setObjectName(QStringLiteral("launchLabel"));
    m_sessionLabel = new QLabel;
    m_crashTitle = new QLabel;
    m_crashList = new QListWidget;
    m_crashList->setObjectName(QStringLiteral("crashList"));
    for (const auto& id : m_app.GetCrashedSessions())
        m_crashList->addItem(QString::fromStdString(id));
    layout->addWidget(m_launchLabel);
    layout->addWidget(m_sessionLabel);
    layout->addSpacing(12);
    layout->addWidget(m_crashTitle);
    layout->addWidget(m_crashList, 1);

    m_tabs = new QTabWidget;
    m_tabs->addTab(overview, QString());
    setCentralWidget(m_tabs);
    Retranslate();
}

void DemoWindow::Retranslate()
{
    setWindowTitle(tr("Zentar Demo"));
    m_fileMenu->setTitle(tr("&File"));
    m_quitAction->setText(tr("&Quit"));
    m_tabs->setTabText(0, tr("Overview"));
    for (const auto& [page, title] : m_pages)
        m_tabs->setTabText(m_tabs->indexOf(page), QCoreApplication::translate("QObject", title));

    const QString launch = LaunchTypeName(m_app.GetLaunchType());
    m_launchLabel->setText(tr("Launch type: %1").arg(launch));
    m_sessionLabel->setText(tr("Session: %1").arg(QString::fromStdString(m_app.SessionId())));
    const auto crashed = m_app.GetCrashedSessions();
    m_crashTitle->setText(crashed.empty() ? tr("No crashed sessions in earlier runs.")
                                          : tr("Crashed sessions of earlier runs:"));

    QStringList ids;
    for (const auto& id : crashed)
        ids << QString::fromStdString(id);
    statusBar()->showMessage(crashed.empty()
            ? tr("Launch: %1").arg(launch)
            : tr("Launch: %1 | Crashed sessions: %2").arg(launch, ids.join(QStringLiteral(", "))));
}

void DemoWindow::AddPage(QWidget* page, const char* title)
{
    m_pages.emplace_back(page, title);
    m_tabs->addTab(page, QCoreApplication::translate("QObject", title));
}

void DemoWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QMainWindow::changeEvent(event);
}
