#include "Bdf.h"

#include "Charmap.h"
#include "GlyphRows.h"

#include <cstdio>

namespace korvalin {
namespace {

std::string header() {
    const std::string foundry = kExportFoundry;
    return "STARTFONT 2.1\nFONT -" + foundry +
           R"(-Korvalin-Medium-R-Normal--7-70-72-72-C-60-ISO10646-1
SIZE 7 72 72
FONTBOUNDINGBOX 5 7 0 -1
STARTPROPERTIES 19
FOUNDRY ")" +
           foundry + R"("
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
}

std::string format(const char* pattern, unsigned value) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

} // namespace

std::string WriteBdf(const FontSet& table) {
    std::string out = header();
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const char32_t point = ExportCodePoint(code, 0xFFFF);
        const auto value = static_cast<unsigned>(point);
        out += "STARTCHAR " +
               (point == PrivateUseCodePoint(code) ? format("code%u", static_cast<unsigned>(code))
                                                   : format("uni%04X", value)) +
               "\nENCODING " + std::to_string(value) + "\n";
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
