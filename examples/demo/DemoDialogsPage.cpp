#include "DemoDialogsPage.h"

#include <Zentar/App/Application.h>
#include <Zentar/App/ConfirmationAlertBox.h>
#include <Zentar/App/GPUMessages.h>
#include <Zentar/App/Informer.h>
#include <Zentar/App/MacMenuActionHandler.h>
#include <Zentar/Links/URLKeys.h>

#include <QColorDialog>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace
{

const auto kConfirmationId = QStringLiteral("demo.clear_history");

} // namespace

DemoDialogsPage::DemoDialogsPage(Zentar::App::Application& app, QWidget* parent)
    : QWidget(parent)
    , m_app(app)
{
    setObjectName(QStringLiteral("DemoDialogsPage"));
    // Links in the library's rich-text messages take the product's colour.
    if (!m_app.property("linkStyle").isValid())
        m_app.setProperty("linkStyle", QStringLiteral("color: #2a82da; text-decoration: none;"));
    m_intro = new QLabel;
    m_intro->setWordWrap(true);
    m_result = new QLabel;
    m_result->setObjectName(QStringLiteral("dialogResult"));
    m_swatch = new QLabel;
    m_swatch->setObjectName(QStringLiteral("colorSwatch"));
    m_swatch->setFixedSize(48, 24);
    m_swatch->setFrameShape(QFrame::Box);
    m_swatch->setAutoFillBackground(true);
    // The first custom colour is the last one picked, in this run or before.
    ShowColor(QColorDialog::customColor(0));

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_intro, 0, 0, 1, 3);
    const struct {
        const char* name;
        const char* text;
        int row;
        int column;
        void (DemoDialogsPage::*action)();
    } buttons[] = {
        { "confirmButton", QT_TR_NOOP("Clear history..."), 1, 0, &DemoDialogsPage::Confirm },
        { "resetConfirmationButton", QT_TR_NOOP("Ask again"), 1, 1, &DemoDialogsPage::ResetConfirmation },
        { "informButton", QT_TR_NOOP("About support..."), 2, 0, &DemoDialogsPage::Inform },
        { "driverMessageButton", QT_TR_NOOP("Graphics driver message..."), 2, 1,
            &DemoDialogsPage::ShowDriverMessage },
        { "restartButton", QT_TR_NOOP("Restart..."), 3, 0, &DemoDialogsPage::Restart },
        { "colorButton", QT_TR_NOOP("Pick a colour..."), 4, 0, &DemoDialogsPage::PickColor },
    };
    for (const auto& b : buttons) {
        auto* button = new QPushButton;
        button->setObjectName(QLatin1String(b.name));
        grid->addWidget(button, b.row, b.column);
        connect(button, &QPushButton::clicked, this, b.action);
        m_buttons.emplace_back(button, b.text);
    }
    grid->addWidget(m_swatch, 4, 1, Qt::AlignLeft);
    grid->addWidget(m_result, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(2, 1);
    Retranslate();
}

void DemoDialogsPage::Retranslate()
{
    m_intro->setText(tr("Message boxes and helpers every product of the family shares."));
    for (const auto& [button, text] : m_buttons)
        button->setText(tr(text));
}

void DemoDialogsPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QWidget::changeEvent(event);
}

void DemoDialogsPage::Confirm()
{
    Zentar::App::ConfirmationAlertBox box(m_app.GetProductSettingsManager(), Zentar::Util::AlertBox::Question,
        tr("Clear history"), tr("Do you want to clear the list of recent files?"),
        QMessageBox::Yes | QMessageBox::No, window());
    box.SetConfirmationId(kConfirmationId);
    const auto answer = box.Exec();
    m_result->setText(answer == QMessageBox::Yes ? tr("History cleared.") : tr("History kept."));
}

void DemoDialogsPage::ResetConfirmation()
{
    Zentar::App::ConfirmationAlertBox box(m_app.GetProductSettingsManager(), Zentar::Util::AlertBox::Question,
        QString(), QString(), QMessageBox::Ok);
    box.SetConfirmationId(kConfirmationId);
    box.Reset();
    m_result->setText(tr("The confirmation will be shown again."));
}

