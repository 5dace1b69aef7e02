#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <QObject>

#include <functional>
#include <memory>

class QMenuBar;
class QWidget;

namespace Zentar::App
{

/// Gives a menu bar the application and window menu behaviour of macOS. The
/// product names its menus and actions:
///   "menuMacOSMenu": "action_Hide" (Ctrl+H), "action_Hide_Others"
///       (Ctrl+Alt+H), "action_Preferences" (the Preferences key) and, as its
///       last action, the quit entry (the Quit key);
///   "menuWindow": "actionMinimize", "actionZoom", "actionBring_all_to_Front".
/// Minimise and zoom act on the active window when `canManipulate` allows it
/// (an empty predicate allows every window). Missing menus or actions are
/// skipped. The handler is a child of the menu bar.
class ZENTAR_APP_EXPORT MacMenuActionHandler : public QObject
{
    Q_OBJECT

public:
    /// Connects the actions of `menuBar`.
    MacMenuActionHandler(QMenuBar* menuBar, std::function<bool(QWidget*)> canManipulate);
    ~MacMenuActionHandler() override;

private Q_SLOTS:
    void onHideItself();
    void onHideOthers();
    void onMinimize();
    void onZoom();
    void onBringAllToFront();

private:
    virtual bool canManipulateWithWidget(QWidget* widget);

    struct Private;
    std::unique_ptr<Private> const d;
};

} // namespace Zentar::App
