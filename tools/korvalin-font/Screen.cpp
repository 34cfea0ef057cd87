#include "Screen.h"

#include "Charmap.h"
#include "Sheet.h"

#include <stdexcept>
#include <string>

namespace korvalin {

std::vector<std::vector<int>> ScreenLayout(std::string_view text) {
    std::vector<std::vector<int>> rows;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        const std::vector<int> codes = CodesForText(text.substr(start, end - start));
        // A line of exactly 16 characters has wrapped already; its line feed adds no row.
        rows.emplace_back();
        for (const int code : codes) {
            if (rows.back().size() == kScreenColumns)
                rows.emplace_back();
            rows.back().push_back(code);
        }
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    if (rows.size() > kScreenRows)
        throw std::invalid_argument("the text needs " + std::to_string(rows.size()) +
                                    " rows; the screen has " + std::to_string(kScreenRows));
    return rows;
}

Pixels RenderScreen(const FontSet& table, std::string_view text, int scale) {
    if (scale < 1 || scale > kMaxScale)
        throw std::invalid_argument("the scale must be 1 to " + std::to_string(kMaxScale));
    const std::vector<std::vector<int>> rows = ScreenLayout(text);
    Pixels screen(kScreenWidth * scale, kScreenHeight * scale, kLcdPaper);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            const auto glyph = table.glyph(rows[row][column]);
            for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell) {
                if ((glyph[static_cast<std::size_t>(cell)] & 1) != 0)
                    continue; // paper, as the program image packs it
                const int x = static_cast<int>(column) * 6 + cell % FontSet::kColumns;
                const int y = static_cast<int>(row) * 8 + cell / FontSet::kColumns;
                screen.fill(x * scale, y * scale, scale, scale, kLcdInk);
            }
        }
    }
    return screen;
}

} // namespace korvalin
