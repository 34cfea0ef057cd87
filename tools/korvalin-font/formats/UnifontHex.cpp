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
    const std::string_view text = bytes_;
    fits5x7_ = true;
    int lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
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
        if (!bitmaps_.emplace(point, bitmap).second)
            continue; // the first glyph for a code point counts, as in hex2bdf's sorted input
        const int width = widthOf(bitmap);
        for (int y = 0; y < kRows && fits5x7_; ++y)
            for (int x = 0; x < width && fits5x7_; ++x)
                if (inkAt(bitmap, width, x, y) &&
                    (width != 8 || y < kFirstRow || y >= kFirstRow + FontSet::kRows ||
                     x < kFirstColumn || x >= kFirstColumn + FontSet::kColumns))
                    fits5x7_ = false;
    }
    if (bitmaps_.empty())
        throw FileError(source, "is a Unifont .hex file without glyphs");
}

std::optional<SourceGlyph> UnifontHexSource::glyph(char32_t codePoint) {
    const auto found = bitmaps_.find(codePoint);
    if (found == bitmaps_.end())
        return std::nullopt;
    const std::string_view bitmap = found->second;
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
