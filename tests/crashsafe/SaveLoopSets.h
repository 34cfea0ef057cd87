#pragma once

#include "FontSet.h"
#include "TestSets.h"

namespace korvalin::test {

// The first set the save loop writes: all paper, 62,720 bytes of text.
inline FontSet saveLoopSetA() {
    return paperSet();
}

// The second set: ink, paper and negative values, so its text (64,960 bytes) is longer than
// A's and a truncated or mixed file cannot pass for either.
inline FontSet saveLoopSetB() {
    constexpr CellValue kPattern[] = {FontSet::kSet, FontSet::kClear, -1000, -32768};
    FontSet table;
    for (std::size_t i = 0; i < table.cells().size(); ++i)
        table.cells()[i] = kPattern[i % 4];
    return table;
}

} // namespace korvalin::test
