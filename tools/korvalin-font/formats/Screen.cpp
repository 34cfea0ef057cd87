#include "Screen.h"

#include "CharmapAliases.h"
#include "Sheet.h"
#include "TextScan.h"

#include <stdexcept>
#include <string>

namespace korvalin {

std::vector<int> ScreenCodes(std::string_view typed) {
    std::vector<int> codes;
    std::string run; // text since the last escape, mapped through the charmap in one go
    const auto flush = [&] {
        const std::vector<int> mapped = CodesForTypedText(run);
        codes.insert(codes.end(), mapped.begin(), mapped.end());
        run.clear();
    };
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const char c = typed[i];
        const char next = i + 1 < typed.size() ? typed[i + 1] : '\0';
        if (c == '\n' || (c == '\\' && next == 'n')) {
            flush();
            codes.push_back(kScreenLineBreak);
            i += c == '\n' ? 0 : 1;
        } else if (c == '\\' && next == '\\') {
            run += '\\';
            ++i;
        } else if (c == '\\' && next == 'x') {
            const int high = i + 2 < typed.size() ? HexDigitValue(typed[i + 2]) : -1;
            const int low = i + 3 < typed.size() ? HexDigitValue(typed[i + 3]) : -1;
            if (high < 0 || low < 0)
                throw std::invalid_argument("\"\\x\" takes two hex digits, as in \\x41");
            flush();
            codes.push_back(high * 16 + low);
            i += 3;
        } else {
            run += c;
        }
    }
    flush();
    return codes;
}

std::vector<std::vector<int>> ScreenLayout(std::span<const int> codes) {
    std::vector<std::vector<int>> rows(1);
    for (const int code : codes) {
        // A full row wraps only when one more code comes, so that a line of exactly 16
        // characters and its line break take one row.
        if (code == kScreenLineBreak || rows.back().size() == kScreenColumns)
            rows.emplace_back();
        if (code != kScreenLineBreak)
            rows.back().push_back(code);
    }
    if (rows.size() > kScreenRows)
        throw std::invalid_argument("the text needs " + std::to_string(rows.size()) +
                                    " rows; the screen has " + std::to_string(kScreenRows));
    return rows;
}

void DrawCodes(Pixels& out, const FontSet& table, std::span<const int> codes, int x, int y,
               int scale, std::uint32_t ink) {
    for (std::size_t column = 0; column < codes.size(); ++column) {
        const auto glyph = table.glyph(codes[column]);
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell) {
            if ((glyph[static_cast<std::size_t>(cell)] & 1) != 0)
                continue; // paper, as the program image packs it
            const int left = (static_cast<int>(column) * 6 + cell % FontSet::kColumns) * scale;
            const int top = (cell / FontSet::kColumns) * scale;
            out.fill(x + left, y + top, scale, scale, ink);
        }
    }
}

Pixels RenderScreen(const FontSet& table, std::string_view typed, int scale) {
    if (scale < 1 || scale > kMaxScale)
        throw std::invalid_argument("the scale must be 1 to " + std::to_string(kMaxScale));
    const std::vector<std::vector<int>> rows = ScreenLayout(ScreenCodes(typed));
    Pixels screen(kScreenWidth * scale, kScreenHeight * scale, kLcdPaper);
    for (std::size_t row = 0; row < rows.size(); ++row)
        DrawCodes(screen, table, rows[row], 0, static_cast<int>(row) * 8 * scale, scale, kLcdInk);
    return screen;
}

} // namespace korvalin
