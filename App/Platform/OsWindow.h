#pragma once

#include <cstdint>

// Windows of the window system, by their native ids.
namespace Zentar::App::Os
{

using WindowId = uint64_t;

// Brings the window to the front and gives it the input focus, as the user
// switching to it would. The window may belong to this process or, where
// the window system allows it, to another one. False when no such window
// was found.
bool ActivateWindow(WindowId window);

} // namespace Zentar::App::Os
