#include "Bdf.h"

#include "Charmap.h"
#include "GlyphRows.h"

#include <cstdio>
#include <optional>

namespace korvalin {
namespace {

constexpr const char* kHeader = R"(STARTFONT 2.1
FONT -Korvalin-Korvalin-Medium-R-Normal--7-70-72-72-C-60-ISO10646-1
SIZE 7 72 72
FONTBOUNDINGBOX 5 7 0 -1
STARTPROPERTIES 19
FOUNDRY "Korvalin"
FAMILY_NAME "Korvalin"
WEIGHT_NAME "Medium"
SLANT "R"
SETWIDTH_NAME "Normal"
ADD_STYLE_NAME ""
PIXEL_SIZE 7
POINT_SIZE 70
RESOLUTION_X 72
RESOLUTION_Y 72
SPACING "C"
AVERAGE_WIDTH 60
CHARSET_REGISTRY "ISO10646"
CHARSET_ENCODING "1"
FONT_ASCENT 6
FONT_DESCENT 1
DEFAULT_CHAR 32
COPYRIGHT "Korvalin font set"
NOTICE "Made by korvalin-font"
ENDPROPERTIES
CHARS 256
)";

std::string format(const char* pattern, unsigned value) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

} // namespace

std::string WriteBdf(const FontSet& table) {
    std::string out = kHeader;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const std::optional<char32_t> point = CodePointOf(code);
        const auto number = static_cast<unsigned>(code);
        // bdftopcf refuses encodings beyond 16 bits; those glyphs, and those of codes whose
        // symbol is another's or none, go unencoded under a name the import reads back.
        if (point && *point <= 0xFFFF) {
            const auto value = static_cast<unsigned>(*point);
            out += "STARTCHAR " + format("uni%04X", value) + "\n";
            out += "ENCODING " + std::to_string(value) + "\n";
        } else {
            out += "STARTCHAR " + format("code%u", number) + "\nENCODING -1\n";
        }
        out += "SWIDTH 857 0\nDWIDTH 6 0\nBBX 5 7 0 -1\nBITMAP\n";
        const auto glyph = table.glyph(code);
        for (int row = 0; row < FontSet::kRows; ++row)
            out += format("%02X\n", LeftAlignedRow(glyph, row));
        out += "ENDCHAR\n";
    }
    out += "ENDFONT\n";
    return out;
}

} // namespace korvalin
