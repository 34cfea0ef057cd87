#include "UnifontHex.h"

#include "Charmap.h"
#include "FileError.h"
#include "GlyphRows.h"
#include "TextScan.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace korvalin {
namespace {

constexpr int kRows = 16;
// Where the set's rows and columns go in a Unifont cell: the baseline lies under row 13.
constexpr int kFirstRow = 8;
constexpr int kFirstColumn = 1;

bool allHex(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) { return HexDigitValue(c) >= 0; });
}

// Pixel (x, y) of a bitmap of 16 rows, `width` columns.
bool inkAt(std::string_view bitmap, int width, int x, int y) {
    const std::size_t digit = static_cast<std::size_t>(y) * static_cast<std::size_t>(width / 4) +
                              static_cast<std::size_t>(x / 4);
    return (HexDigitValue(bitmap[digit]) >> (3 - x % 4)) & 1;
}

int widthOf(std::string_view bitmap) {
    return static_cast<int>(bitmap.size()) * 4 / kRows;
}

// Whether a glyph's ink lies where WriteUnifontHex puts the set's: a byte at a time, since
// a .hex may have a million lines.
bool inTheExportsBox(std::string_view bitmap) {
    // Columns 1 to 5 of an 8-pixel row.
    constexpr unsigned kBoxColumns = ((1u << FontSet::kColumns) - 1)
                                     << (8 - kFirstColumn - FontSet::kColumns);
    if (widthOf(bitmap) != 8)
        return std::ranges::all_of(bitmap, [](char c) { return c == '0'; });
    for (int y = 0; y < kRows; ++y) {
        const auto at = static_cast<std::size_t>(2 * y);
        const auto row =
            static_cast<unsigned>(HexDigitValue(bitmap[at]) << 4 | HexDigitValue(bitmap[at + 1]));
        const bool inBox = y >= kFirstRow && y < kFirstRow + FontSet::kRows;
        if ((row & ~(inBox ? kBoxColumns : 0u)) != 0)
            return false;
    }
    return true;
}

} // namespace

bool IsUnifontHex(std::string_view bytes) {
    const std::string_view line = bytes.substr(0, bytes.find('\n'));
    const std::size_t colon = line.find(':');
    return colon >= 4 && colon <= 6 && allHex(line.substr(0, colon)) && line.size() > colon + 32 &&
           allHex(line.substr(colon + 1, 32));
}

std::string WriteUnifontHex(const FontSet& table) {
    std::vector<std::string> lines;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const char32_t point = ExportCodePoint(code, 0x10FFFF);
        char key[16];
        std::snprintf(key, sizeof key,
                      point > 0xFFFF ? "%06X:" : "%04X:", static_cast<unsigned>(point));
        std::string line = key;
        const auto glyph = table.glyph(code);
        for (int row = 0; row < kRows; ++row) {
            const int setRow = row - kFirstRow;
            const unsigned bits = setRow >= 0 && setRow < FontSet::kRows
                                      ? LeftAlignedRow(glyph, setRow) >> kFirstColumn
                                      : 0;
            line += "0123456789ABCDEF"[(bits >> 4) & 0xF];
            line += "0123456789ABCDEF"[bits & 0xF];
        }
        lines.push_back(line + "\n");
    }
    std::ranges::sort(lines);
    std::string out;
    for (const std::string& line : lines)
        out += line;
    return out;
}

UnifontHexSource::UnifontHexSource(std::string bytes, const std::filesystem::path& source)
    : bytes_(std::move(bytes)) {
    if (bytes_.size() > 0xFFFFFFFF)
        throw FileError(source, "is larger than a .hex file this program reads");
    const std::string_view text = bytes_;
    fits5x7_ = true;
    int lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        const std::size_t lineStart = start;
        start = end + 1;
        ++lineNumber;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const std::size_t colon = line.find(':');
        const std::string_view key = line.substr(0, std::min(colon, line.size()));
        const std::string_view bitmap =
            colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
        const auto fail = [&](const std::string& cause) {
            throw FileError(source, "line " + std::to_string(lineNumber) + ": " + cause);
        };
        if (key.size() < 4 || key.size() > 6 || !allHex(key))
            fail("expected a code point of 4 to 6 hex digits and a colon");
        if ((bitmap.size() != 32 && bitmap.size() != 64) || !allHex(bitmap))
            fail("expected 32 or 64 hex digits after the colon (16 rows of 8 or 16 pixels)");
        char32_t point = 0;
        for (const char c : key)
            point = point * 16 + static_cast<char32_t>(HexDigitValue(c));
        if (point > 0x10FFFF)
            fail("the code point is beyond Unicode");
        bitmaps_.emplace_back(point, static_cast<std::uint32_t>(lineStart + colon + 1));
        fits5x7_ = fits5x7_ && inTheExportsBox(bitmap);
    }
    if (bitmaps_.empty())
        throw FileError(source, "is a Unifont .hex file without glyphs");
    // The first glyph for a code point counts, as in hex2bdf's sorted input.
    std::ranges::stable_sort(bitmaps_, {}, &std::pair<char32_t, std::uint32_t>::first);
}

std::string_view UnifontHexSource::bitmapAt(std::uint32_t at) const {
    // 32 digits, or 64 where the line goes on (it was checked to be one or the other).
    const bool wide = at + 32 < bytes_.size() && HexDigitValue(bytes_[at + 32]) >= 0;
    return std::string_view(bytes_).substr(at, wide ? 64 : 32);
}

std::optional<SourceGlyph> UnifontHexSource::glyph(char32_t codePoint) {
    const auto found = std::ranges::lower_bound(bitmaps_, codePoint, {},
                                                &std::pair<char32_t, std::uint32_t>::first);
    if (found == bitmaps_.end() || found->first != codePoint)
        return std::nullopt;
    const std::string_view bitmap = bitmapAt(found->second);
    const int width = widthOf(bitmap);
    SourceGlyph glyph;
    if (fits5x7_) {
        glyph.width = FontSet::kColumns;
        glyph.height = FontSet::kRows;
        glyph.top = ascent();
        for (int y = 0; y < FontSet::kRows; ++y)
            for (int x = 0; x < FontSet::kColumns; ++x)
                glyph.ink.push_back(inkAt(bitmap, width, x + kFirstColumn, y + kFirstRow) ? 1 : 0);
        return glyph;
    }
    glyph.width = width;
    glyph.height = kRows;
    glyph.top = ascent();
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < width; ++x)
            glyph.ink.push_back(inkAt(bitmap, width, x, y) ? 1 : 0);
    return glyph;
}

} // namespace korvalin
