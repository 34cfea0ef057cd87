#pragma once

#include "FontSet.h"
#include "GlyphSource.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace korvalin {

// The glyphs whose legibility the import reports, and the punctuation of ordinary text and
// formulas, which the import's judge weighs beside them.
inline constexpr std::string_view kLettersAndDigits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
inline constexpr std::string_view kCommonPunctuation = "!\"#%&'()*+,-./:;<=>?[]_";

// A letter or digit with fewer ink cells than this reads as a blank.
constexpr int kLeastLegibleInk = 3;

// A 5 x 7 glyph as one bit a cell, row by row.
using GlyphBits = std::uint64_t;
[[nodiscard]] GlyphBits BitsOf(std::span<const CellValue, FontSet::kCellsPerGlyph> glyph);

// One glyph of a set under judgement: its ASCII symbol and cells.
struct JudgedGlyph {
    char symbol;
    GlyphBits bits;
};

// Whether each of `glyphs` reads as nothing: a letter or digit with fewer than
// kLeastLegibleInk cells or any other with none, or one with the same cells as another of
// `glyphs`, except the pairs that 5 x 7 fonts commonly share (0 O, 1 l I, g q, v y).
[[nodiscard]] std::vector<bool> Unreadable(std::span<const JudgedGlyph> glyphs);

// The pieces of a glyph's ink (touching at a corner is one piece) and the counters, the
// paper that the ink encloses; pieces of fewer than `smallest` pixels do not count, so
// that the specks of a large drawing's joins do not.
struct InkShape {
    int parts = 0;
    int counters = 0;
};
[[nodiscard]] InkShape ShapeOf(const SourceGlyph& glyph, int smallest = 1);

// The pieces and counters that `drawn` lacks against `reference`: a stroke that left no
// pixel, or merged into another, or a counter that filled or opened.
[[nodiscard]] int LostFeatures(InkShape reference, InkShape drawn);

} // namespace korvalin
