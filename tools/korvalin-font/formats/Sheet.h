#pragma once

#include "FontSet.h"
#include "Pixels.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace korvalin {

// The glyph sheet: 16 x 16 cells, codes left to right and 16 a row, code 0 at the top
// left. Each cell carries its code in decimal and in hex, in the sheet's own label font,
// above the glyph drawn three times enlarged; `scale` enlarges the whole sheet.
constexpr int kSheetCellWidth = 24;
constexpr int kSheetCellHeight = 32;
constexpr int kSheetWidth = 16 * kSheetCellWidth + 1;
constexpr int kSheetHeight = 16 * kSheetCellHeight + 1;
constexpr int kSheetDefaultScale = 2;
constexpr int kMaxScale = 32;
// Larger sheets hold more pixels than the import unpacks, and take seconds to draw.
constexpr int kSheetMaxScale = 16;

// Throws std::invalid_argument for a scale outside 1..kSheetMaxScale.
[[nodiscard]] Pixels RenderSheet(const FontSet& table, int scale = kSheetDefaultScale);

// Refuses a picture of `width` x `height` pixels that is no sheet of any scale. Throws
// FileError naming `source`.
void CheckSheetSize(std::int64_t width, std::int64_t height, const std::filesystem::path& source);

// Reads the glyphs back from a sheet of any scale, row by row as a decoder gives them: a
// cell is ink where its block is dark, paper where it is light; the labels do not count.
// Only the blocks' dark pixels are counted, so no whole picture need be held.
class SheetReader {
public:
    // Throws FileError naming `source` for a size that is no sheet's.
    SheetReader(int width, int height, const std::filesystem::path& source);

    // Row `y` of the picture, `width` pixels of 8-bit red, green and blue.
    void addRow(int y, std::span<const std::uint8_t> rgb);
    // The set; throws FileError naming `source` for blocks that are partly dark, naming
    // their codes.
    [[nodiscard]] FontSet finish() const;

private:
    int scale_;
    std::filesystem::path source_;
    std::vector<int> dark_; // a count for each of the 35 blocks of each code
};

// The same for a whole picture.
[[nodiscard]] FontSet ReadSheet(const Pixels& sheet, const std::filesystem::path& source);

} // namespace korvalin
