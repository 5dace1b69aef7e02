#pragma once

// What QtUtil asks of the operating system, in plain C++ types; one
// implementation per system in *_win.cpp and *_unix.cpp / *_linux.cpp.

#include <cstdint>
#include <string>
#include <vector>

namespace Zentar::Util::Os
{

// `exeUtf8` is an absolute path, canonical when the file still exists.
bool IsProcessRunning(int64_t pid, const std::string& exeUtf8);

// When process `pid` started, in milliseconds since the epoch; -1 when it
// cannot be told (no such process, no access).
int64_t ProcessStartTimeMs(int64_t pid);

// See RemoveDir(). Each entry that could not be removed adds one line
// ("path: reason") to `errors`.
bool RemoveOldEntries(
    const std::string& pathUtf8, int days, bool removeSelf, std::vector<std::string>& errors);

} // namespace Zentar::Util::Os
