#pragma once

#include "FontSet.h"
#include "Pixels.h"

#include <span>
#include <string_view>
#include <vector>

namespace korvalin {

// The calculator's home screen: 96 x 64 pixels, 16 columns by 8 rows of 6 x 8 cells.
constexpr int kScreenWidth = 96;
constexpr int kScreenHeight = 64;
constexpr int kScreenColumns = 16;
constexpr int kScreenRows = 8;
constexpr int kScreenDefaultScale = 4;
constexpr std::uint32_t kLcdPaper = 0x9EAB88;
constexpr std::uint32_t kLcdInk = 0x1C241E;

// Stands for a new row among the codes of a screen.
constexpr int kScreenLineBreak = -1;

// The codes of a typed UTF-8 text: "\xNN" is the code NN (two hex digits), "\n" and a line
// feed start a new row, "\\" is a backslash; any other backslash stays one. The rest maps
// through the charmap and its aliases. Throws std::invalid_argument for a character without
// a code or a "\x" without two hex digits.
[[nodiscard]] std::vector<int> ScreenCodes(std::string_view typed);

// Where each code lands: one row of codes a screen row. A line wraps after 16 characters;
// kScreenLineBreak starts a new row. Throws std::invalid_argument for more than 8 rows.
[[nodiscard]] std::vector<std::vector<int>> ScreenLayout(std::span<const int> codes);

// Draws `codes` in `table`'s glyphs from (x, y) rightwards, one 6 x 8 screen cell a code,
// each glyph pixel `scale` pixels square.
void DrawCodes(Pixels& out, const FontSet& table, std::span<const int> codes, int x, int y,
               int scale, std::uint32_t ink);

// The screen showing the typed text in `table`, each screen pixel `scale` pixels square:
// every glyph's 5 x 7 cells at its cell's top left, the sixth column and eighth row blank.
[[nodiscard]] Pixels RenderScreen(const FontSet& table, std::string_view typed,
                                  int scale = kScreenDefaultScale);

} // namespace korvalin
