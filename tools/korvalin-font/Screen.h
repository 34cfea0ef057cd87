#pragma once

#include "FontSet.h"
#include "Pixels.h"

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

// Where each code of a UTF-8 text lands: one row of codes a screen row. A line wraps after
// 16 characters; a line feed starts a new row. Throws std::invalid_argument for a character
// without a code or a text that needs more than 8 rows.
[[nodiscard]] std::vector<std::vector<int>> ScreenLayout(std::string_view text);

// The screen showing `text` in `table`, each screen pixel `scale` pixels square: every glyph's
// 5 x 7 cells at its cell's top left, the sixth column and eighth row blank.
[[nodiscard]] Pixels RenderScreen(const FontSet& table, std::string_view text,
                                  int scale = kScreenDefaultScale);

} // namespace korvalin
