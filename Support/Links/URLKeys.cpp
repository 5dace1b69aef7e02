#include <Zentar/Links/URLKeys.h>

#include <array>

namespace Zentar
{

namespace
{

constexpr std::array<const char*, LAST_URL_KEY + 1> kNames = [] {
    std::array<const char*, LAST_URL_KEY + 1> names {};
#define ZENTAR_URL_KEY_NAME(name, value) names[value] = #name;
    ZENTAR_URL_KEYS(ZENTAR_URL_KEY_NAME)
#undef ZENTAR_URL_KEY_NAME
    return names;
}();

} // namespace

std::string URLKeyName(URLKeys key)
{
    const int value = static_cast<int>(key);
    if (value < FIRST_URL_KEY || value > LAST_URL_KEY || !kNames[value])
        return {};
    return kNames[value];
}

std::optional<URLKeys> URLKeyFromName(const std::string& name)
{
    for (int value = FIRST_URL_KEY; value <= LAST_URL_KEY; ++value)
        if (kNames[value] && name == kNames[value])
            return static_cast<URLKeys>(value);
    return std::nullopt;
}

} // namespace Zentar
