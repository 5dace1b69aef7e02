#pragma once

#include <Zentar/Core/Property.h>

#include <boost/intrusive_ptr.hpp>

#include <cstddef>
#include <string>

namespace Zentar::Core
{

/// Reads and writes Property trees as JSON text. An object becomes a node with
/// one child per member (in file order), an array a node with unnamed
/// children, and a scalar a leaf whose string value is the scalar's text
/// ("12", "true", "null"). The document's root must be an
/// object; it fills the target node itself. A UTF-8 byte-order mark before it
/// is skipped.
///
/// Malformed text raises Zentar::Exception whose message tells the line (and
/// the column where the root is not an object).
class PropertySerializer
{
public:
    /// Reads the whole input (an IDataInput of the I/O library, or anything with
    /// its Read operation). With clearTarget the target loses its value and
    /// children first; otherwise members read replace the target's children of
    /// the same name and the rest are appended.
    template <class Input>
    static void Deserialize(Property& target, const boost::intrusive_ptr<Input>& input, bool clearTarget)
    {
        std::string text;
        if (input) {
            char buffer[4096];
            for (std::size_t n; (n = input->Read(buffer, sizeof buffer)) > 0;)
                text.append(buffer, n);
        }
        DeserializeText(target, text, clearTarget);
    }

    /// Reads JSON text, as Deserialize does.
    static void DeserializeText(Property& target, const std::string& text, bool clearTarget);

    /// Pretty-printed JSON. A node whose children are all unnamed is written as
    /// an array; a node with both a value and children keeps only its children.
    static std::string Serialize(const Property& root);
};

} // namespace Zentar::Core
