#pragma once

#include "ImportOptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvalin {

// One glyph of a real font as a monochrome bitmap placed against the baseline: `left`
// columns right of the pen, its top row `top` rows above the baseline.
struct SourceGlyph {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    std::vector<std::uint8_t> ink; // width * height, row by row, 1 = ink

    [[nodiscard]] bool at(int x, int y) const {
        return ink[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)] != 0;
    }
};

// The sizes an outline font offers the import, in pixels to the em: up to four times the
// cell's seven rows.
constexpr int kLargestOutlineSize = 4 * 7;
// An outline size large enough for every stroke and counter of a text face to show apart.
constexpr int kReferenceOutlineSize = 32;

// One way a font can draw its glyphs: pixels to the em of an outline font or the height
// of a strike, and whose hinting shapes an outline's pixels.
struct Rendering {
    int size = 0;
    Hinting hinting = Hinting::Font;
    bool operator==(const Rendering&) const = default;
};

// A real font at the size the import chose.
class GlyphSource {
public:
    virtual ~GlyphSource() = default;

    // The renderings the font offers, the import's candidates: an outline font its sizes
    // and hinting modes, a bitmap font its strikes; one that has a single size, only that.
    [[nodiscard]] virtual std::vector<Rendering> renderings() const { return {rendering()}; }
    // The rendering the glyphs come in now.
    [[nodiscard]] virtual Rendering rendering() const { return {ascent() + descent()}; }
    // Draws the glyphs from now on as `rendering`, one of renderings() or, for an outline
    // font, any size; throws FileError where the font cannot.
    virtual void useRendering(const Rendering& /*rendering*/) {}
    // For an outline font, a size so large that every stroke and counter shows, against
    // which the small ones are checked; nothing for a bitmap font, drawn as meant.
    [[nodiscard]] virtual std::optional<Rendering> referenceRendering() const {
        return std::nullopt;
    }

    // Rows above and below the baseline at the chosen size.
    [[nodiscard]] virtual int ascent() const = 0;
    [[nodiscard]] virtual int descent() const = 0;
    // Whether the font has only the one size, so that an exact 5 x 7 box is its own.
    [[nodiscard]] virtual bool isFixedSize() const = 0;
    // The size and strike the import chose, as the summary tells them ("size 8 px, ...").
    [[nodiscard]] virtual std::string sizeText() const = 0;
    // What the reader had to assume about the font, for the summary; empty when nothing.
    [[nodiscard]] virtual std::string note() const { return {}; }
    // The glyph for a Unicode code point, or nothing where the font lacks it.
    [[nodiscard]] virtual std::optional<SourceGlyph> glyph(char32_t codePoint) = 0;
    // The glyph for a sequence of code points (x and a combining bar), where the font's own
    // table lists such sequences; nothing by default.
    [[nodiscard]] virtual std::optional<SourceGlyph>
    sequenceGlyph(std::u32string_view /*sequence*/) {
        return std::nullopt;
    }
    // The glyph that the font names as this code itself (our own exports do, for codes
    // whose symbol cannot name them), read before any symbol; nothing by default.
    [[nodiscard]] virtual std::optional<SourceGlyph> codeGlyph(int /*code*/) {
        return std::nullopt;
    }
};

} // namespace korvalin
