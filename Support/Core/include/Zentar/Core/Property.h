#pragma once

#include <string>
#include <vector>

namespace Zentar::Core
{

/// A named node of a tree of text values, as read from a structured text file.
/// Children keep their order; names need not be unique (arrays hold unnamed
/// children), lookups by name find the first match.
class Property
{
public:
    /// A node with that name, no value and no children.
    explicit Property(std::string name = std::string());

    /// The node's name; empty for an array element.
    const std::string& GetName() const { return m_name; }
    /// The node's value as text.
    const std::string& GetString() const { return m_value; }
    /// Replaces the value; the children stay.
    void SetString(std::string value) { m_value = std::move(value); }

    /// Whether a child has that name.
    bool ChildExists(const std::string& name) const;
    /// The first child of that name; throws std::out_of_range when there is none.
    const Property& operator[](const std::string& name) const;
    /// The first child of that name, appended empty when there is none.
    Property& operator[](const std::string& name);

    /// The children in order.
    const std::vector<Property>& GetChildren() const { return m_children; }
    /// Appends a child, also when one of that name exists; returns it.
    Property& AddChild(Property child);
    /// Removes every child of that name; returns how many went.
    size_t RemoveChildren(const std::string& name);
    /// Drops the value and all children, keeping the name.
    void Clear();

    friend bool operator==(const Property& a, const Property& b);
    friend bool operator!=(const Property& a, const Property& b) { return !(a == b); }

private:
    std::string m_name;
    std::string m_value;
    std::vector<Property> m_children;
};

} // namespace Zentar::Core
