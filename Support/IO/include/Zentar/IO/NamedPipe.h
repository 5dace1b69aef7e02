#pragma once

#include <string>

namespace Zentar::Core
{

// Named pipes are known by Windows-style names ("\\.\pipe\Name"). Elsewhere
// the name maps to a FIFO "Name" in a directory private to the user (mode
// 0700) below the runtime directory.

/// True when a pipe (or any file) of this name exists. No side effects.
bool NamedPipeExists(const std::string& name);

/// Removes the pipe file of this name, for a maker known to have died before
/// its peer connected (a live maker removes its own). True when one was
/// removed; systems that drop pipes with their last handle have none to remove.
bool RemoveNamedPipe(const std::string& name);

/// Where the pipe of this name lives on this system; empty when the name is
/// not usable as a pipe name.
std::string NamedPipePath(const std::string& name);

} // namespace Zentar::Core
