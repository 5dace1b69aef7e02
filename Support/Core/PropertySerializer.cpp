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

// Boost's parser and the tree walks recurse once per level: text nested far
// deeper would overflow the stack instead of being refused.
constexpr int kMaxDepth = 256;

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

// "line L, column C" of a byte offset; columns count characters, not bytes.
std::string Position(const std::string& text, std::size_t offset)
{
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

std::string Describe(const std::string& text, std::size_t offset)
{
    if (offset == std::string::npos)
        return "the end of the text at " + Position(text, text.size());
    const unsigned char c = static_cast<unsigned char>(text[offset]);
    if (offset == 0 && text.size() >= 2
        && (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0))
        return "a UTF-16 byte-order mark (save the file as UTF-8) at " + Position(text, offset);
    if (c >= 0x20 && c < 0x7F)
        return std::string("'") + static_cast<char>(c) + "' at " + Position(text, offset);
    static const char digits[] = "0123456789ABCDEF";
    return std::string("byte 0x") + digits[c >> 4] + digits[c & 0xF] + " at " + Position(text, offset);
}

// Offset of the first bracket that opens a level past kMaxDepth, or npos.
std::size_t TooDeep(const std::string& text)
{
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > kMaxDepth)
                return i;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return std::string::npos;
}

} // namespace

void PropertySerializer::DeserializeText(Property& target, const std::string& input, bool clearTarget)
{
    // Editors on Windows like to start UTF-8 files with a byte-order mark;
    // it is no content, and positions are counted without it as editors do.
    static const std::string utf8Bom = "\xEF\xBB\xBF";
    const std::string text
        = input.compare(0, utf8Bom.size(), utf8Bom) == 0 ? input.substr(utf8Bom.size()) : input;

    // A root that is not an object would be read as a lone value, which no
    // caller can use; reject it like any other malformed text.
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos || text[first] != '{')
        ZENTAR_THROW(
            Zentar::Exception, "Property data must be a JSON object, found " + Describe(text, first));

    const auto tooDeep = TooDeep(text);
    if (tooDeep != std::string::npos)
        ZENTAR_THROW(Zentar::Exception,
            "Property data nested more than " + std::to_string(kMaxDepth) + " levels deep at "
                + Position(text, tooDeep));

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
