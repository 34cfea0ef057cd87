#include "Preview.h"

#include "Screen.h"

#include <algorithm>

namespace korvalin {
namespace {

constexpr std::uint32_t kBackground = 0xFFFFFF;
constexpr std::uint32_t kText = 0x202020;
constexpr std::uint32_t kChosenFrame = 0xC03020;
constexpr int kMargin = 8;
constexpr int kLineHeight = 10;
constexpr int kLabelColumns = 40;
constexpr std::size_t kHeadingColumns = 52;
constexpr int kCellWidth = 6;

// ASCII text in the label set's glyphs; anything else shows as '?'.
void drawText(Pixels& out, const FontSet& labels, std::string_view text, int x, int y,
              std::size_t columns = kLabelColumns) {
    std::vector<int> codes;
    for (const char c : text.substr(0, columns))
        codes.push_back(c >= 0x20 && c < 0x7F ? c : '?');
    DrawCodes(out, labels, codes, x, y, 1, kText);
}

} // namespace

Pixels RenderPreview(std::span<const PreviewTile> tiles, std::string_view heading,
                     const FontSet& labels, std::string_view sample) {
    const int tileHeight = kScreenHeight + kMargin;
    const int top = kMargin + kLineHeight + kMargin;
    const int width = kMargin + kScreenWidth + kMargin + kLabelColumns * kCellWidth + kMargin;
    Pixels out(width, top + static_cast<int>(tiles.size()) * tileHeight, kBackground);
    drawText(out, labels, heading, kMargin, kMargin, kHeadingColumns);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const PreviewTile& tile = tiles[i];
        const int y = top + static_cast<int>(i) * tileHeight;
        if (tile.chosen)
            out.fill(kMargin - 3, y - 3, kScreenWidth + 6, kScreenHeight + 6, kChosenFrame);
        const Pixels screen = RenderScreen(tile.table, sample, 1);
        for (int row = 0; row < screen.height; ++row)
            std::copy_n(screen.rgb.begin() + static_cast<std::ptrdiff_t>(row) * screen.width,
                        screen.width,
                        out.rgb.begin() + static_cast<std::ptrdiff_t>(y + row) * width + kMargin);
        for (std::size_t line = 0; line < tile.lines.size(); ++line)
            drawText(out, labels, tile.lines[line], kMargin + kScreenWidth + kMargin,
                     y + static_cast<int>(line) * kLineHeight);
    }
    return out;
}

} // namespace korvalin