void DemoDialogsPage::Restart()
{
    m_app.TryToRestart(Zentar::Enums::WorkingMode::Interactive, QString());
}

void DemoDialogsPage::Inform()
{
    Zentar::App::Informer informer([this] { return window(); });
    const auto pressed
        = informer.ExecDialog(tr("Our support team answers within a day. Write to "
                                 "<a href=\"mailto:support@zentar.example\">support@zentar.example</a>; "
                                 "clicking the address copies it."),
            QStringLiteral("https://zentar.example/support"), QString(), Zentar::Util::AlertBox::Information,
            { { QMessageBox::Ok, tr("Got it") }, { QMessageBox::Cancel, QString() } });
    m_result->setText(pressed == QMessageBox::Ok ? tr("Informed.") : tr("Dismissed."));
}

void DemoDialogsPage::ShowDriverMessage()
{
    Zentar::App::Informer informer([this] { return window(); });
    informer.ExecDialog(GetGPUNeedSetupDriverMessage(Zentar::URLKeys::HARDWARE_ACCELERATION_HELP_URL),
        QString(), QString(), Zentar::Util::AlertBox::Warning, { { QMessageBox::Ok, QString() } });
}

void DemoDialogsPage::PickColor()
{
    const QColor color = QColorDialog::getColor(m_swatch->palette().color(QPalette::Window), window(),
        tr("Pick a colour"), QColorDialog::DontUseNativeDialog);
    if (!color.isValid())
        return;
    // Keeps the picks as custom colours, newest first.
    for (int i = QColorDialog::customCount() - 1; i > 0; --i)
        QColorDialog::setCustomColor(i, QColorDialog::customColor(i - 1));
    QColorDialog::setCustomColor(0, color);
    ShowColor(color);
    m_result->setText(tr("Picked %1. Custom colours are kept when the demo restarts.").arg(color.name()));
}

void DemoDialogsPage::ShowColor(const QColor& color)
{
    QPalette palette = m_swatch->palette();
    palette.setColor(QPalette::Window, color);
    m_swatch->setPalette(palette);
}

void AddMacStyleMenus(QMenuBar* menuBar, Zentar::App::Application& app)
{
    QMenu* appMenu = menuBar->addMenu(QApplication::applicationName());
    appMenu->setObjectName(QStringLiteral("menuMacOSMenu"));
    appMenu->addAction(QObject::tr("Hide"))->setObjectName(QStringLiteral("action_Hide"));
    appMenu->addAction(QObject::tr("Hide Others"))->setObjectName(QStringLiteral("action_Hide_Others"));
    appMenu->addSeparator();
    appMenu->addAction(QObject::tr("Preferences..."))->setObjectName(QStringLiteral("action_Preferences"));
    appMenu->addSeparator();
    QAction* quit = appMenu->addAction(QObject::tr("Quit"), &app, [&app] { app.TryToQuit(); });
    // The File menu already answers the Quit key everywhere; this entry only
    // while its own menu is open, so that the key is not ambiguous.
    quit->setShortcutContext(Qt::WidgetShortcut);

    QMenu* windowMenu = menuBar->addMenu(QObject::tr("Window"));
    windowMenu->setObjectName(QStringLiteral("menuWindow"));
    windowMenu->addAction(QObject::tr("Minimize"))->setObjectName(QStringLiteral("actionMinimize"));
    windowMenu->addAction(QObject::tr("Zoom"))->setObjectName(QStringLiteral("actionZoom"));
    windowMenu->addSeparator();
    windowMenu->addAction(QObject::tr("Bring All to Front"))
        ->setObjectName(QStringLiteral("actionBring_all_to_Front"));

    // Only main windows are minimised and zoomed; tool windows stay put.
    new Zentar::App::MacMenuActionHandler(
        menuBar, [](QWidget* window) { return qobject_cast<QMainWindow*>(window) != nullptr; });
}
