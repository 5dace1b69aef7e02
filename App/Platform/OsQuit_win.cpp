#include "OsQuit.h"

#include <windows.h>

#include <cstring>

namespace Zentar::App::Os
{

// Windows sends a GUI process no quit signals: the end of the session comes
// as window messages, below.
int QuitSignalDescriptor()
{
    return -1;
}

bool WatchQuitSignal(QuitSignal, bool)
{
    return false;
}

int TakeQuitSignals()
{
    return 0;
}

void SetQuitUnderWay(bool) { }

SessionEndMessage ClassifySessionEndMessage(const char* eventType, const void* message)
{
    if (!eventType || !message
        || (std::strcmp(eventType, "windows_generic_MSG") != 0
            && std::strcmp(eventType, "windows_dispatcher_MSG") != 0))
        return SessionEndMessage::None;
    const MSG* msg = static_cast<const MSG*>(message);
    switch (msg->message) {
    case WM_QUERYENDSESSION:
        return SessionEndMessage::Query;
    case WM_ENDSESSION:
        // Once this is answered with the session ending, the process may be
        // ended without any further message.
        return msg->wParam ? SessionEndMessage::Ending : SessionEndMessage::Cancelled;
    default:
        return SessionEndMessage::None;
    }
}

} // namespace Zentar::App::Os
