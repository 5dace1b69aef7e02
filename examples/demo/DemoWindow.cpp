#include "DemoWindow.h"

#include <Zentar/App/Application.h>

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <stdexcept>

namespace
{

// Read through a volatile pointer, so that the compiler keeps the store.
int* volatile g_nowhere = nullptr;

// A real fault also under UndefinedBehaviorSanitizer, which would stop at the null first.
[[gnu::noinline, gnu::no_sanitize_undefined]] void CrashNow()
{
    *g_nowhere = 1;
}

[[gnu::noinline]] void ThrowNow()
{
    throw std::runtime_error("thrown from the demo's Throw button");
}

// Frames shown per crashed session.
constexpr size_t kTopFrames = 3;

} // namespace

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
    for (size_t i = 0; i < m_app.GetCrashedSessions().size(); ++i)
        m_crashList->addItem(QString());
    // Ways to try the crash reports: the next run shows what happened.
    m_crashButton = new QPushButton;
    m_crashButton->setObjectName(QStringLiteral("crashNowButton"));
    connect(m_crashButton, &QPushButton::clicked, this, [] { CrashNow(); });
    m_throwButton = new QPushButton;
    m_throwButton->setObjectName(QStringLiteral("throwButton"));
    connect(m_throwButton, &QPushButton::clicked, this, [] { ThrowNow(); });
    auto* crashButtons = new QHBoxLayout;
    crashButtons->addWidget(m_crashButton);
    crashButtons->addWidget(m_throwButton);
    crashButtons->addStretch(1);
    layout->addWidget(m_launchLabel);
    layout->addWidget(m_sessionLabel);
    layout->addSpacing(12);
    layout->addWidget(m_crashTitle);
    layout->addWidget(m_crashList, 1);
    layout->addLayout(crashButtons);

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
    int row = 0;
    for (const auto& id : crashed) {
        ids << QString::fromStdString(id);
        const auto report = m_app.GetCrashReport(id);
        QStringList lines { QString::fromStdString(id) };
        lines << tr("Cause: %1")
                     .arg(report.Empty() ? tr("no report (the process was killed or the machine stopped)")
                                         : QString::fromStdString(report.Summary()));
        QStringList frames;
        for (const auto& frame : report.frames) {
            if (frames.size() == int(kTopFrames))
                break;
            frames << (frame.function.empty() ? QStringLiteral("0x%1").arg(frame.address, 0, 16)
                                              : QStringLiteral("%1+0x%2")
                                                    .arg(QString::fromStdString(frame.function))
                                                    .arg(frame.functionOffset, 0, 16));
        }
        if (!frames.isEmpty())
            lines << tr("Top frames: %1").arg(frames.join(QStringLiteral(" < ")));
        if (QListWidgetItem* item = m_crashList->item(row++))
            item->setText(lines.join(QLatin1Char('\n')));
    }
    m_crashButton->setText(tr("Crash now"));
    m_throwButton->setText(tr("Throw"));
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
