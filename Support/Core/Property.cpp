#include <Zentar/Core/Property.h>

#include <algorithm>
#include <stdexcept>

namespace Zentar::Core
{

Property::Property(std::string name)
    : m_name(std::move(name))
{
}

bool Property::ChildExists(const std::string& name) const
{
    return std::any_of(
        m_children.begin(), m_children.end(), [&](const Property& c) { return c.m_name == name; });
}

const Property& Property::operator[](const std::string& name) const
{
    for (const auto& child : m_children)
        if (child.m_name == name)
            return child;
    throw std::out_of_range("Property [" + m_name + "] has no child [" + name + "]");
}

Property& Property::operator[](const std::string& name)
{
    for (auto& child : m_children)
        if (child.m_name == name)
            return child;
    return AddChild(Property(name));
}

Property& Property::AddChild(Property child)
{
    m_children.push_back(std::move(child));
    return m_children.back();
}

size_t Property::RemoveChildren(const std::string& name)
{
    const auto before = m_children.size();
    m_children.erase(std::remove_if(m_children.begin(), m_children.end(),
                         [&](const Property& c) { return c.m_name == name; }),
        m_children.end());
    return before - m_children.size();
}

void Property::Clear()
{
    m_value.clear();
    m_children.clear();
}

bool operator==(const Property& a, const Property& b)
{
    return a.m_name == b.m_name && a.m_value == b.m_value && a.m_children == b.m_children;
}

} // namespace Zentar::Core
