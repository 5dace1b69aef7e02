#include <Zentar/Core/ioPath.h>

namespace Zentar
{

std::string ioPath::filename() const
{
    const auto slash = m_path.find_last_of('/');
    return slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

ioPath ioPath::parent_path() const
{
    const auto slash = m_path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    if (slash == 0)
        return ioPath("/");
    return ioPath(m_path.substr(0, slash));
}

ioPath& ioPath::operator/=(const ioPath& other)
{
    if (other.m_path.empty())
        return *this;
    if (m_path.empty() || other.m_path.front() == '/') {
        m_path = other.m_path;
        return *this;
    }
    if (m_path.back() != '/')
        m_path += '/';
    m_path += other.m_path;
    return *this;
}

} // namespace Zentar
