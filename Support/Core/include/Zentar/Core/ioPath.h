#pragma once

#include <string>

namespace Zentar
{

// A file-system path held as UTF-8 text with '/' separators.
class ioPath
{
public:
    ioPath() = default;
    ioPath(std::string utf8)
        : m_path(std::move(utf8))
    {
    }
    ioPath(const char* utf8)
        : m_path(utf8 ? utf8 : "")
    {
    }

    const std::string& utf8string() const { return m_path; }
    bool empty() const { return m_path.empty(); }

    // Last component, and everything before it (no trailing separator).
    std::string filename() const;
    ioPath parent_path() const;

    ioPath& operator/=(const ioPath& other);
    friend ioPath operator/(ioPath lhs, const ioPath& rhs) { return lhs /= rhs; }
    friend bool operator==(const ioPath& a, const ioPath& b) { return a.m_path == b.m_path; }
    friend bool operator!=(const ioPath& a, const ioPath& b) { return a.m_path != b.m_path; }
    friend bool operator<(const ioPath& a, const ioPath& b) { return a.m_path < b.m_path; }

private:
    std::string m_path;
};

} // namespace Zentar
