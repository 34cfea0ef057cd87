#pragma once

#include "BitmapFont.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvalin {

// Whether `bytes` open as a BDF font: its first line after any COMMENT lines is STARTFONT.
// The one definition the import goes by; nothing else reads a BDF.
[[nodiscard]] bool IsBdf(std::string_view bytes);

// A BDF font, read by our own reader: FreeType's drops unencoded glyphs, which our exports
// name by their code, and takes the registry from CHARSET_REGISTRY alone. It keeps the
// limits as it reads: no more than kMaxGlyphs glyphs, none beyond kMaxGlyphSide, and a
// glyph's rows are read from the text only when the import asks for the glyph.
class BdfFont : public BitmapFont {
public:
    // Maps the encodings to Unicode through the registry of CHARSET_REGISTRY, else of the
    // XLFD name, else takes them as Unicode. Throws FileError naming `source` for a font
    // that breaks the format or a limit, and for a registry without a table here.
    BdfFont(std::string bytes, const std::filesystem::path& source);

private:
    struct Header {
        FontCharset charset;
        std::optional<long> ascent;
        std::optional<long> descent;
        long boxHeight = 0;
        long boxBottom = 0;
    };
    static void readHeaderLine(std::string_view line, Header& header,
                               const std::filesystem::path& source);
    void drawRows(const BitmapGlyph& from, SourceGlyph& glyph) const override;

    std::string bytes_; // the glyphs' rows are read from here
};

} // namespace korvalin
