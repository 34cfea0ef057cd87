#include "FontSetFile.h"
#include "GlyphArt.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

namespace korvalin {
namespace {

const std::filesystem::path kDataDir = TEST_DATA_DIR;

FontSet readArt() {
    std::ifstream art(kDataDir / "default-font.txt", std::ios::binary);
    return ReadFontArt(art, kDataDir / "default-font.txt");
}

bool isBlank(const FontSet& table, int character) {
    return std::ranges::all_of(table.glyph(character),
                               [](CellValue value) { return value == FontSet::kClear; });
}

TEST(DefaultFont, FileAgreesWithItsArt) {
    FontSet file;
    ReadFontSetFile(kDataDir / "default.8xfont", file);
    const FontSet art = readArt();
    for (int character = 0; character < FontSet::kCharacters; ++character)
        ASSERT_EQ(GlyphArt(file.glyph(character)), GlyphArt(art.glyph(character)))
            << "glyph " << character << " differs; rebuild with the default-font target";
    // Only 0 and 255, written exactly as the editor writes them.
    std::ifstream in(kDataDir / "default.8xfont", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text, FontSetText(art));
}

TEST(DefaultFont, DrawsEveryPrintableCharacter) {
    const FontSet art = readArt();
    EXPECT_TRUE(isBlank(art, 0));
    EXPECT_TRUE(isBlank(art, 32));
    for (int character = 33; character <= 126; ++character)
        EXPECT_FALSE(isBlank(art, character)) << "glyph " << character << " is blank";
    EXPECT_EQ(GlyphArt(art.glyph(65)).size(), 42u);
    EXPECT_NE(GlyphArt(art.glyph(48)), GlyphArt(art.glyph(79))) << "0 and O look alike";
    EXPECT_NE(GlyphArt(art.glyph(91)), GlyphArt(art.glyph(193))) << "theta and [ look alike";
}

} // namespace
} // namespace korvalin
