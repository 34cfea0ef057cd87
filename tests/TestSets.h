#pragma once

#include "FontSet.h"

#include <algorithm>

namespace korvalin::test {

// Every cell paper (255): 62,720 bytes of text and an image of blank rows.
inline FontSet paperSet() {
    FontSet table;
    std::ranges::fill(table.cells(), FontSet::kClear);
    return table;
}

// Cell i of character c is ink when c + i is odd, so neighbouring glyphs differ in every
// cell; cell 34 of character 255 holds paper.
inline FontSet alternatingSet() {
    FontSet table;
    for (int c = 0; c < FontSet::kCharacters; ++c)
        for (int i = 0; i < FontSet::kCellsPerGlyph; ++i)
            table.setCell(c, i, (c + i) % 2 ? FontSet::kSet : FontSet::kClear);
    return table;
}

} // namespace korvalin::test
