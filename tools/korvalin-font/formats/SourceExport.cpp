#include "SourceExport.h"

#include "GlyphText.h"
#include "ProgramImage.h"

#include <cstdio>

namespace korvalin {
namespace {

std::uint8_t rowByte(const ProgramImage& image, int code, int row) {
    return image[kProgramImageHeaderSize + static_cast<std::size_t>(code * FontSet::kRows + row)];
}

// A code's title for a comment that runs to the line's end: a backslash there would join
// the next line to a C comment, so it is spelled out.
std::string commentTitle(int code) {
    std::string title = CodeTitle(code);
    if (title.ends_with('\\'))
        title.replace(title.size() - 1, 1, "(backslash)");
    return title;
}

} // namespace

std::string SourceName(std::string_view name) {
    std::string out;
    for (const char c : name) {
        const bool word =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        out += word ? c : '_';
    }
    const bool letter =
        !out.empty() && ((out[0] >= 'a' && out[0] <= 'z') || (out[0] >= 'A' && out[0] <= 'Z'));
    return letter ? out : "font_" + out;
}

std::string WriteCHeader(const FontSet& table, std::string_view name) {
    const ProgramImage image = BuildProgramImage(table);
    const std::string identifier = SourceName(name);
    std::string out = "// " + identifier +
                      ": a Korvalin font set, 7 row bytes a glyph, bit 4 the left column.\n"
                      "#pragma once\n\nconst unsigned char " +
                      identifier + "[256][7] = {\n";
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        out += "    {";
        for (int row = 0; row < FontSet::kRows; ++row) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", rowByte(image, code, row));
            out += (row == 0 ? "" : ", ") + std::string(hex);
        }
        out += "}, // " + commentTitle(code) + "\n";
    }
    return out + "};\n";
}

std::string WriteZ80Include(const FontSet& table, std::string_view name) {
    const ProgramImage image = BuildProgramImage(table);
    std::string out = "; A Korvalin font set: 7 row bytes a glyph, bit 4 the left column.\n" +
                      SourceName(name) + ":\n";
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        out += "    .db ";
        for (int row = 0; row < FontSet::kRows; ++row) {
            std::string bits = "%";
            for (int bit = 7; bit >= 0; --bit)
                bits += (rowByte(image, code, row) >> bit) & 1 ? '1' : '0';
            out += (row == 0 ? "" : ", ") + bits;
        }
        out += " ; " + commentTitle(code) + "\n";
    }
    return out;
}

} // namespace korvalin
