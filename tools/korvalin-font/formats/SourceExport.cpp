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

std::string WriteCHeader(const FontSet& table, std::string_view name) {
    const ProgramImage image = BuildProgramImage(table);
    const std::string array(name);
    std::string macro = array;
    for (char& c : macro)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    std::string out =
        "// " + array +
        ": a Korvalin font set, 7 row bytes a glyph, bit 4 the left column.\n"
        "// Include this file wherever the font is used; in one C or C++ file of the program,\n"
        "// #define " +
        macro +
        "_DEFINE before including it, and the array is defined there.\n"
        "#ifndef " +
        macro + "_DECLARED\n#define " + macro +
        "_DECLARED\n"
        "#ifdef __cplusplus\nextern \"C\" {\n#endif\n"
        "extern const unsigned char " +
        array +
        "[256][7];\n"
        "#ifdef __cplusplus\n}\n#endif\n#endif\n\n"
        "#if defined(" +
        macro + "_DEFINE) && !defined(" + macro +
        "_DEFINED)\n"
        "#define " +
        macro +
        "_DEFINED\n"
        "const unsigned char " +
        array + "[256][7] = {\n";
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        out += "    {";
        for (int row = 0; row < FontSet::kRows; ++row) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", rowByte(image, code, row));
            out += (row == 0 ? "" : ", ") + std::string(hex);
        }
        out += "}, // " + commentTitle(code) + "\n";
    }
    return out + "};\n#endif\n";
}

std::string WriteZ80Include(const FontSet& table, std::string_view name) {
    const ProgramImage image = BuildProgramImage(table);
    std::string out = "; A Korvalin font set: 7 row bytes a glyph, bit 4 the left column.\n" +
                      std::string(name) + ":\n";
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
