#pragma once

#include "GlyphSource.h"
#include "ImportOptions.h"

#include <string>
#include <vector>

namespace korvalin {

// One way of importing a font that the judge weighed.
struct Candidate {
    Rendering rendering;
    int baseline = 0;
    double penalty = 0; // the lower the better
    int legible = 0;    // letters and digits whole, distinct and with every stroke
    std::string sizeText;
};

struct Judgement {
    std::vector<Candidate> candidates; // every one weighed, the chosen first
    int lettersAndDigits = 0;          // how many of them the font has
    // The codes among the letters, digits and common punctuation whose glyph in the chosen
    // rendering lacks a stroke or counter of the font's large reference drawing.
    std::vector<int> lostStrokes;
};

// Weighs every rendering the font offers that the options leave open (its sizes and
// hinting modes) on every baseline row where the font is taller than the cell and the
// options name none, judging the letters, digits and common punctuation as they would come
// out; leaves the font drawing the chosen one.
[[nodiscard]] Judgement JudgeImport(GlyphSource& font, const ImportOptions& options);

} // namespace korvalin
