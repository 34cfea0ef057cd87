#pragma once

#include "FontSet.h"
#include "GlyphArt.h"
#include "GlyphSource.h"
#include "ImportOptions.h"

#include <array>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korvalin {

struct ImportResult {
    FontSet table;
    std::vector<int> fromSource;  // codes whose glyph came from the font
    std::vector<int> kept;        // codes that kept the base set's glyph
    std::vector<int> lostInk;     // codes from the font whose ink the cell cut or the size lost
    std::vector<int> lostStrokes; // letters, digits, punctuation that lost a stroke or counter
    std::vector<int> unreadable;  // letters and digits from the font that read as nothing
    std::string placement;        // size, strike and baseline used; empty for a sheet
    std::string judgement;        // what the judge weighed, where it chose
    std::string note;             // what the reader assumed about the font, if anything
};

using SourceGlyphs = std::array<std::optional<SourceGlyph>, FontSet::kCharacters>;

// The glyph a code takes: the one the font names as the code, else its symbol's.
[[nodiscard]] std::optional<SourceGlyph> GlyphForCode(GlyphSource& font, int code);

// The glyphs of the codes in `codes`, in the font's current rendering.
[[nodiscard]] SourceGlyphs GlyphsForCodes(GlyphSource& font, const std::bitset<256>& codes);

// Where a font's glyphs go in the cells.
struct Layout {
    bool asDrawn = false; // a 5 x 7 font keeps its columns as drawn
    int baseline = kDefaultBaseline;
    // Columns from the pen to the cell's left edge, one for the whole font, so that glyphs
    // keep their place against each other; a glyph that does not fit there is centred.
    int columnOffset = 0;
    int shiftX = 0;
    int shiftY = 0;
};

// Whether `glyphs` are those of a one-size font whose box is 5 x 7 with every glyph's ink
// inside it; blank padding around a bitmap (bdftopcf adds a column) does not count.
[[nodiscard]] bool IsExact5x7(const GlyphSource& font,
                              std::span<const std::optional<SourceGlyph>> glyphs);

// The layout of a font whose judged glyphs are `glyphs` (the letters, digits and common
// punctuation) on `baseline`, else the default: a 5 x 7 font's own, or row 5.
[[nodiscard]] Layout FontLayout(const GlyphSource& font,
                                std::span<const std::optional<SourceGlyph>> glyphs,
                                std::optional<int> baseline, const ImportOptions& options);

// What became of a glyph placed: how many of its ink pixels fell outside the cell, and
// whether it was centred alone for not fitting where the font puts it.
struct Placed {
    int cut = 0;
    bool centredAlone = false;
};

// Draws `glyph` into `cells` as `layout` says.
Placed PlaceGlyph(const SourceGlyph& glyph, const Layout& layout, Glyph& cells);

// The glyphs of the judged symbols (letters, digits, common punctuation) in the font's
// current rendering, in the order of kLettersAndDigits then kCommonPunctuation.
[[nodiscard]] std::vector<std::optional<SourceGlyph>> JudgedGlyphs(GlyphSource& font);

// Maps a real font to the 256 codes through the charmap: each code takes the glyph that the
// font names as that code, else its symbol's, shared symbols included. A 5 x 7 font is
// copied pixel for pixel; any other is placed by its baseline (row 5 by default, the
// descenders in row 6) and moved as a whole by its ink, and what falls outside is cut.
// Codes without a symbol, whose symbol the font lacks or that `options` leaves out keep
// `base`. The font draws as it is set; the options' size and hinting are not read here.
[[nodiscard]] ImportResult PlaceGlyphs(GlyphSource& font, const FontSet& base,
                                       const std::filesystem::path& source,
                                       const ImportOptions& options = {});

} // namespace korvalin
