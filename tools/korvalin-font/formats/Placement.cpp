#include "Placement.h"

#include "Charmap.h"
#include "GlyphArt.h"

#include <algorithm>
#include <array>

namespace korvalin {
namespace {

using Glyphs = std::array<std::optional<SourceGlyph>, FontSet::kCharacters>;

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

// The glyph a code takes: the one the font names as the code, else its symbol's.
std::optional<SourceGlyph> glyphFor(GlyphSource& font, int code) {
    if (std::optional<SourceGlyph> own = font.codeGlyph(code))
        return own;
    const std::string_view symbol = kCharmapSymbols[static_cast<std::size_t>(code)];
    if (symbol.empty())
        return std::nullopt;
    const std::u32string points = DecodeUtf8(symbol);
    return points.size() == 1 ? font.glyph(points.front()) : font.sequenceGlyph(points);
}

struct Where {
    bool keepColumns; // an exact font keeps its columns; others are centred by their ink
    int baseline;     // the last row above the baseline
    int shiftX;
    int shiftY;
};

// Draws `glyph` into `cells`; returns whether ink fell outside the cell.
bool place(const SourceGlyph& glyph, const Where& where, Glyph& cells) {
    int first = glyph.width;
    int last = -1;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            if (glyph.at(x, y)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    if (last < 0)
        return false; // a blank glyph stays blank
    const int left =
        where.keepColumns ? glyph.left : (FontSet::kColumns - (last - first + 1)) / 2 - first;
    const int top = where.baseline + 1 - glyph.top + where.shiftY;
    bool cut = false;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = first; x <= last; ++x) {
            if (!glyph.at(x, y))
                continue;
            const int column = x + left + where.shiftX;
            const int row = y + top;
            if (column < 0 || column >= FontSet::kColumns || row < 0 || row >= FontSet::kRows)
                cut = true;
            else
                cells[static_cast<std::size_t>(row * FontSet::kColumns + column)] = FontSet::kSet;
        }
    }
    return cut;
}

std::string placementText(const GlyphSource& font, bool exact, const Where& where) {
    std::string text = font.sizeText();
    text += exact ? ", 5x7 copied as drawn" : ", centred";
    text += ", baseline row " + std::to_string(where.baseline);
    if (where.shiftX != 0 || where.shiftY != 0)
        text += ", shift " + std::to_string(where.shiftX) + "," + std::to_string(where.shiftY);
    return text;
}

} // namespace

ImportResult PlaceGlyphs(GlyphSource& font, const FontSet& base,
                         const std::filesystem::path& /*source*/, const ImportOptions& options) {
    Glyphs glyphs;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        if (options.codes.test(static_cast<std::size_t>(code)))
            glyphs[static_cast<std::size_t>(code)] = glyphFor(font, code);
    }

    const bool exact = isExact5x7(font, glyphs);
    const Where where{exact,
                      options.baseline.value_or(exact ? font.ascent() - 1 : kDefaultBaseline),
                      options.shiftX, options.shiftY};
    ImportResult result;
    result.table = base;
    result.placement = placementText(font, exact, where);
    result.note = font.note();
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const auto& glyph = glyphs[static_cast<std::size_t>(code)];
        if (!glyph) {
            result.kept.push_back(code);
            continue;
        }
        Glyph cells;
        cells.fill(FontSet::kClear);
        if (place(*glyph, where, cells))
            result.lostInk.push_back(code);
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
            result.table.setCell(code, cell, cells[static_cast<std::size_t>(cell)]);
        result.fromSource.push_back(code);
    }
    return result;
}

} // namespace korvalin
