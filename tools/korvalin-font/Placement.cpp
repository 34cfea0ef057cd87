#include "Placement.h"

#include "Charmap.h"
#include "FileError.h"
#include "GlyphArt.h"

#include <algorithm>
#include <array>
#include <string>
#include <tuple>

namespace korvalin {
namespace {

using Glyphs = std::array<std::optional<SourceGlyph>, FontSet::kCharacters>;

// The rows above and below the baseline that the glyphs' ink really uses; the descent is
// negative where the ink ends above the baseline.
std::pair<int, int> inkExtent(const Glyphs& glyphs) {
    int highest = 0; // rows above the baseline, 0 for the row that sits on it
    int lowest = 0;
    bool any = false;
    for (const auto& glyph : glyphs) {
        if (!glyph)
            continue;
        for (int y = 0; y < glyph->height; ++y) {
            for (int x = 0; x < glyph->width; ++x) {
                if (!glyph->at(x, y))
                    continue;
                const int above = glyph->top - y - 1;
                highest = any ? std::max(highest, above) : above;
                lowest = any ? std::min(lowest, above) : above;
                any = true;
                break;
            }
        }
    }
    return {highest + 1, -lowest};
}

// A one-size font whose box is 5 x 7 and whose glyphs all have their ink inside it; blank
// padding around a bitmap (bdftopcf adds a column) does not count.
bool isExact5x7(const GlyphSource& font, const Glyphs& glyphs) {
    if (!font.isFixedSize() || font.ascent() + font.descent() != FontSet::kRows)
        return false;
    return std::ranges::all_of(glyphs, [&](const std::optional<SourceGlyph>& glyph) {
        if (!glyph)
            return true;
        for (int y = 0; y < glyph->height; ++y) {
            for (int x = 0; x < glyph->width; ++x) {
                const int column = glyph->left + x;
                const int row = font.ascent() - glyph->top + y;
                if (glyph->at(x, y) &&
                    (column < 0 || column >= FontSet::kColumns || row < 0 || row >= FontSet::kRows))
                    return false;
            }
        }
        return true;
    });
}

void copyExact(const SourceGlyph& glyph, int ascent, Glyph& cells) {
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            const int column = glyph.left + x;
            const int row = ascent - glyph.top + y;
            if (column >= 0 && column < FontSet::kColumns && row >= 0 && row < FontSet::kRows)
                cells[static_cast<std::size_t>(row * FontSet::kColumns + column)] =
                    glyph.at(x, y) ? FontSet::kSet : FontSet::kClear;
        }
    }
}

void placeFitted(const SourceGlyph& glyph, int descent, Glyph& cells) {
    int first = glyph.width;
    int last = -1;
    int top = glyph.height;
    int bottom = -1;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            if (glyph.at(x, y)) {
                first = std::min(first, x);
                last = std::max(last, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (last < 0)
        return; // a blank glyph stays blank
    const int shift = (FontSet::kColumns - (last - first + 1)) / 2 - first;
    // The first row below the baseline, then a glyph taller than the box (an accented
    // capital) moved down into the rows its lack of a descender leaves free, and one that
    // reaches below the box (an underscore, a subscript) moved up into the rows above it.
    int baseline = FontSet::kRows - descent;
    const int inkTop = baseline - glyph.top + top;
    const int inkBottom = baseline - glyph.top + bottom;
    if (inkTop < 0)
        baseline += std::min(-inkTop, std::max(0, FontSet::kRows - 1 - inkBottom));
    else if (inkBottom >= FontSet::kRows)
        baseline -= std::min(inkBottom - (FontSet::kRows - 1), inkTop);
    for (int y = top; y <= bottom; ++y) {
        for (int x = first; x <= last; ++x) {
            const int column = x + shift;
            const int row = baseline - glyph.top + y;
            if (glyph.at(x, y) && column >= 0 && column < FontSet::kColumns && row >= 0 &&
                row < FontSet::kRows)
                cells[static_cast<std::size_t>(row * FontSet::kColumns + column)] = FontSet::kSet;
        }
    }
}

} // namespace

ImportResult PlaceGlyphs(GlyphSource& font, const FontSet& base,
                         const std::filesystem::path& source) {
    Glyphs glyphs;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        if (const std::optional<char32_t> point = CodePointOf(code))
            glyphs[static_cast<std::size_t>(code)] = font.glyph(*point);
        else if (OwnsSymbol(code))
            glyphs[static_cast<std::size_t>(code)] =
                font.sequenceGlyph(DecodeUtf8(kCharmapSymbols[static_cast<std::size_t>(code)]));
    }

    const bool exact = isExact5x7(font, glyphs);
    int ascent = font.ascent();
    int descent = font.descent();
    if (!exact) {
        const auto [inkAscent, inkDescent] = inkExtent(glyphs);
        if (ascent + descent > FontSet::kRows && font.isFixedSize())
            std::tie(ascent, descent) = std::pair(inkAscent, inkDescent);
        if (ascent + descent > FontSet::kRows)
            throw FileError(source, "its glyphs are " + std::to_string(ascent + descent) +
                                        " rows tall; no size of this font fits 7 rows");
        // The descenders that the glyphs really have take the bottom row.
        descent = std::min(descent, inkDescent);
    }

    ImportResult result{base, {}, {}};
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const auto& glyph = glyphs[static_cast<std::size_t>(code)];
        if (!glyph) {
            result.kept.push_back(code);
            continue;
        }
        Glyph cells;
        cells.fill(FontSet::kClear);
        if (exact)
            copyExact(*glyph, ascent, cells);
        else
            placeFitted(*glyph, descent, cells);
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
            result.table.setCell(code, cell, cells[static_cast<std::size_t>(cell)]);
        result.fromSource.push_back(code);
    }
    return result;
}

} // namespace korvalin
