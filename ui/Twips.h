#pragma once

#include <QRect>
#include <cmath>

namespace korvalin {

// Layout is given in twips, 15 to a pixel at 96 dpi; Qt's scaling handles other screens.
constexpr double kTwipsPerPixel = 15.0;

constexpr int twipsToPixels(int twips) {
    return static_cast<int>(twips / kTwipsPerPixel + 0.5);
}

// Both edges are rounded, so neighbouring controls keep their overlaps and gaps.
constexpr QRect twipsRect(int left, int top, int width, int height) {
    const int x = twipsToPixels(left);
    const int y = twipsToPixels(top);
    return QRect(x, y, twipsToPixels(left + width) - x, twipsToPixels(top + height) - y);
}

} // namespace korvalin
