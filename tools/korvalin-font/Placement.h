#pragma once

#include "FontSet.h"
#include "GlyphSource.h"

#include <filesystem>
#include <vector>

namespace korvalin {

struct ImportResult {
    FontSet table;
    std::vector<int> fromSource; // codes whose glyph came from the font
    std::vector<int> kept;       // codes that kept the base set's glyph
};

// Maps a real font to the 256 codes through the charmap. A 5 x 7 font is copied pixel for
// pixel; any other is placed with its baseline so that descenders use the bottom row and
// centred across the five columns. Codes without a symbol of their own, or whose symbol the
// font lacks, keep `base`. Throws FileError naming `source` when the font is too tall.
[[nodiscard]] ImportResult PlaceGlyphs(GlyphSource& font, const FontSet& base,
                                       const std::filesystem::path& source);

} // namespace korvalin
