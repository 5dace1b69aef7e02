#pragma once

#include <cstdint>
#include <string>

namespace Zentar::Core
{

/// A product version: major.minor.patch.build.
struct Version {
    //!@{
    /// The four numbers, most significant first.
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t patch = 0;
    uint32_t build = 0;
    //!@}

    Version() = default;
    /// A version of the given numbers.
    Version(uint32_t ma, uint32_t mi, uint32_t pa = 0, uint32_t bu = 0)
        : major(ma)
        , minor(mi)
        , patch(pa)
        , build(bu)
    {
    }

    /// "major.minor.patch.build"; missing or malformed fields read as 0.
    static Version FromString(const std::string& text);

    friend bool operator==(const Version& a, const Version& b)
    {
        return a.major == b.major && a.minor == b.minor && a.patch == b.patch && a.build == b.build;
    }
    friend bool operator!=(const Version& a, const Version& b) { return !(a == b); }
};

} // namespace Zentar::Core
