#pragma once

#include "FontSet.h"
#include "Pixels.h"

#include <filesystem>

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

// Reads the glyphs back from a sheet of any scale: a cell is ink where its block is dark,
// paper where it is light; the labels do not count. Throws FileError naming `source` for a
// picture of another size, or for blocks that are partly dark, naming their codes.
[[nodiscard]] FontSet ReadSheet(const Pixels& sheet, const std::filesystem::path& source);

} // namespace korvalin
