#pragma once

#include "Charmap.h"
#include "FontSet.h"
#include "GlyphSource.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvalin {

// GNU Unifont's .hex: a line "CODEPOINT:BITMAP" a glyph, the bitmap 16 rows of 8 or 16
// columns in hex. The set goes out in 8 x 16 cells, each glyph at columns 1 to 5 and with
// its bottom row on row 14, below Unifont's baseline, as hex2bdf places it.
[[nodiscard]] bool IsUnifontHex(std::string_view bytes);

// Every code of the set, under its own code point or in the Private Use Area as
// ExportCodePoint has it, sorted as sort(1) sorts them for hex2bdf.
[[nodiscard]] std::string WriteUnifontHex(const FontSet& table);

// A .hex font as a source for the import. One whose glyphs all lie where WriteUnifontHex
// puts them reads as a 5 x 7 font and as our export, whose Private Use Area holds the codes
// that no character names, so that the set comes back pixel for pixel and code for code.
class UnifontHexSource : public GlyphSource {
public:
    // Throws FileError naming `source` and the line at fault. Holds the bytes and 8 more
    // for each line: where each code point's bitmap is.
    UnifontHexSource(std::string bytes, const std::filesystem::path& source);

    [[nodiscard]] int ascent() const override { return fits5x7_ ? 6 : 14; }
    [[nodiscard]] int descent() const override { return fits5x7_ ? 1 : 2; }
    [[nodiscard]] bool isFixedSize() const override { return true; }
    [[nodiscard]] std::string sizeText() const override {
        return "size " + std::to_string(ascent() + descent()) + " px, strike 1 of 1";
    }
    [[nodiscard]] std::optional<SourceGlyph> glyph(char32_t codePoint) override;
    [[nodiscard]] std::optional<SourceGlyph> codeGlyph(int code) override {
        return fits5x7_ ? glyph(PrivateUseCodePoint(code)) : std::nullopt;
    }

private:
    [[nodiscard]] std::string_view bitmapAt(std::uint32_t at) const;

    std::string bytes_;
    // Code point -> where its bitmap starts in bytes_; sorted, the first line's first.
    std::vector<std::pair<char32_t, std::uint32_t>> bitmaps_;
    bool fits5x7_ = false;
};

} // namespace korvalin
