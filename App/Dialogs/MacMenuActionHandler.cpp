#include <Zentar/App/MacMenuActionHandler.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace Zentar::App
{

namespace
{

QAction* FindAction(const QList<QAction*>& actions, const QString& name)
{
    for (QAction* action : actions)
        if (action->objectName() == name)
            return action;
    return nullptr;
}

} // namespace

struct MacMenuActionHandler::Private {
    std::function<bool(QWidget*)> canManipulate;
};

MacMenuActionHandler::MacMenuActionHandler(QMenuBar* menuBar, std::function<bool(QWidget*)> canManipulate)
    : QObject(menuBar)
    , d(std::make_unique<Private>())
{
    d->canManipulate = std::move(canManipulate);
    if (!menuBar)
        return;

    if (auto* appMenu = menuBar->findChild<QMenu*>(QStringLiteral("menuMacOSMenu"))) {
        const QList<QAction*> actions = appMenu->actions();
        if (QAction* hide = FindAction(actions, QStringLiteral("action_Hide"))) {
            connect(hide, &QAction::triggered, this, &MacMenuActionHandler::onHideItself);
            hide->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_H));
        }
        if (QAction* hideOthers = FindAction(actions, QStringLiteral("action_Hide_Others"))) {
            connect(hideOthers, &QAction::triggered, this, &MacMenuActionHandler::onHideOthers);
            hideOthers->setShortcut(QKeySequence(Qt::CTRL + Qt::ALT + Qt::Key_H));
        }
        if (QAction* preferences = FindAction(actions, QStringLiteral("action_Preferences")))
            preferences->setShortcut(QKeySequence::Preferences);
        if (!actions.isEmpty())
            actions.last()->setShortcut(QKeySequence::Quit);
    }

    if (auto* windowMenu = menuBar->findChild<QMenu*>(QStringLiteral("menuWindow"))) {
        const QList<QAction*> actions = windowMenu->actions();
        if (QAction* minimize = FindAction(actions, QStringLiteral("actionMinimize")))
            connect(minimize, &QAction::triggered, this, &MacMenuActionHandler::onMinimize);
        if (QAction* zoom = FindAction(actions, QStringLiteral("actionZoom")))
            connect(zoom, &QAction::triggered, this, &MacMenuActionHandler::onZoom);
        if (QAction* bringToFront = FindAction(actions, QStringLiteral("actionBring_all_to_Front")))
            connect(bringToFront, &QAction::triggered, this, &MacMenuActionHandler::onBringAllToFront);
    }
}

MacMenuActionHandler::~MacMenuActionHandler() = default;

// Hiding and bringing windows to the front are the window system's business
// on the platforms we ship; the entries exist so that the menu looks right.
void MacMenuActionHandler::onHideItself() { }

void MacMenuActionHandler::onHideOthers() { }

void MacMenuActionHandler::onBringAllToFront() { }

void MacMenuActionHandler::onMinimize()
{
    QWidget* window = QApplication::activeWindow();
    if (window && canManipulateWithWidget(window))
        window->showMinimized();
}

void MacMenuActionHandler::onZoom()
{
    QWidget* window = QApplication::activeWindow();
    if (!window || !canManipulateWithWidget(window))
        return;
    if (window->isMaximized())
        window->showNormal();
    else
        window->showMaximized();
}

bool MacMenuActionHandler::canManipulateWithWidget(QWidget* widget)
{
    return !d->canManipulate || d->canManipulate(widget);
}

} // namespace Zentar::App
