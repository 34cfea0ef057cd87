#pragma once

#include "FontSet.h"
#include "GlyphSource.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvalin {

// A Linux console font (PSF1 or PSF2), its glyph bitmaps and what each stands for.
struct PsfFont {
    int width = 0;
    int height = 0;
    int glyphCount = 0;
    std::vector<std::uint8_t>
        bitmaps; // glyphCount glyphs of height rows, (width + 7) / 8 bytes a row
    std::map<char32_t, int> glyphOf;               // code point -> first glyph that lists it
    std::map<std::u32string, int> glyphOfSequence; // the same for a sequence of code points
    // 256 glyphs under the Unicode table that WritePsf writes: glyph n is code n.
    bool inCodeOrder = false;

    [[nodiscard]] bool ink(int glyph, int x, int y) const;
};

// Whether the bytes open as a PSF1 or PSF2 font: the one place that knows their magic.
[[nodiscard]] bool IsPsf(std::string_view bytes);

// Reads a console font from its bytes. A font without a Unicode table is taken as glyph n
// standing for U+00nn. Throws FileError naming `source` for anything that is not one.
[[nodiscard]] PsfFont ReadPsf(std::span<const std::uint8_t> bytes,
                              const std::filesystem::path& source);

// PSF2 of the set, 5 x 7 pixels a glyph, with the charmap as its Unicode table.
[[nodiscard]] std::string WritePsf(const FontSet& table);

// The console font as a source for the import: the cell's bottom row is the lowest row.
class PsfGlyphSource : public GlyphSource {
public:
    // A console font says nothing of its baseline: it is taken under the capitals and digits.
    explicit PsfGlyphSource(PsfFont font);

    [[nodiscard]] int ascent() const override { return font_.height - descent_; }
    [[nodiscard]] int descent() const override { return descent_; }
    [[nodiscard]] bool isFixedSize() const override { return true; }
    [[nodiscard]] std::string sizeText() const override;
    [[nodiscard]] std::optional<SourceGlyph> glyph(char32_t codePoint) override;
    [[nodiscard]] std::optional<SourceGlyph> sequenceGlyph(std::u32string_view sequence) override;
    [[nodiscard]] std::optional<SourceGlyph> codeGlyph(int code) override;

private:
    [[nodiscard]] SourceGlyph glyphAt(int index) const;

    PsfFont font_;
    int descent_ = 0;
};

} // namespace korvalin
