#pragma once

#include <QString>

namespace Zentar::Util
{

/// Removes from the directory `path` the entries last modified more than
/// `days` days ago; with `days` <= 0 every entry goes. Sub-directories are
/// cleaned the same way and removed when that left them empty (an empty one
/// that was already there goes only when it is old itself). Symbolic links
/// are never followed: a link is an entry judged by its own time, and its
/// target is left alone. With `removeSelf`, `path` itself is removed when it
/// ends up empty. A missing `path` is nothing to do.
/// Returns false, and logs each failure, when something due for removal could
/// not be removed or `path` is not a directory.
bool RemoveDir(const QString& path, int days, bool removeSelf);

} // namespace Zentar::Util
