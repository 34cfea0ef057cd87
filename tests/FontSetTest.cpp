#include "FontSet.h"

#include <gtest/gtest.h>

namespace korvalin {
namespace {

TEST(FontSet, StartsAllSetAndStoresEveryCellApart) {
    FontSet table;
    for (const CellValue value : table.cells())
        ASSERT_EQ(value, 0);
    table.setCell(0, 0, 1);
    table.setCell(0, 34, 2);
    table.setCell(1, 0, 3);
    table.setCell(255, 34, -32768);
    EXPECT_EQ(table.cell(0, 0), 1);
    EXPECT_EQ(table.cell(0, 34), 2);
    EXPECT_EQ(table.cell(1, 0), 3);
    EXPECT_EQ(table.cell(255, 34), -32768);
    // Character-major order: cell 0 of character 1 follows cell 34 of character 0.
    EXPECT_EQ(table.cells()[34], 2);
    EXPECT_EQ(table.cells()[35], 3);
    EXPECT_EQ(table.glyph(255)[34], -32768);
}

struct OutOfRange {
    int character;
    int cell;
};

class FontSetBounds : public testing::TestWithParam<OutOfRange> {};

TEST_P(FontSetBounds, RefusesAndChangesNothing) {
    FontSet table;
    table.setCell(255, 34, 7);
    const FontSet before = table;
    const auto [character, cell] = GetParam();
    EXPECT_THROW((void)table.cell(character, cell), std::out_of_range);
    EXPECT_THROW(table.setCell(character, cell, 99), std::out_of_range);
    EXPECT_EQ(table, before);
}

INSTANTIATE_TEST_SUITE_P(Indexes, FontSetBounds,
                         testing::Values(OutOfRange{256, 0}, OutOfRange{-1, 0}, OutOfRange{0, 35},
                                         OutOfRange{0, -1}, OutOfRange{255, 35},
                                         OutOfRange{32767, -32768}));

} // namespace
} // namespace korvalin
