#include "OsUtil.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace Zentar::Util::Os
{

namespace
{

// State letter of /proc/<pid>/stat: the field after the command name, which
// is in parentheses and may itself hold spaces and parentheses.
char ProcessState(const std::string& procDir)
{
    std::ifstream in(procDir + "/stat");
    std::stringstream content;
    content << in.rdbuf();
    const std::string stat = content.str();
    const auto close = stat.rfind(')');
    if (close == std::string::npos || close + 2 >= stat.size())
        return '?';
    return stat[close + 2];
}

std::string ReadLink(const std::string& path)
{
    std::string target(PATH_MAX, '\0');
    const ssize_t n = readlink(path.c_str(), &target[0], target.size());
    if (n <= 0 || size_t(n) >= target.size())
        return {};
    target.resize(size_t(n));
    return target;
}

std::string RealPath(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace

int64_t ProcessStartTimeMs(int64_t pid)
{
    if (pid <= 0 || pid > INT_MAX)
        return -1;
    // Field 22 of /proc/<pid>/stat is the start in clock ticks after boot;
    // fields are counted after the parenthesised command name.
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    unsigned long long ticks = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 22) {
            ticks = std::strtoull(field.c_str(), nullptr, 10);
            break;
        }
    }
    const std::string machine = ReadFile("/proc/stat");
    const auto at = machine.find("\nbtime ");
    const long hz = sysconf(_SC_CLK_TCK);
    if (at == std::string::npos || hz <= 0 || ticks == 0)
        return -1;
    const long long bootSeconds = std::strtoll(machine.c_str() + at + 7, nullptr, 10);
    return bootSeconds * 1000 + static_cast<long long>(ticks * 1000 / static_cast<unsigned long long>(hz));
}

bool IsProcessRunning(int64_t pid, const std::string& exeUtf8)
{
    if (pid <= 0 || pid > INT_MAX || exeUtf8.empty())
        return false;
    const std::string procDir = "/proc/" + std::to_string(pid);
    // Fails for a gone process and for one of another user.
    std::string exe = ReadLink(procDir + "/exe");
    if (exe.empty())
        return false;
    static const std::string deleted = " (deleted)";
    if (exe.size() > deleted.size() && exe.compare(exe.size() - deleted.size(), deleted.size(), deleted) == 0)
        exe.resize(exe.size() - deleted.size());
    if (exe != exeUtf8 && exe != RealPath(exeUtf8))
        return false;
    const char state = ProcessState(procDir);
    return state != 'Z' && state != 'X' && state != 'x' && state != '?';
}

} // namespace Zentar::Util::Os
