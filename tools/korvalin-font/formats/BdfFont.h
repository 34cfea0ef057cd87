#pragma once

#include "GlyphSource.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace korvalin {

// A BDF font as read by our own reader: FreeType's drops unencoded glyphs, which our
// exports name by their code, and takes the registry from CHARSET_REGISTRY alone.
struct BdfFont {
    struct Glyph {
        std::string name;
        long encoding = -1;
        int width = 0;
        int height = 0;
        int left = 0;
        int bottom = 0;         // the bitmap's lowest row, rows above the baseline
        std::size_t offset = 0; // into bitmaps, (width + 7) / 8 bytes a row
    };
    int ascent = 0;
    int descent = 0;
    std::string registry; // "ISO10646-1", "ISO8859-2", ... as the font gives it
    std::string note;     // how the registry was found, where the font has none
    std::vector<Glyph> glyphs;
    std::vector<std::uint8_t> bitmaps;
    std::map<char32_t, std::size_t> glyphOf; // code point -> first glyph that encodes it
    std::map<int, std::size_t> glyphOfCode;  // code -> glyph named "codeN"
};

// Whether `bytes` start as a BDF font does, after any comments.
[[nodiscard]] bool IsBdf(std::string_view bytes);

// Reads a BDF font; its encodings are mapped to Unicode through the registry of its
// CHARSET_REGISTRY, else of its XLFD name, else taken as Unicode. Throws FileError naming
// `source` for a registry without a table here and for a font that breaks the format.
[[nodiscard]] BdfFont ReadBdf(std::string_view bytes, const std::filesystem::path& source);

class BdfGlyphSource : public GlyphSource {
public:
    explicit BdfGlyphSource(BdfFont font) : font_(std::move(font)) {}

    [[nodiscard]] int ascent() const override { return font_.ascent; }
    [[nodiscard]] int descent() const override { return font_.descent; }
    [[nodiscard]] bool isFixedSize() const override { return true; }
    [[nodiscard]] std::string sizeText() const override;
    [[nodiscard]] std::string note() const override { return font_.note; }
    [[nodiscard]] std::optional<SourceGlyph> glyph(char32_t codePoint) override;
    [[nodiscard]] std::optional<SourceGlyph> codeGlyph(int code) override;

private:
    [[nodiscard]] SourceGlyph glyphAt(std::size_t index) const;

    BdfFont font_;
};

} // namespace korvalin
