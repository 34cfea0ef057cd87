#include "Placement.h"

#include "Charmap.h"
#include "Legibility.h"

#include <algorithm>
#include <array>

namespace korvalin {
namespace {

// The first and last columns of a glyph's ink, or nothing for a blank one.
std::optional<std::pair<int, int>> inkColumns(const SourceGlyph& glyph) {
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
        return std::nullopt;
    return std::pair{first, last};
}

// The one column offset that lets the most of `glyphs` keep their place in the five
// columns; of those, the one that centres their common ink box best.
int commonColumnOffset(std::span<const std::optional<SourceGlyph>> glyphs) {
    std::vector<std::pair<int, int>> spans; // pen-relative ink columns of each glyph
    for (const auto& glyph : glyphs) {
        if (!glyph)
            continue;
        if (const auto columns = inkColumns(*glyph))
            spans.emplace_back(glyph->left + columns->first, glyph->left + columns->second);
    }
    if (spans.empty())
        return 0;
    const int boxLeft = std::ranges::min(spans, {}, &std::pair<int, int>::first).first;
    const int boxRight = std::ranges::max(spans, {}, &std::pair<int, int>::second).second;
    const int centred = (FontSet::kColumns - (boxRight - boxLeft + 1)) / 2 - boxLeft;
    int best = centred;
    int bestFits = -1;
    for (int offset = -boxRight; offset <= FontSet::kColumns - 1 - boxLeft; ++offset) {
        const auto fits = std::ranges::count_if(spans, [&](const std::pair<int, int>& span) {
            return span.first + offset >= 0 && span.second + offset < FontSet::kColumns;
        });
        if (fits > bestFits ||
            (fits == bestFits && std::abs(offset - centred) < std::abs(best - centred))) {
            best = offset;
            bestFits = static_cast<int>(fits);
        }
    }
    return best;
}

std::string placementText(const GlyphSource& font, const Layout& layout, int centredAlone) {
    std::string text = font.sizeText();
    text += layout.asDrawn ? ", 5x7 copied as drawn" : ", placed as a whole";
    if (centredAlone > 0)
        text += ", " + std::to_string(centredAlone) + " centred alone";
    text += ", baseline row " + std::to_string(layout.baseline);
    if (layout.shiftX != 0 || layout.shiftY != 0)
        text += ", shift " + std::to_string(layout.shiftX) + "," + std::to_string(layout.shiftY);
    return text;
}

} // namespace

std::optional<SourceGlyph> GlyphForCode(GlyphSource& font, int code) {
    if (std::optional<SourceGlyph> own = font.codeGlyph(code))
        return own;
    const std::string_view symbol = kCharmapSymbols[static_cast<std::size_t>(code)];
    if (symbol.empty())
        return std::nullopt;
    const std::u32string points = DecodeUtf8(symbol);
    return points.size() == 1 ? font.glyph(points.front()) : font.sequenceGlyph(points);
}

SourceGlyphs GlyphsForCodes(GlyphSource& font, const std::bitset<256>& codes) {
    SourceGlyphs glyphs;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        if (codes.test(static_cast<std::size_t>(code)))
            glyphs[static_cast<std::size_t>(code)] = GlyphForCode(font, code);
    }
    return glyphs;
}

std::vector<std::optional<SourceGlyph>> JudgedGlyphs(GlyphSource& font) {
    std::vector<std::optional<SourceGlyph>> glyphs;
    glyphs.reserve(kLettersAndDigits.size() + kCommonPunctuation.size());
    for (const std::string_view symbols : {kLettersAndDigits, kCommonPunctuation})
        for (const char symbol : symbols)
            glyphs.push_back(font.glyph(static_cast<char32_t>(symbol)));
    return glyphs;
}

bool IsExact5x7(const GlyphSource& font, std::span<const std::optional<SourceGlyph>> glyphs) {
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

Layout FontLayout(const GlyphSource& font, std::span<const std::optional<SourceGlyph>> glyphs,
                  std::optional<int> baseline, const ImportOptions& options) {
    Layout layout;
    layout.asDrawn = IsExact5x7(font, glyphs);
    layout.baseline = baseline.value_or(layout.asDrawn ? font.ascent() - 1 : kDefaultBaseline);
    layout.columnOffset = layout.asDrawn ? 0 : commonColumnOffset(glyphs);
    layout.shiftX = options.shiftX;
    layout.shiftY = options.shiftY;
    return layout;
}

Placed PlaceGlyph(const SourceGlyph& glyph, const Layout& layout, Glyph& cells) {
    const auto columns = inkColumns(glyph);
    if (!columns)
        return {}; // a blank glyph stays blank
    const auto [first, last] = *columns;
    Placed placed;
    int left = glyph.left + layout.columnOffset;
    if (!layout.asDrawn && (left + first < 0 || left + last >= FontSet::kColumns)) {
        left = (FontSet::kColumns - (last - first + 1)) / 2 - first;
        placed.centredAlone = true;
    }
    const int top = layout.baseline + 1 - glyph.top + layout.shiftY;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = first; x <= last; ++x) {
            if (!glyph.at(x, y))
                continue;
            const int column = x + left + layout.shiftX;
            const int row = y + top;
            if (column < 0 || column >= FontSet::kColumns || row < 0 || row >= FontSet::kRows)
                ++placed.cut;
            else
                cells[static_cast<std::size_t>(row * FontSet::kColumns + column)] = FontSet::kSet;
        }
    }
    return placed;
}

ImportResult PlaceGlyphs(GlyphSource& font, const FontSet& base,
                         const std::filesystem::path& /*source*/, const ImportOptions& options) {
    const SourceGlyphs glyphs = GlyphsForCodes(font, options.codes);
    // The whole font moves by its letters, digits and punctuation, whichever codes are
    // taken, so that a second import of a few codes puts them where the first did.
    std::vector<std::optional<SourceGlyph>> judged = JudgedGlyphs(font);
    if (std::ranges::none_of(judged, [](const auto& glyph) { return glyph.has_value(); }))
        judged.assign(glyphs.begin(), glyphs.end());
    std::vector<std::optional<SourceGlyph>> all = judged;
    all.insert(all.end(), glyphs.begin(), glyphs.end());
    Layout layout = FontLayout(font, all, options.baseline, options);
    if (!layout.asDrawn)
        layout.columnOffset = FontLayout(font, judged, options.baseline, options).columnOffset;

    ImportResult result;
    result.table = base;
    result.note = font.note();
    int centredAlone = 0;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const auto& glyph = glyphs[static_cast<std::size_t>(code)];
        if (!glyph) {
            result.kept.push_back(code);
            continue;
        }
        Glyph cells;
        cells.fill(FontSet::kClear);
        const Placed placed = PlaceGlyph(*glyph, layout, cells);
        if (placed.cut > 0)
            result.lostInk.push_back(code);
        centredAlone += placed.centredAlone ? 1 : 0;
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
            result.table.setCell(code, cell, cells[static_cast<std::size_t>(cell)]);
        result.fromSource.push_back(code);
    }
    result.placement = placementText(font, layout, centredAlone);
    return result;
}

} // namespace korvalin
