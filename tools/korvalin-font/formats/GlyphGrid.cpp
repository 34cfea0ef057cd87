#include "GlyphGrid.h"

#include "FileError.h"
#include "GlyphText.h"

#include <string>

namespace korvalin {
namespace {

// The most codes a message lists.
constexpr int kCodesShown = 5;

} // namespace

bool IsGlyphGrid(const Pixels& picture) {
    return picture.width == kGridWidth && picture.height == kGridHeight;
}

FontSet ReadGlyphGrid(const Pixels& grid, const std::filesystem::path& source) {
    FontSet table;
    std::string stray;
    int strayCount = 0;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const int x0 = (code % 16) * kGridTileWidth;
        const int y0 = (code / 16) * kGridTileHeight;
        bool gapInked = false;
        for (int y = 0; y < kGridTileHeight; ++y) {
            for (int x = 0; x < kGridTileWidth; ++x) {
                const bool ink = IsDark(grid.at(x0 + x, y0 + y));
                if (x < FontSet::kColumns && y < FontSet::kRows)
                    table.setCell(code, y * FontSet::kColumns + x,
                                  ink ? FontSet::kSet : FontSet::kClear);
                else
                    gapInked = gapInked || ink;
            }
        }
        if (gapInked && ++strayCount <= kCodesShown)
            stray += (stray.empty() ? "" : ", ") + CodeTitle(code);
    }
    if (strayCount > 0)
        throw FileError(source, "is a 96 x 128 glyph grid with ink in the blank column or row "
                                "of " +
                                    std::to_string(strayCount) +
                                    (strayCount == 1 ? " tile: " : " tiles: ") + stray +
                                    (strayCount > kCodesShown ? " and more" : "") +
                                    "; each glyph is 5 x 7 at its tile's top left");
    return table;
}

} // namespace korvalin
