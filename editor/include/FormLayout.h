#pragma once

#include "Colors.h"
#include "FontSet.h"

#include <array>

namespace korvalin {

// The window's layout, for every toolkit: one table in twips, 1440 to the inch, the rules
// that fit it to the window's font, and where a click lands. A window turns it into pixels
// at its DPI and places its controls where it says.

inline constexpr int kTwipsPerInch = 1440;
// The DPI at which the table was drawn: a pixel is 15 twips there.
inline constexpr int kDefaultDpi = 96;

struct TwipsBox {
    int left;
    int top;
    int width;
    int height;
};

// The client area below the menu bar and the controls in it.
inline constexpr int kClientWidth = 5085;
inline constexpr int kClientHeight = 3474;
inline constexpr TwipsBox kFrame1{4320, 243, 738, 900};
inline constexpr TwipsBox kNextChar{4320, 1296, 738, 306};
inline constexpr TwipsBox kStatusLine{27, 3267, 2331, 171};
// A cell of the grid the user draws on, in the client area.
[[nodiscard]] TwipsBox PixelCellTwips(int index);
// A cell of the preview, in Frame1.
[[nodiscard]] TwipsBox PreviewCellTwips(int index);

// A thin line round each pixel cell, so blank paper still shows its grid.
inline constexpr OleColor kGridLine = Rgb(0xB4, 0xB4, 0xB4);
// The grid line's width in device pixels: one pixel at 96 dpi, never thinner than one
// device pixel. `scale` is the device pixels to a pixel at 96 dpi.
[[nodiscard]] int GridLineWidth(double scale);

// A rectangle in pixels; its right and bottom edges lie just outside it.
struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    [[nodiscard]] int width() const { return right - left; }
    [[nodiscard]] int height() const { return bottom - top; }
    [[nodiscard]] bool contains(int x, int y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

[[nodiscard]] int TwipsToPixels(int twips, int dpi);
// Both edges are rounded, so neighbouring controls keep their overlaps and gaps.
[[nodiscard]] PixelBox TwipsToPixels(const TwipsBox& box, int dpi);

// What the window's font needs, in pixels at the layout's DPI.
struct TextRoom {
    int statusPrefix = 0; // the status line's text before the number
    int widestDigit = 0;
    int lineHeight = 0;
    int frameWithTitle = 0; // the narrowest Frame1 that shows its whole title
};

// Whose coordinates the preview's cells are rounded in: those of Frame1, where the preview
// is the frame's child, or those of the client area, where it lies over the frame.
enum class PreviewParent { Frame, ClientArea };

// A block of cells, drawn by one control that covers them all.
struct CellBlockLayout {
    PixelBox area; // in the coordinates of the block's parent
    std::array<PixelBox, FontSet::kCellsPerGlyph> cells{}; // in the area's coordinates

    // The cell at (x, y) in the area's coordinates, or -1. Where cells overlap, the one
    // with the higher index lies on top.
    [[nodiscard]] int cellAt(int x, int y) const;
    // A cell in the coordinates of the block's parent.
    [[nodiscard]] PixelBox cellInParent(int index) const;
};

// Every control's place in pixels at one DPI.
struct FormLayout {
    int dpi = kDefaultDpi;
    int clientWidth = 0;
    int clientHeight = 0;
    PixelBox frame;
    PixelBox next;
    PixelBox status;
    CellBlockLayout pixel; // in the client area
    CellBlockLayout preview;
};

// The table was drawn for a smaller font than most desktops have. The status line keeps its
// place and grows to hold its longest text on one line, up to the margin of the client area,
// and the client area grows down with it; where the frame's title does not fit, the frame
// and Next grow to the left, and the preview moves to stay in the frame's middle.
[[nodiscard]] FormLayout LayOutForm(int dpi, const TextRoom& room, PreviewParent parent);

} // namespace korvalin
