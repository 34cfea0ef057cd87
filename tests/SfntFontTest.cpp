// Windows draws a TrueType font by the glyph numbers that our own reading of its character
// map gives; they must be the glyphs FreeType finds.
#include "Charmap.h"
#include "Sfnt.h"
#include "TempDir.h"

#include <filesystem>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

namespace korvalin {
namespace {

std::uint32_t big32(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]) << 24 |
                                      static_cast<unsigned char>(bytes[at + 1]) << 16 |
                                      static_cast<unsigned char>(bytes[at + 2]) << 8 |
                                      static_cast<unsigned char>(bytes[at + 3]));
}

// The font with its maps of every plane made non-Unicode, so that the 16-bit one is read.
std::string withSixteenBitMapOnly(std::string font) {
    const std::size_t record = font.find("cmap");
    const std::size_t map = big32(font, record + 8);
    for (std::size_t at = map + 4; at < map + 4 + 8 * (font[map + 3] & 0xFF); at += 8)
        if (big32(font, at) == 4 || big32(font, at) == (3u << 16 | 10))
            font[at + 1] = 7;
    return font;
}

TEST(SfntFont, FindsTheGlyphsFreeTypeFinds) {
    if (!std::filesystem::exists(DEJAVU_MONO))
        GTEST_SKIP() << DEJAVU_MONO << " is missing; install fonts-dejavu-core";
    const std::string bytes = test::readFile(DEJAVU_MONO);
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    ASSERT_EQ(FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes.data()),
                                 static_cast<FT_Long>(bytes.size()), 0, &face),
              0);
    for (const std::string& font : {bytes, withSixteenBitMapOnly(bytes)}) {
        const SfntFont sfnt(font, DEJAVU_MONO);
        EXPECT_EQ(sfnt.family(), u"DejaVu Sans Mono");
        for (char32_t c = 0; c < 0x10000; ++c)
            ASSERT_EQ(sfnt.glyphIndex(c).value_or(0), FT_Get_Char_Index(face, c))
                << static_cast<std::uint32_t>(c);
    }
    // The charmap's symbols beyond the first plane, from the map that holds them.
    const SfntFont sfnt(bytes, DEJAVU_MONO);
    for (const std::string_view symbol : kCharmapSymbols)
        for (const char32_t c : DecodeUtf8(symbol))
            EXPECT_EQ(sfnt.glyphIndex(c).value_or(0), FT_Get_Char_Index(face, c))
                << static_cast<std::uint32_t>(c);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

} // namespace
} // namespace korvalin
