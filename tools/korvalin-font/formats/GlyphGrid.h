#pragma once

#include "FontSet.h"
#include "Pixels.h"

#include <filesystem>

namespace korvalin {

// A bare glyph grid, as pixel editors and other tools draw a 5 x 7 font: 16 rows of 16
// tiles of 6 x 8 pixels in code order, code 0 at the top left, each glyph at its tile's
// top left with the tile's last column and row blank; dark pixels are ink.
constexpr int kGridTileWidth = FontSet::kColumns + 1;
constexpr int kGridTileHeight = FontSet::kRows + 1;
constexpr int kGridWidth = 16 * kGridTileWidth;
constexpr int kGridHeight = 16 * kGridTileHeight;

[[nodiscard]] bool IsGlyphGrid(const Pixels& picture);

// Throws FileError naming `source` for ink in a tile's blank column or row, naming the
// codes, rather than guess which glyph it belongs to.
[[nodiscard]] FontSet ReadGlyphGrid(const Pixels& grid, const std::filesystem::path& source);

} // namespace korvalin
