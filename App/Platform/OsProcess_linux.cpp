#include "OsProcess.h"

#include <Zentar/Core/NamedLock.h>
#include <Zentar/Core/StringConv.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace Zentar::App::Os
{
namespace
{

// Splits a command line the way Windows programs do for the common cases:
// blanks separate, double quotes group, \" is a literal quote.
std::vector<std::string> SplitCommandLine(const std::string& text)
{
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false;
    bool haveArg = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() && text[i + 1] == '"') {
            current += '"';
            haveArg = true;
            ++i;
        } else if (c == '"') {
            inQuotes = !inQuotes;
            haveArg = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (haveArg)
                args.push_back(current);
            current.clear();
            haveArg = false;
        } else {
            current += c;
            haveArg = true;
        }
    }
    if (haveArg)
        args.push_back(current);
    return args;
}

// Collects the child when it ends, as nobody else waits for it: a started
// program is not ours to wait for, as on Windows, and must not linger as a
// zombie while this process lives. The thread keeps a pidfd of its own.
void ReapWhenEnded(int pidfd)
{
    // Linux 5.4 and later; the C library's headers may not name it yet.
    constexpr auto kByPidfd = static_cast<idtype_t>(3);
    const int own = fcntl(pidfd, F_DUPFD_CLOEXEC, 3);
    if (own < 0)
        return;
    std::thread([own] {
        siginfo_t info {};
        while (waitid(kByPidfd, static_cast<id_t>(own), &info, WEXITED) < 0 && errno == EINTR) { }
        close(own);
    }).detach();
}

ProcessHandle Spawn(const std::vector<std::string>& args, const std::string& directory)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!directory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    // Standard streams of its own, as a windowed program has: a logging
    // child must not die of SIGPIPE because our error output was a pipe
    // that has been closed.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return 0;
    const long fd = syscall(SYS_pidfd_open, pid, 0);
    if (fd < 0)
        return 0;
    ReapWhenEnded(static_cast<int>(fd));
    return static_cast<ProcessHandle>(fd);
}

// Handles of 0 mean failure to the callers, so descriptor 0 (free when
// standard input was closed) is moved elsewhere.
uint64_t AsHandle(int fd)
{
    if (fd == 0) {
        const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 1);
        close(fd);
        fd = moved;
    }
    return fd < 0 ? 0 : static_cast<uint64_t>(fd);
}

} // namespace

ProcessHandle StartWithShell(
    const std::wstring& file, const std::wstring& parameters, const std::wstring& directory, int)
{
    const std::string path = Core::Utf8FromWstring(file);
    const std::string dir = Core::Utf8FromWstring(directory);
    std::string resolved = path;
    if (!dir.empty() && !path.empty() && path.front() != '/')
        resolved = dir + "/" + path;

    struct stat st {
    };
    const bool isDocument
        = stat(resolved.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(resolved.c_str(), X_OK) != 0;
    std::vector<std::string> args;
    if (isDocument) {
        args = { "xdg-open", resolved };
    } else {
        args = SplitCommandLine(Core::Utf8FromWstring(parameters));
        args.insert(args.begin(), path);
    }
    return Spawn(args, dir);
}

void CloseProcessHandle(ProcessHandle handle)
{
    if (handle)
        close(static_cast<int>(handle));
}

ProcessHandle DuplicateProcessHandle(ProcessHandle handle)
{
    return handle ? AsHandle(fcntl(static_cast<int>(handle), F_DUPFD_CLOEXEC, 1)) : 0;
}

uint32_t GetCurrentProcessId()
{
    return static_cast<uint32_t>(getpid());
}

void PutEnvironment(const std::wstring& assignment)
{
    const std::string text = Core::Utf8FromWstring(assignment);
    const auto eq = text.find('=');
    if (eq == std::string::npos || eq == 0)
        return;
    setenv(text.substr(0, eq).c_str(), text.substr(eq + 1).c_str(), 1);
}

std::shared_ptr<void> CreateNamedMutex(const std::wstring& name)
{
    auto lock = std::make_shared<Core::NamedLock>(Core::Utf8FromWstring(name));
    lock->TryLock();
    return lock;
}

ProcessHandle OpenProcess(uint32_t processId)
{
    const pid_t pid = static_cast<pid_t>(processId);
    if (pid <= 0)
        return 0;
    return AsHandle(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
}

EventHandle CreateManualResetEvent()
{
    return AsHandle(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
}

void SetEvent(EventHandle event)
{
    // The counter is never read back, so the event stays set.
    const uint64_t one = 1;
    if (event)
        while (write(static_cast<int>(event), &one, sizeof one) < 0 && errno == EINTR) { }
}

void CloseEvent(EventHandle event)
{
    if (event)
        close(static_cast<int>(event));
}

WaitResult WaitForProcessOrEvent(ProcessHandle process, EventHandle event, int timeoutMs)
{
    pollfd fds[2];
    nfds_t count = 0;
    if (process)
        fds[count++] = { static_cast<int>(process), POLLIN, 0 };
    if (event)
        fds[count++] = { static_cast<int>(event), POLLIN, 0 };
    if (count == 0)
        return WaitResult::Failed;
    int ready;
    while ((ready = poll(fds, count, timeoutMs < 0 ? -1 : timeoutMs)) < 0) {
        if (errno != EINTR)
            return WaitResult::Failed;
    }
    if (ready == 0)
        return WaitResult::TimedOut;
    for (nfds_t i = 0; i < count; ++i) {
        if (fds[i].revents & (POLLERR | POLLNVAL))
            return WaitResult::Failed;
        if (fds[i].revents & (POLLIN | POLLHUP))
            return (i == 0 && process) ? WaitResult::ProcessEnded : WaitResult::EventSet;
    }
    return WaitResult::Failed;
}

} // namespace Zentar::App::Os
