// Writes a minimal TrueType font (one square glyph for "A") under the given
// family name, so that tests can register real fonts without taking any from
// the machine and without binary files in the repository.
//
//   zentar_lnf_make_font <output.ttf> <family name>

#include <cstdint>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<std::uint8_t>;

void U16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}

void U32(Bytes& b, std::uint32_t v)
{
    U16(b, v >> 16);
    U16(b, v & 0xFFFF);
}

std::uint32_t CheckSum(const Bytes& table)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < table.size(); i += 4) {
        std::uint32_t word = 0;
        for (std::size_t k = 0; k < 4; ++k)
            word = (word << 8) | (i + k < table.size() ? table[i + k] : 0);
        sum += word;
    }
    return sum;
}

Bytes Head()
{
    Bytes b;
    U32(b, 0x00010000); // version
    U32(b, 0x00010000); // font revision
    U32(b, 0); // checksum adjustment, filled in by whoever cares
    U32(b, 0x5F0F3CF5); // magic
    U16(b, 0x000B); // flags
    U16(b, 1000); // units per em
    for (int i = 0; i < 4; ++i)
        U32(b, 0); // created, modified
    U16(b, 0); // xMin, yMin, xMax, yMax
    U16(b, 0);
    U16(b, 500);
    U16(b, 700);
    U16(b, 0); // mac style
    U16(b, 8); // lowest readable size
    U16(b, 2); // direction hint
    U16(b, 0); // short loca offsets
    U16(b, 0); // glyph data format
    return b;
}

Bytes Hhea()
{
    Bytes b;
    U32(b, 0x00010000);
    U16(b, 800); // ascender
    U16(b, static_cast<std::uint16_t>(-200)); // descender
    U16(b, 0); // line gap
    U16(b, 500); // max advance
    U16(b, 0); // min left side bearing
    U16(b, 0); // min right side bearing
    U16(b, 500); // max extent
    U16(b, 1); // caret slope rise
    U16(b, 0); // caret slope run
    for (int i = 0; i < 5; ++i)
        U16(b, 0); // caret offset, reserved
    U16(b, 0); // metric data format
    U16(b, 2); // number of horizontal metrics
    return b;
}

Bytes Maxp()
{
    Bytes b;
    U32(b, 0x00010000);
    U16(b, 2); // glyphs
    U16(b, 4); // max points
    U16(b, 1); // max contours
    U16(b, 0);
    U16(b, 0);
    U16(b, 2); // max zones
    for (int i = 0; i < 8; ++i)
        U16(b, 0);
    return b;
}

Bytes Hmtx()
{
    Bytes b;
    for (int glyph = 0; glyph < 2; ++glyph) {
        U16(b, 500); // advance
        U16(b, 0); // left side bearing
    }
    return b;
}

// Glyph 0 (.notdef) is empty, glyph 1 is a 500 x 700 rectangle.
Bytes Glyf()
{
    Bytes b;
    U16(b, 1); // contours
    U16(b, 0);
    U16(b, 0);
    U16(b, 500);
    U16(b, 700);
    U16(b, 3); // last point of the contour
    U16(b, 0); // no instructions
    for (int i = 0; i < 4; ++i)
        b.push_back(0x01); // on curve, 16-bit deltas
    for (int dx : { 0, 500, 0, -500 })
        U16(b, static_cast<std::uint16_t>(dx));
    for (int dy : { 0, 0, 700, 0 })
        U16(b, static_cast<std::uint16_t>(dy));
    while (b.size() % 4)
        b.push_back(0);
    return b;
}

Bytes Loca(std::size_t glyfSize)
{
    Bytes b;
    U16(b, 0);
    U16(b, 0);
    U16(b, static_cast<unsigned>(glyfSize / 2));
    return b;
}

// Windows Unicode BMP map: "A" to glyph 1.
Bytes Cmap()
{
    Bytes b;
    U16(b, 0); // version
    U16(b, 1); // one subtable
    U16(b, 3); // Windows
    U16(b, 1); // Unicode BMP
    U32(b, 12);
    U16(b, 4); // format
    U16(b, 32); // length
    U16(b, 0); // language
    U16(b, 4); // two segments
    U16(b, 4); // search range
    U16(b, 1); // entry selector
    U16(b, 0); // range shift
    U16(b, 'A'); // end codes
    U16(b, 0xFFFF);
    U16(b, 0); // reserved
    U16(b, 'A'); // start codes
    U16(b, 0xFFFF);
    U16(b, static_cast<std::uint16_t>(1 - 'A')); // deltas
    U16(b, 1);
    U16(b, 0); // range offsets
    U16(b, 0);
    return b;
}

Bytes Name(const std::string& family)
{
    std::string postScript;
    for (char c : family)
        if (c != ' ')
            postScript += c;
    const std::vector<std::pair<unsigned, std::string>> names
        = { { 1, family }, { 2, "Regular" }, { 4, family }, { 6, postScript } };
    Bytes b, strings;
    U16(b, 0);
    U16(b, static_cast<unsigned>(names.size()));
    U16(b, static_cast<unsigned>(6 + 12 * names.size()));
    for (const auto& [id, text] : names) {
        U16(b, 3); // Windows, Unicode BMP, US English
        U16(b, 1);
        U16(b, 0x0409);
        U16(b, id);
        U16(b, static_cast<unsigned>(2 * text.size()));
        U16(b, static_cast<unsigned>(strings.size()));
        for (unsigned char c : text)
            U16(strings, c); // ASCII names only
    }
    b.insert(b.end(), strings.begin(), strings.end());
    return b;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " <output.ttf> <family name>\n";
        return 2;
    }
    const Bytes glyf = Glyf();
    // Ordered by tag, as the table directory must be.
    const std::map<std::string, Bytes> tables = {
        { "cmap", Cmap() },
        { "glyf", glyf },
        { "head", Head() },
        { "hhea", Hhea() },
        { "hmtx", Hmtx() },
        { "loca", Loca(glyf.size()) },
        { "maxp", Maxp() },
        { "name", Name(argv[2]) },
    };

    Bytes font;
    U32(font, 0x00010000);
    U16(font, static_cast<unsigned>(tables.size()));
    U16(font, 128); // search range for 8 tables
    U16(font, 3); // entry selector
    U16(font, 0); // range shift
    std::uint32_t offset = static_cast<std::uint32_t>(12 + 16 * tables.size());
    for (const auto& [tag, table] : tables) {
        font.insert(font.end(), tag.begin(), tag.end());
        U32(font, CheckSum(table));
        U32(font, offset);
        U32(font, static_cast<std::uint32_t>(table.size()));
        offset += static_cast<std::uint32_t>((table.size() + 3) / 4 * 4);
    }
    for (const auto& entry : tables) {
        font.insert(font.end(), entry.second.begin(), entry.second.end());
        while (font.size() % 4)
            font.push_back(0);
    }

    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(font.data()), static_cast<std::streamsize>(font.size()));
    return out.good() ? 0 : 1;
}
