#pragma once

class QWidget;

namespace Zentar::Util
{

/// The process's main window, the parent of dialogs that pop up on their own.
/// A window deleted after it was set reads back as null. GUI thread only.
class SpontaneousDialog
{
public:
    /// Sets the main window; not owned, null clears it.
    static void SetMainWindow(QWidget* window);
    /// The main window; null when none is set or it was deleted.
    static QWidget* GetMainWindow();
};

} // namespace Zentar::Util
