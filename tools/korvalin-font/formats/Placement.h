#pragma once

#include "FontSet.h"
#include "GlyphSource.h"
#include "ImportOptions.h"

#include <filesystem>
#include <string>
#include <vector>

namespace korvalin {

struct ImportResult {
    FontSet table;
    std::vector<int> fromSource; // codes whose glyph came from the font
    std::vector<int> kept;       // codes that kept the base set's glyph
    std::vector<int> lostInk;    // codes from the font whose ink the cell cut
    std::string placement;       // size, strike and baseline used; empty for a sheet
    std::string note;            // what the reader assumed about the font, if anything
};

// Maps a real font to the 256 codes through the charmap: each code takes the glyph that the
// font names as that code, else its symbol's, shared symbols included. A 5 x 7 font is
// copied pixel for pixel; any other is placed by its baseline (row 5 by default, the
// descenders in row 6) and centred across the five columns, and what falls outside is cut.
// Codes without a symbol, whose symbol the font lacks or that `options` leaves out keep
// `base`.
[[nodiscard]] ImportResult PlaceGlyphs(GlyphSource& font, const FontSet& base,
                                       const std::filesystem::path& source,
                                       const ImportOptions& options = {});

} // namespace korvalin
