#include "Layout.h"

#include <algorithm>

namespace korvalin::win32 {

namespace {

constexpr int kColumns = 5;

RECT unionOf(const std::array<RECT, kCells>& cells) {
    RECT all = cells[0];
    for (const RECT& cell : cells)
        UnionRect(&all, &all, &cell);
    return all;
}

std::array<RECT, kCells> relativeTo(std::array<RECT, kCells> cells, const RECT& grid) {
    for (RECT& cell : cells)
        OffsetRect(&cell, -grid.left, -grid.top);
    return cells;
}

std::array<RECT, kCells> toPixels(const std::array<Twips, kCells>& cells, int dpi) {
    std::array<RECT, kCells> pixels{};
    std::transform(cells.begin(), cells.end(), pixels.begin(),
                   [dpi](const Twips& cell) { return ToPixels(cell, dpi); });
    return pixels;
}

} // namespace

int ToPixels(int twips, int dpi) {
    return MulDiv(twips, dpi, kTwipsPerInch);
}

RECT ToPixels(const Twips& box, int dpi) {
    return {ToPixels(box.left, dpi), ToPixels(box.top, dpi), ToPixels(box.left + box.width, dpi),
            ToPixels(box.top + box.height, dpi)};
}

std::array<Twips, kCells> PixelCellTwips() {
    std::array<Twips, kCells> cells{};
    for (int i = 0; i < kCells; ++i) {
        const int size = i == 0 ? 400 : 396;
        cells[static_cast<std::size_t>(i)] = {54 + 378 * (i % kColumns), 243 + 378 * (i / kColumns),
                                              size, size};
    }
    return cells;
}

std::array<Twips, kCells> PreviewCellTwips() {
    std::array<Twips, kCells> cells{};
    for (int i = 0; i < kCells; ++i)
        cells[static_cast<std::size_t>(i)] = {kFrame1.left + 162 + 81 * (i % kColumns),
                                              kFrame1.top + 216 + 81 * (i / kColumns), 90, 90};
    return cells;
}

Layout LayoutAt(int dpi, TextRoom room) {
    const SIZE statusText = room.status;
    Layout layout;
    layout.frame = ToPixels(kFrame1, dpi);
    layout.next = ToPixels(kNextChar, dpi);
    const LONG grow = std::max<LONG>(0, room.frameTitle - (layout.frame.right - layout.frame.left));
    layout.frame.left -= grow;
    layout.next.left -= grow;

    const auto pixels = toPixels(PixelCellTwips(), dpi);
    const auto previews = toPixels(PreviewCellTwips(), dpi);
    layout.pixelGrid = unionOf(pixels);
    layout.previewGrid = unionOf(previews);
    layout.pixelCells = relativeTo(pixels, layout.pixelGrid);
    layout.previewCells = relativeTo(previews, layout.previewGrid);
    OffsetRect(&layout.previewGrid, -grow / 2, 0);

    RECT status = ToPixels(kStatus, dpi);
    const int rightLimit = ToPixels(kClientWidth - kStatusRightMargin, dpi);
    status.right = std::clamp<LONG>(status.left + statusText.cx, status.right, rightLimit);
    status.bottom = std::max<LONG>(status.bottom, status.top + statusText.cy);
    layout.status = status;

    layout.client = {ToPixels(kClientWidth, dpi),
                     std::max<LONG>(ToPixels(kClientHeight, dpi),
                                    status.bottom + ToPixels(kStatusBottomMargin, dpi))};
    return layout;
}

} // namespace korvalin::win32
