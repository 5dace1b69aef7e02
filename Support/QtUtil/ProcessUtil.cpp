#include <Zentar/QtUtil/ProcessUtil.h>
#include <Zentar/QtUtil/Utf8.h>

#include "OsUtil.h"

#include <QDir>
#include <QFileInfo>

namespace Zentar::Util
{

bool IsProcessRunning(qint64 pid, const QString& executablePath)
{
    if (pid <= 0 || executablePath.isEmpty())
        return false;
    const QFileInfo info(executablePath);
    // A program file deleted since its process started has no canonical path.
    QString path = info.canonicalFilePath();
    if (path.isEmpty())
        path = QDir::cleanPath(info.absoluteFilePath());
    return Os::IsProcessRunning(pid, QStringToUtf8(path));
}

QDateTime ProcessStartTime(qint64 pid)
{
    const int64_t ms = Os::ProcessStartTimeMs(pid);
    return ms < 0 ? QDateTime() : QDateTime::fromMSecsSinceEpoch(ms);
}

} // namespace Zentar::Util
