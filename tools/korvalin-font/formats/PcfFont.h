#pragma once

#include "BitmapFont.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace korvalin {

// Whether `bytes` open as a PCF font ("\1fcp"): the one definition the import goes by.
[[nodiscard]] bool IsPcf(std::string_view bytes);

// A PCF font (the X server's compiled BDF), read by our own reader so that it needs no
// FreeType and keeps the limits as it reads: a table of contents of at most 64 tables,
// every count within what its table holds, no more than kMaxGlyphs glyphs and none beyond
// kMaxGlyphSide. A glyph's rows are read from the bytes only when the import asks for it.
class PcfFont : public BitmapFont {
public:
    // Maps the encodings to Unicode as a BDF's are. Throws FileError naming `source` for a
    // font that breaks the format or a limit, and for a registry without a table here.
    PcfFont(std::string bytes, const std::filesystem::path& source);

private:
    void drawRows(const BitmapGlyph& from, SourceGlyph& glyph) const override;

    std::string bytes_;
    std::uint32_t bitmapFormat_ = 0;
    std::string_view bitmaps_; // the rows of every glyph, into bytes_
};

} // namespace korvalin
