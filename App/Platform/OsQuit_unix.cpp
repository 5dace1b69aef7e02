#include "OsQuit.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace Zentar::App::Os
{
namespace
{

int g_pipe[2] = { -1, -1 };
std::atomic<int> g_pending { 0 };
std::atomic<bool> g_quitUnderWay { false };

struct Watched {
    int signal;
    bool watched = false;
    struct sigaction previous = {};
};
Watched g_signals[] = { { SIGTERM, false, {} }, { SIGINT, false, {} }, { SIGHUP, false, {} } };

Watched* Find(QuitSignal signal)
{
    switch (signal) {
    case QuitSignal::Terminate:
        return &g_signals[0];
    case QuitSignal::Interrupt:
        return &g_signals[1];
    case QuitSignal::Hangup:
        return &g_signals[2];
    }
    return nullptr;
}

// Only wakes the GUI thread. A second signal before the quit is done is the
// sender insisting: the process ends at once, as it would have without us.
void OnQuitSignal(int signal)
{
    const int savedErrno = errno;
    if (g_quitUnderWay.load() || g_pending.fetch_add(1) > 0) {
        struct sigaction dfl {
        };
        dfl.sa_handler = SIG_DFL;
        sigemptyset(&dfl.sa_mask);
        ::sigaction(signal, &dfl, nullptr);
        ::raise(signal); // delivered when the handler returns
    } else {
        const char byte = char(signal);
        (void)!::write(g_pipe[1], &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

int QuitSignalDescriptor()
{
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_NONBLOCK | O_CLOEXEC) != 0)
        g_pipe[0] = g_pipe[1] = -1;
    return g_pipe[0];
}

bool WatchQuitSignal(QuitSignal signal, bool watch)
{
    Watched* entry = Find(signal);
    if (!entry || QuitSignalDescriptor() < 0)
        return false;
    if (watch == entry->watched)
        return true;
    if (watch) {
        struct sigaction action {
        };
        action.sa_handler = OnQuitSignal;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        if (::sigaction(entry->signal, &action, &entry->previous) != 0)
            return false;
    } else {
        ::sigaction(entry->signal, &entry->previous, nullptr);
    }
    entry->watched = watch;
    return true;
}

int TakeQuitSignals()
{
    if (g_pipe[0] < 0)
        return 0;
    int taken = 0;
    char buffer[16];
    ssize_t n;
    while ((n = ::read(g_pipe[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        taken += n > 0 ? int(n) : 0;
    return taken;
}

void SetQuitUnderWay(bool underWay)
{
    g_quitUnderWay.store(underWay);
    if (!underWay)
        g_pending.store(0);
}

SessionEndMessage ClassifySessionEndMessage(const char*, const void*)
{
    // The desktop session's end comes through Qt here (commitDataRequest).
    return SessionEndMessage::None;
}

} // namespace Zentar::App::Os
