#pragma once

#include <functional>

// Requests from outside to end the process in order: the signals a desktop
// session, a service manager or a terminal sends (SIGTERM, SIGINT, SIGHUP),
// and the end of the desktop session on systems that announce it by window
// message.
namespace Zentar::App::Os
{

enum class QuitSignal { Terminate, Interrupt, Hangup };

// A descriptor that becomes readable when a watched quit signal arrives;
// the signal handler does nothing but write to it. -1 where quit signals
// are not delivered this way. Made on first use.
int QuitSignalDescriptor();

// Starts (or stops, putting back the previous disposition) catching one
// signal. Returns false where the signal does not exist.
bool WatchQuitSignal(QuitSignal signal, bool watch);

// Reads what has arrived on the descriptor; returns the number of quit
// signals taken (0 when none).
int TakeQuitSignals();

// While a quit is under way, a further quit signal ends the process at once
// with the signal's default action. A quit that was refused is no longer
// under way: the next signal asks again.
void SetQuitUnderWay(bool underWay);

enum class SessionEndMessage { None, Query, Ending, Cancelled };

// Tells a native message that announces the end of the desktop session
// (`eventType` as Qt names native messages) from any other.
SessionEndMessage ClassifySessionEndMessage(const char* eventType, const void* message);

// What the application's native event filter does with every message:
// calls `closeSession` when the session is ending now (the process may be
// ended once the message is answered), and returns what the message was.
inline SessionEndMessage HandleSessionEndMessage(
    const char* eventType, const void* message, const std::function<void()>& closeSession)
{
    const SessionEndMessage kind = ClassifySessionEndMessage(eventType, message);
    if (kind == SessionEndMessage::Ending && closeSession)
        closeSession();
    return kind;
}

} // namespace Zentar::App::Os
