#include "OsWindow.h"

#include <windows.h>

namespace Zentar::App::Os
{

bool ActivateWindow(WindowId window)
{
    const HWND handle = reinterpret_cast<HWND>(window);
    if (!handle || !IsWindow(handle))
        return false;
    SwitchToThisWindow(handle, FALSE);
    return true;
}

} // namespace Zentar::App::Os
