#include "FontSetFile.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "FontSetParser.h"
#include "InputFile.h"

#include <charconv>
#include <istream>

namespace korvalin {

namespace {

void parse(FontSetParser&& parser, const std::filesystem::path& source, FontSet& table) {
    FontSet parsed;
    try {
        parser.readInto(parsed.cells());
    } catch (const ParseError& error) {
        throw FileError(source, error.what());
    }
    table = parsed;
}

} // namespace

void ReadFontSet(std::string_view text, const std::filesystem::path& source, FontSet& table) {
    parse(FontSetParser(text), source, table);
}

void ReadFontSet(std::istream& in, const std::filesystem::path& source, FontSet& table) {
    parse(FontSetParser([&in](std::span<char> buffer) {
              in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
              if (in.bad())
                  throw ParseError("could not be read to its end");
              return static_cast<std::size_t>(in.gcount());
          }),
          source, table);
}

void ReadFontSetFile(const std::filesystem::path& path, FontSet& table) {
    InputFile file(path);
    parse(FontSetParser([&file](std::span<char> buffer) { return file.read(buffer); }), path,
          table);
}

std::string FontSetText(const FontSet& table) {
    // Sized once for the longest line, a sign, five digits, a blank and CR LF, and cut to
    // what was written: appends would check the capacity three times a value.
    constexpr std::size_t kLongestLine = 9;
    std::string text(FontSet::kCellCount * kLongestLine, '\0');
    char* out = text.data();
    char* const end = out + text.size();
    for (const CellValue value : table.cells()) {
        // The sign takes the place of a leading blank; a trailing blank ends every value.
        *out++ = value < 0 ? '-' : ' ';
        const int magnitude = value < 0 ? -static_cast<int>(value) : value;
        out = std::to_chars(out, end, magnitude).ptr;
        *out++ = ' ';
        *out++ = '\r';
        *out++ = '\n';
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

void WriteFontSetFile(const std::filesystem::path& path, const FontSet& table) {
    WriteFileAtomically(path, FontSetText(table));
}

} // namespace korvalin
