#pragma once

#include <Zentar/App/WorkingMode.h>
#include <Zentar/App/ZentarAppExport.h>

#include <QPixmap>
#include <QString>

namespace Zentar::App
{

/// Quits the application and starts the same executable again with
/// `arguments` as its command line (blanks separate, double quotes group).
/// In the interactive mode the user is asked first, with `icon` on the
/// question when it is not null; a "Cancel", or the question closing with
/// the window it was asked over, changes nothing. Before quitting,
/// the crash history is cleared so that the restart is not taken for a crash.
/// Nothing is started when the application refuses to quit.
/// GUI thread, with an Application.
ZENTAR_APP_EXPORT void RestartApplication(
    Zentar::Enums::WorkingMode mode, const QPixmap& icon, const QString& arguments);

} // namespace Zentar::App
