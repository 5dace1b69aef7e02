#include <Zentar/QtUtil/RemoveDir.h>

#include "OsUtil.h"

#include <glog/logging.h>

namespace Zentar::Util
{

bool RemoveDir(const QString& path, int days, bool removeSelf)
{
    if (path.isEmpty()) {
        LOG(ERROR) << "RemoveDir: no directory given";
        return false;
    }
    std::vector<std::string> errors;
    const bool ok = Os::RemoveOldEntries(path.toUtf8().toStdString(), days, removeSelf, errors);
    for (const std::string& error : errors)
        LOG(ERROR) << "RemoveDir failed: " << error;
    return ok;
}

} // namespace Zentar::Util
