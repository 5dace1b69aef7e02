#pragma once

#include <QDateTime>
#include <QString>

namespace Zentar::Util
{

/// True when process `pid` is alive and runs the program `executablePath`
/// (compared after resolving links, so a reused pid of another program does
/// not count). A zombie, a process we may not inspect, pid 0 or a negative
/// pid give false. A program file replaced or deleted since the process
/// started still counts as the same path.
bool IsProcessRunning(qint64 pid, const QString& executablePath);

/// When process `pid` started (to about a second); invalid when it cannot be told.
QDateTime ProcessStartTime(qint64 pid);

} // namespace Zentar::Util
