#include "FileError.h"
#include "FontSetFile.h"
#include "GlyphArt.h"
#include "InputFile.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

namespace korvalin {
namespace {

const std::filesystem::path kDataDir = TEST_DATA_DIR;

FontSet readArt() {
    return ReadFontArt(ReadWholeFile(kDataDir / "default-font.txt", 1 << 20),
                       kDataDir / "default-font.txt");
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

// Art of blank glyphs for the codes from..to-1, eight lines each.
std::string blankArt(int from, int to) {
    std::string art;
    for (int code = from; code < to; ++code) {
        art += "== " + std::to_string(code) + " blank\n";
        for (int row = 0; row < FontSet::kRows; ++row)
            art += ".....\n";
    }
    return art;
}

struct ArtFault {
    const char* name;
    std::string art;
    std::string message;
};

class FontArtFaults : public testing::TestWithParam<ArtFault> {};

TEST_P(FontArtFaults, NameTheLineAndTheRule) {
    try {
        (void)ReadFontArt(GetParam().art, "font.txt");
        FAIL() << "the art was read";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), "font.txt: " + GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FontArtFaults,
    testing::Values(ArtFault{"skipped_code", blankArt(0, 1) + blankArt(2, 3),
                             "line 9: expected the glyph of code 1"},
                    ArtFault{"code_with_a_longer_number", blankArt(0, 1) + blankArt(10, 11),
                             "line 9: expected the glyph of code 1"},
                    ArtFault{"too_many", blankArt(0, 257), "line 2049: more than 256 glyphs"},
                    ArtFault{"too_few", blankArt(0, 255),
                             "line 2040: ends after 255 glyphs; 256 needed"},
                    ArtFault{"short_glyph", blankArt(0, 1) + "== 1 x\n.....\n",
                             "line 10: the last glyph has fewer than 7 rows"},
                    ArtFault{"short_row", "== 0 x\n....\n",
                             "line 2: a row must be 5 characters of '#' and '.'"},
                    ArtFault{"stray_text", "hello\n",
                             "line 1: expected \"== CODE NAME\", a \";\" comment or a blank line"}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace korvalin
