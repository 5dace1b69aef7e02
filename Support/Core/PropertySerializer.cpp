#include <Zentar/Core/PropertySerializer.h>

#include <Zentar/Core/Exception.h>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <sstream>

namespace Zentar::Core
{

namespace
{

namespace pt = boost::property_tree;

void FromTree(Property& node, const pt::ptree& tree)
{
    node.SetString(tree.data());
    for (const auto& [name, child] : tree) {
        Property p(name);
        FromTree(p, child);
        node.AddChild(std::move(p));
    }
}

pt::ptree ToTree(const Property& node)
{
    pt::ptree tree;
    if (node.GetChildren().empty()) {
        tree.put_value(node.GetString());
        return tree;
    }
    for (const auto& child : node.GetChildren())
        tree.push_back({ child.GetName(), ToTree(child) });
    return tree;
}

} // namespace

void PropertySerializer::DeserializeText(Property& target, const std::string& text, bool clearTarget)
{
    // A root that is not an object would be read as a lone value, which no
    // caller can use; reject it like any other malformed text.
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos || text[first] != '{')
        ZENTAR_THROW(Zentar::Exception, "Property data must be a JSON object");

    pt::ptree tree;
    std::istringstream in(text);
    try {
        pt::read_json(in, tree);
    } catch (const pt::json_parser_error& e) {
        ZENTAR_THROW(Zentar::Exception,
            "Malformed property data at line " + std::to_string(e.line()) + ": " + e.message());
    }

    if (clearTarget) {
        target.Clear();
        FromTree(target, tree);
        return;
    }
    Property read(target.GetName());
    FromTree(read, tree);
    for (const auto& child : read.GetChildren()) {
        // Unnamed children are array items: they never replace anything.
        if (!child.GetName().empty())
            target.RemoveChildren(child.GetName());
    }
    for (const auto& child : read.GetChildren())
        target.AddChild(child);
}

std::string PropertySerializer::Serialize(const Property& root)
{
    std::ostringstream out;
    pt::write_json(out, ToTree(root), true);
    return out.str();
}

} // namespace Zentar::Core
