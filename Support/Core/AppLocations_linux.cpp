#include <Zentar/Core/AppLocations.h>

#include <climits>
#include <unistd.h>

namespace Zentar::Core
{

ioPath AppLocations::ExecutablePath()
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0)
        return {};
    return ioPath(std::string(buffer, static_cast<size_t>(n)));
}

} // namespace Zentar::Core
