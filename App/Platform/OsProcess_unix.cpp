#include "OsProcess.h"

#include <Zentar/Core/NamedLock.h>
#include <Zentar/Core/StringConv.h>

#include <cstdlib>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace Zentar::App::Os {
namespace {

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
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return 0;
    const long fd = syscall(SYS_pidfd_open, pid, 0);
    return fd < 0 ? 0 : static_cast<ProcessHandle>(fd);
}

} // namespace

ProcessHandle ShellExecute(const std::wstring& file, const std::wstring& parameters,
                           const std::wstring& directory, int)
{
    const std::string path = Core::Utf8FromWstring(file);
    const std::string dir = Core::Utf8FromWstring(directory);
    std::string resolved = path;
    if (!dir.empty() && !path.empty() && path.front() != '/')
        resolved = dir + "/" + path;

    struct stat st{};
    const bool isDocument = stat(resolved.c_str(), &st) == 0 && S_ISREG(st.st_mode)
                            && access(resolved.c_str(), X_OK) != 0;
    std::vector<std::string> args;
    if (isDocument) {
        args = {"xdg-open", resolved};
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

uint32_t GetCurrentProcessId() { return static_cast<uint32_t>(getpid()); }

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

} // namespace Zentar::App::Os
