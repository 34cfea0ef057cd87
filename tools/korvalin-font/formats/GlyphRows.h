#pragma once

#include "FontSet.h"

#include <cstddef>
#include <span>

namespace korvalin {

// One row of a glyph as the byte BDF and PSF store: column 0 in the top bit, and a cell
// inked by the program image's rule (an even value).
[[nodiscard]] inline unsigned
LeftAlignedRow(std::span<const CellValue, FontSet::kCellsPerGlyph> glyph, int row) {
    unsigned bits = 0;
    for (int column = 0; column < FontSet::kColumns; ++column) {
        if ((glyph[static_cast<std::size_t>(row * FontSet::kColumns + column)] & 1) == 0)
            bits |= 0x80u >> column;
    }
    return bits;
}

} // namespace korvalin
