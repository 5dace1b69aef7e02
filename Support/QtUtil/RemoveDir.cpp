#include <Zentar/QtUtil/RemoveDir.h>
#include <Zentar/QtUtil/Utf8.h>

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
    const bool ok = Os::RemoveOldEntries(QStringToUtf8(path), days, removeSelf, errors);
    for (const std::string& error : errors)
        LOG(ERROR) << "RemoveDir failed: " << error;
    return ok;
}

} // namespace Zentar::Util
