#pragma once

#include <array>
#include <windows.h>

namespace korvalin::win32 {

inline constexpr int kCells = 35;
inline constexpr int kTwipsPerInch = 1440;

// A control's place in twips, from the top-left corner of the client area.
struct Twips {
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int kClientWidth = 5085;
inline constexpr int kClientHeight = 3474;
inline constexpr Twips kFrame1{4320, 243, 738, 900};
inline constexpr Twips kNextChar{4320, 1296, 738, 306};
inline constexpr Twips kStatus{27, 3267, 2331, 171};
// Margins of the status line: from the client area's right edge, and below it.
inline constexpr int kStatusRightMargin = 27;
inline constexpr int kStatusBottomMargin = kClientHeight - (kStatus.top + kStatus.height);

[[nodiscard]] int ToPixels(int twips, int dpi);
// Both edges are rounded, so neighbouring controls keep their overlaps and gaps.
[[nodiscard]] RECT ToPixels(const Twips& box, int dpi);

// The cells in client coordinates; the preview's lie in Frame1, whose corner is added.
[[nodiscard]] std::array<Twips, kCells> PixelCellTwips();
[[nodiscard]] std::array<Twips, kCells> PreviewCellTwips();

// Every control's place in pixels at one DPI. Cells are given in their grid's coordinates.
struct Layout {
    SIZE client{};
    RECT frame{};
    RECT next{};
    RECT status{};
    RECT pixelGrid{};
    RECT previewGrid{};
    std::array<RECT, kCells> pixelCells{};
    std::array<RECT, kCells> previewCells{};
};

// What the window's font needs: the status line's longest text, and the frame's width for
// its title.
struct TextRoom {
    SIZE status{};
    int frameTitle = 0;
};

// The layout was sized for a smaller font than most desktops have. The status line keeps
// its place and grows to hold its text on one line, and the client area with it; where the
// frame's title does not fit, the frame and Next grow to the left, and the preview stays
// centred in the frame.
[[nodiscard]] Layout LayoutAt(int dpi, TextRoom room);

} // namespace korvalin::win32
