#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace korvalin {

using CellValue = std::int16_t;

// The glyph table: 256 characters of 5 x 7 cells. 0 is ink, 255 is paper; other
// values only come from files and are kept as read.
class FontSet {
public:
    static constexpr int kCharacters = 256;
    static constexpr int kColumns = 5;
    static constexpr int kRows = 7;
    static constexpr int kCellsPerGlyph = kColumns * kRows;
    static constexpr int kCellCount = kCharacters * kCellsPerGlyph;

    static constexpr CellValue kSet = 0;
    static constexpr CellValue kClear = 255;

    // Both throw std::out_of_range for a character outside 0..255 or a cell outside 0..34.
    [[nodiscard]] CellValue cell(int character, int cell) const;
    void setCell(int character, int cell, CellValue value);

    // All 35 cells of one glyph, row-major; throws like cell().
    [[nodiscard]] std::span<const CellValue, kCellsPerGlyph> glyph(int character) const;

    // Every cell in file order: character-major, then cell index.
    [[nodiscard]] std::span<const CellValue, kCellCount> cells() const { return cells_; }
    [[nodiscard]] std::span<CellValue, kCellCount> cells() { return cells_; }

    friend bool operator==(const FontSet&, const FontSet&) = default;

private:
    std::array<CellValue, kCellCount> cells_{};
};

} // namespace korvalin
