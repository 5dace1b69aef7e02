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

} // namespace

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
