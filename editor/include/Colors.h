#pragma once

#include "FontSet.h"

#include <algorithm>
#include <cstdint>

namespace korvalin {

// Colours are 0x00BBGGRR, red in the low byte.
using OleColor = std::uint32_t;
constexpr OleColor kWhite = 0xFFFFFF;
constexpr OleColor kBlack = 0x000000;

constexpr OleColor Rgb(int red, int green, int blue) {
    return static_cast<OleColor>(red) | static_cast<OleColor>(green) << 8 |
           static_cast<OleColor>(blue) << 16;
}

// The grey of a cell value. Values above 255 show white; negative values, which only a
// file can hold, show black, the nearest grey below.
constexpr OleColor GreyOf(CellValue value) {
    const int level = std::clamp<int>(value, 0, 255);
    return Rgb(level, level, level);
}

} // namespace korvalin
