#include "GlyphArt.h"

#include "FileError.h"
#include "Utf8.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace korvalin {
namespace {

// Fills one row of `glyph`; returns the fault in plain words, or an empty string.
std::string artRow(std::string_view row, int rowIndex, Glyph& glyph) {
    if (row.size() != FontSet::kColumns)
        return "a row must be 5 characters of '#' and '.'";
    for (int column = 0; column < FontSet::kColumns; ++column) {
        const char c = row[static_cast<std::size_t>(column)];
        if (c != '#' && c != '.')
            return "a row must be 5 characters of '#' and '.'";
        glyph[static_cast<std::size_t>(rowIndex * FontSet::kColumns + column)] =
            c == '#' ? FontSet::kSet : FontSet::kClear;
    }
    return {};
}

} // namespace

Glyph GlyphFromArt(std::initializer_list<std::string_view> rows) {
    if (rows.size() != FontSet::kRows)
        throw std::invalid_argument("a glyph has 7 rows");
    Glyph glyph{};
    int rowIndex = 0;
    for (const std::string_view row : rows) {
        if (const std::string fault = artRow(row, rowIndex++, glyph); !fault.empty())
            throw std::invalid_argument(fault);
    }
    return glyph;
}

std::string GlyphArt(std::span<const CellValue, FontSet::kCellsPerGlyph> glyph) {
    std::string art;
    for (int i = 0; i < FontSet::kCellsPerGlyph; ++i) {
        const CellValue value = glyph[static_cast<std::size_t>(i)];
        art += value == FontSet::kSet ? '#' : value == FontSet::kClear ? '.' : '?';
        if (i % FontSet::kColumns == FontSet::kColumns - 1)
            art += '\n';
    }
    return art;
}

namespace {

// Reads art whose glyphs are either all 256 in order, or any codes once each.
PartialFontArt readArt(std::string_view text, const std::filesystem::path& source, bool whole) {
    PartialFontArt art;
    int lineNumber = 0;
    int code = -1;
    int rowIndex = FontSet::kRows; // no glyph open yet
    Glyph glyph{};
    const auto fail = [&](const std::string& cause) {
        throw FileError(source, "line " + std::to_string(lineNumber) + ": " + cause);
    };
    // The code of a header "== CODE NAME", or -1.
    const auto headerCode = [](std::string_view header) {
        header.remove_prefix(3);
        int value = 0;
        std::size_t digits = 0;
        while (digits < header.size() && digits < 4 && header[digits] >= '0' &&
               header[digits] <= '9')
            value = value * 10 + (header[digits++] - '0');
        const bool ended = digits == header.size() || header[digits] == ' ';
        return digits > 0 && ended && value < FontSet::kCharacters ? value : -1;
    };

    text = WithoutByteOrderMark(text);
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++lineNumber;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (rowIndex < FontSet::kRows) {
            if (const std::string fault = artRow(line, rowIndex, glyph); !fault.empty())
                fail(fault);
            if (++rowIndex == FontSet::kRows) {
                for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
                    art.table.setCell(code, cell, glyph[static_cast<std::size_t>(cell)]);
                art.drawn.set(static_cast<std::size_t>(code));
            }
        } else if (line.starts_with("== ")) {
            const int next = headerCode(line);
            if (whole) {
                if (art.drawn.all())
                    fail("more than 256 glyphs");
                if (next != code + 1)
                    fail("expected the glyph of code " + std::to_string(code + 1));
            } else if (next < 0) {
                fail("expected \"== CODE NAME\" with a code from 0 to 255");
            } else if (art.drawn.test(static_cast<std::size_t>(next))) {
                fail("code " + std::to_string(next) + " is drawn a second time");
            }
            code = next;
            rowIndex = 0;
        } else if (!line.empty() && !line.starts_with(";")) {
            fail("expected \"== CODE NAME\", a \";\" comment or a blank line");
        }
    }
    if (rowIndex < FontSet::kRows)
        fail("the last glyph has fewer than 7 rows");
    if (whole && !art.drawn.all())
        fail("ends after " + std::to_string(code + 1) + " glyphs; 256 needed");
    if (art.drawn.none())
        fail("holds no glyph");
    return art;
}

} // namespace

FontSet ReadFontArt(std::string_view text, const std::filesystem::path& source) {
    return readArt(text, source, true).table;
}

PartialFontArt ReadPartialFontArt(std::string_view text, const std::filesystem::path& source) {
    return readArt(text, source, false);
}

bool IsFontArt(std::string_view text) {
    text = WithoutByteOrderMark(text);
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (!line.empty() && !line.starts_with(";"))
            return line.starts_with("== ");
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return false;
}

std::string WriteFontArt(const FontSet& table,
                         std::span<const std::string, FontSet::kCharacters> names,
                         std::string_view heading) {
    std::string art;
    while (!heading.empty()) {
        const std::size_t end = std::min(heading.find('\n'), heading.size());
        art += "; " + std::string(heading.substr(0, end)) + "\n";
        heading.remove_prefix(std::min(end + 1, heading.size()));
    }
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const std::string& name = names[static_cast<std::size_t>(code)];
        if (name.find_first_of("\r\n") != std::string::npos)
            throw std::invalid_argument("a glyph's name must be one line");
        art += "\n== " + std::to_string(code) + (name.empty() ? "" : " " + name) + "\n";
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell) {
            // Even is ink, as the program image packs a cell.
            art += (table.cell(code, cell) & 1) == 0 ? '#' : '.';
            if (cell % FontSet::kColumns == FontSet::kColumns - 1)
                art += '\n';
        }
    }
    return art;
}

} // namespace korvalin
