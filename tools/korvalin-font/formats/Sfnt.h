#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvalin {

// Whether the bytes start as a TrueType or OpenType font or a collection of them.
[[nodiscard]] bool IsSfnt(std::string_view bytes);

// What a system rasterizer needs of a TrueType or OpenType font (a collection's first one):
// the family, weight and slant it is asked for by, its header to tell it from an installed
// namesake, and its own Unicode character map, so that every code point, those beyond
// 16 bits too, finds its glyph as FreeType finds it. Reads the bytes in place: they must
// outlive it.
class SfntFont {
public:
    // Throws FileError naming `source` for bytes that are no such font, lack a table the
    // reading needs or point outside themselves.
    SfntFont(std::string_view bytes, const std::filesystem::path& source);

    // The family (name 1) in UTF-16, the Windows name in US English where there is one.
    [[nodiscard]] const std::u16string& family() const { return family_; }
    [[nodiscard]] int weight() const { return weight_; }
    [[nodiscard]] bool italic() const { return italic_; }
    // The bytes of the 'head' table.
    [[nodiscard]] std::string_view header() const { return header_; }
    // The glyph of a code point; nothing where the map has none.
    [[nodiscard]] std::optional<std::uint16_t> glyphIndex(char32_t codePoint) const;

private:
    void readName(std::string_view table);
    void chooseMap(std::string_view table);

    std::filesystem::path source_;
    std::u16string family_;
    int weight_ = 400;
    bool italic_ = false;
    std::string_view header_;
    std::string_view map_; // the chosen subtable of 'cmap', format 4 or 12
    unsigned glyphCount_ = 0;
};

} // namespace korvalin
