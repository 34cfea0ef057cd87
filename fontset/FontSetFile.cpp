#include "FontSetFile.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "FontSetParser.h"

#include <cerrno>
#include <charconv>
#include <fstream>

namespace korvalin {

void ReadFontSet(std::istream& in, const std::filesystem::path& source, FontSet& table) {
    FontSet parsed;
    try {
        FontSetParser(in).readInto(parsed.cells());
    } catch (const ParseError& error) {
        throw FileError(source, error.what());
    }
    table = parsed;
}

void ReadFontSetFile(const std::filesystem::path& path, FontSet& table) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        throw FileError(path, "cannot be opened: it is a folder");
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int reason = errno;
        throw FileError(path, "cannot be opened: " +
                                  (reason ? systemReason(reason) : std::string("unreadable")));
    }
    ReadFontSet(in, path, table);
}

std::string FontSetText(const FontSet& table) {
    std::string text;
    text.reserve(FontSet::kCellCount * 9);
    char digits[8];
    for (const CellValue value : table.cells()) {
        // The sign takes the place of a leading blank; a trailing blank ends every value.
        text += value < 0 ? '-' : ' ';
        const int magnitude = value < 0 ? -static_cast<int>(value) : value;
        const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
        text.append(digits, end);
        text += " \r\n";
    }
    return text;
}

void WriteFontSetFile(const std::filesystem::path& path, const FontSet& table) {
    WriteFileAtomically(path, FontSetText(table));
}

} // namespace korvalin
