#pragma once

#include "GlyphSource.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korvalin {

// A glyph's box as a font gives it: its size, and its lowest row's left pixel against the
// pen on the baseline (bottom counts up).
struct GlyphBox {
    long width = 0;
    long height = 0;
    long left = 0;
    long bottom = 0;
};

// Why a glyph of this box cannot be read ("of 300 x 5 pixels, larger than ..."), or nothing
// when it can: no side beyond kMaxGlyphSide, and no farther than that from its origin.
[[nodiscard]] std::string GlyphBoxProblem(const GlyphBox& box);

// One glyph of a one-strike bitmap font (BDF, PCF): its box against the baseline and where
// its rows lie in the font's bytes, which only its format's reader can draw.
struct BitmapGlyph {
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::int16_t left = 0;
    std::int16_t bottom = 0; // the lowest row, in rows above the baseline
    std::uint32_t rows = 0;  // where the rows start, as the format counts it
};

// What a font tells of its character set: CHARSET_REGISTRY and CHARSET_ENCODING where it
// has them, and its XLFD name.
struct FontCharset {
    std::optional<std::string> registry;
    std::string encoding;
    std::string name;
};

// A bitmap font as the import reads it: a glyph for a code point through the font's
// registry, and for a code without one the glyph that our own exports name "codeN" or,
// where names are lost, keep in the Private Use Area.
class BitmapFont : public GlyphSource {
public:
    [[nodiscard]] int ascent() const override { return ascent_; }
    [[nodiscard]] int descent() const override { return descent_; }
    [[nodiscard]] bool isFixedSize() const override { return true; }
    [[nodiscard]] std::string sizeText() const override;
    [[nodiscard]] std::string note() const override { return note_; }
    [[nodiscard]] std::optional<SourceGlyph> glyph(char32_t codePoint) override;
    [[nodiscard]] std::optional<SourceGlyph> codeGlyph(int code) override;

    // The registry and encoding the glyphs were mapped through, "ISO10646-1" and the like.
    [[nodiscard]] const std::string& registry() const { return registry_; }
    [[nodiscard]] std::size_t glyphCount() const { return glyphs_.size(); }

protected:
    BitmapFont() = default;

    // Adds a glyph named `name` in the font whose rows start at `rows`, refusing more than
    // kMaxGlyphs glyphs and boxes beyond kMaxGlyphSide; returns its index. Throws FileError
    // naming `source`.
    std::uint32_t addGlyph(const GlyphBox& box, std::uint32_t rows, std::string_view name,
                           const std::filesystem::path& source);
    // Gives glyph `index` the font's own code `code`; a glyph may have several.
    void encode(std::uint32_t code, std::uint32_t index);
    // Maps the codes given to code points through the registry of `charset`, else of its
    // XLFD name, else as Unicode, once every glyph is in; of the glyphs for one code point
    // the one encoded first counts. Throws FileError naming `source` for a registry this
    // program has no table of.
    void mapEncodings(const FontCharset& charset, const std::filesystem::path& source);
    // Sets the glyph's ink, `width` x `height` bytes of 0 to begin with, from its rows.
    virtual void drawRows(const BitmapGlyph& from, SourceGlyph& glyph) const = 0;

    int ascent_ = 0;
    int descent_ = 0;

private:
    [[nodiscard]] SourceGlyph glyphAt(std::uint32_t index) const;

    std::vector<BitmapGlyph> glyphs_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> encodings_; // code -> glyph, in order
    std::vector<std::pair<char32_t, std::uint32_t>> byPoint_; // sorted; the first glyph first
    std::array<std::int32_t, 256> byCode_ = filledWith(-1);
    std::string registry_;
    std::string note_;
    bool ownExport_ = false; // the FONT name's foundry is our exports'

    static constexpr std::array<std::int32_t, 256> filledWith(std::int32_t value) {
        std::array<std::int32_t, 256> out{};
        out.fill(value);
        return out;
    }
};

} // namespace korvalin
