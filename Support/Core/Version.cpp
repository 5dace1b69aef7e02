#include <Zentar/Core/Version.h>

#include <cstdlib>
#include <sstream>

namespace Zentar::Core
{

Version Version::FromString(const std::string& text)
{
    uint32_t fields[4] = { 0, 0, 0, 0 };
    std::istringstream in(text);
    std::string part;
    for (int i = 0; i < 4 && std::getline(in, part, '.'); ++i) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(part.c_str(), &end, 10);
        fields[i] = (end && *end == '\0' && !part.empty()) ? static_cast<uint32_t>(value) : 0;
    }
    return Version(fields[0], fields[1], fields[2], fields[3]);
}

} // namespace Zentar::Core
