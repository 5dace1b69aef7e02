#pragma once

#include <string>

namespace Zentar
{

/// A file-system path held as UTF-8 text with '/' separators.
class ioPath
{
public:
    ioPath() = default;
    /// A path of UTF-8 text, taken as it is.
    ioPath(std::string utf8)
        : m_path(std::move(utf8))
    {
    }
    /// A path of UTF-8 text; null gives the empty path.
    ioPath(const char* utf8)
        : m_path(utf8 ? utf8 : "")
    {
    }

    /// The path as UTF-8 text.
    const std::string& utf8string() const { return m_path; }
    /// Whether the path is empty.
    bool empty() const { return m_path.empty(); }

    /// Last component, and everything before it (no trailing separator).
    std::string filename() const;
    /// Everything before the last component, without a trailing separator.
    ioPath parent_path() const;

    /// Appends `other` as a further component, with one '/' between them; an
    /// absolute `other` replaces the path, an empty one changes nothing.
    ioPath& operator/=(const ioPath& other);
    friend ioPath operator/(ioPath lhs, const ioPath& rhs) { return lhs /= rhs; }
    friend bool operator==(const ioPath& a, const ioPath& b) { return a.m_path == b.m_path; }
    friend bool operator!=(const ioPath& a, const ioPath& b) { return a.m_path != b.m_path; }
    friend bool operator<(const ioPath& a, const ioPath& b) { return a.m_path < b.m_path; }

private:
    std::string m_path;
};

} // namespace Zentar
