#pragma once

#include "Pixels.h"

#include <cstdint>
#include <string_view>

namespace korvalin {

// The sheet's own small font for the labels, so that a cell's label never depends on the
// set it shows: hex digits 3 pixels wide and 5 tall, one blank column between them.
constexpr int kLabelDigitWidth = 3;
constexpr int kLabelDigitHeight = 5;
constexpr int kLabelAdvance = kLabelDigitWidth + 1;

// Draws `digits` (0-9, A-F) with the top left at (x, y), each label pixel `zoom` pixels
// square. Throws std::invalid_argument for any other character.
void DrawLabel(Pixels& out, std::string_view digits, int x, int y, int zoom, std::uint32_t colour);

} // namespace korvalin
