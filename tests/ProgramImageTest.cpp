#include "ProgramImage.h"

#include "GlyphArt.h"
#include "TempDir.h"
#include "TestSets.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace korvalin {
namespace {

void draw(FontSet& table, int character, const Glyph& glyph) {
    for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
        table.setCell(character, cell, glyph[static_cast<std::size_t>(cell)]);
}

using test::paperSet;

std::vector<int> rowBytes(const ProgramImage& image, int character) {
    const auto start = image.begin() + kProgramImageHeaderSize + 7 * character;
    return {start, start + 7};
}

struct GlyphRows {
    const char* name;
    Glyph glyph;
    std::vector<int> rows;
};

class ProgramImageGlyphs : public testing::TestWithParam<GlyphRows> {};

TEST_P(ProgramImageGlyphs, PackEachRowIntoFiveLowBits) {
    FontSet table = paperSet();
    draw(table, 65, GetParam().glyph);
    const ProgramImage image = BuildProgramImage(table);
    EXPECT_EQ(rowBytes(image, 65), GetParam().rows);
    EXPECT_EQ(rowBytes(image, 64), std::vector<int>(7, 0));
    EXPECT_EQ(rowBytes(image, 66), std::vector<int>(7, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ProgramImageGlyphs,
    testing::Values(
        GlyphRows{"A",
                  GlyphFromArt({".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}),
                  {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        GlyphRows{"top_left",
                  GlyphFromArt({"#....", ".....", ".....", ".....", ".....", ".....", "....."}),
                  {0x10, 0, 0, 0, 0, 0, 0}},
        GlyphRows{"top_right",
                  GlyphFromArt({"....#", ".....", ".....", ".....", ".....", ".....", "....."}),
                  {0x01, 0, 0, 0, 0, 0, 0}},
        GlyphRows{"bottom_corners",
                  GlyphFromArt({".....", ".....", ".....", ".....", ".....", ".....", "#...#"}),
                  {0, 0, 0, 0, 0, 0, 0x11}},
        GlyphRows{"stripes",
                  GlyphFromArt({"#.#.#", ".###.", "#####", ".....", "#.#.#", ".###.", "....."}),
                  {0x15, 0x0E, 0x1F, 0, 0x15, 0x0E, 0}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ProgramImage, JudgesCellsByParityAlone) {
    FontSet table = paperSet();
    // Row 0 of character 1: five values that count as ink, row 1: five that count as paper.
    const std::array<CellValue, 5> ink = {0, 2, 254, -2, -32768};
    const std::array<CellValue, 5> paper = {255, 1, -1, 32767, 301};
    for (int column = 0; column < 5; ++column) {
        table.setCell(1, column, ink[static_cast<std::size_t>(column)]);
        table.setCell(1, 5 + column, paper[static_cast<std::size_t>(column)]);
    }
    const ProgramImage image = BuildProgramImage(table);
    EXPECT_EQ(image[18], 0x1F); // row 0 of character 1
    EXPECT_EQ(image[19], 0x00);
}

TEST(ProgramImage, LayoutOfAWholeSet) {
    const std::string header = "\xBB\x6D\xC9korvalin";
    const ProgramImage clear = BuildProgramImage(paperSet());
    EXPECT_EQ(clear.size(), 1803u);
    EXPECT_EQ(std::string(clear.begin(), clear.begin() + 11), header);
    EXPECT_TRUE(std::all_of(clear.begin() + 11, clear.end(), [](auto b) { return b == 0; }));

    const ProgramImage set = BuildProgramImage(FontSet{});
    EXPECT_TRUE(std::all_of(set.begin() + 11, set.end(), [](auto b) { return b == 0x1F; }));

    FontSet last = paperSet();
    last.setCell(255, 34, FontSet::kSet);
    EXPECT_EQ(BuildProgramImage(last)[1802], 0x01);
}

TEST(ProgramImage, WritesExactlyTheImage) {
    const test::TempDir dir;
    FontSet table = paperSet();
    draw(table, 0, GlyphFromArt({"#####", "#...#", "#...#", "#...#", "#...#", "#...#", "#####"}));
    WriteProgramImage(dir / "FONT1.bin", table);
    const ProgramImage image = BuildProgramImage(table);
    EXPECT_EQ(test::readFile(dir / "FONT1.bin"), std::string(image.begin(), image.end()));
}

} // namespace
} // namespace korvalin
