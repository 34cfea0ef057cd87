#include "FormLayout.h"

#include <algorithm>
#include <cstdint>

namespace korvalin {

namespace {

// The status line's margins: from the client area's right edge, and below it.
constexpr int kStatusRightMargin = 27;
constexpr int kStatusBottomMargin = kClientHeight - (kStatusLine.top + kStatusLine.height);
// The widest number the status line shows has three digits, as 255 does.
constexpr int kStatusDigits = 3;

// The union of the cells, which are then given in its coordinates.
CellBlockLayout blockOf(const std::array<PixelBox, FontSet::kCellsPerGlyph>& cells) {
    CellBlockLayout block{cells.front(), cells};
    for (const PixelBox& cell : cells) {
        block.area.left = std::min(block.area.left, cell.left);
        block.area.top = std::min(block.area.top, cell.top);
        block.area.right = std::max(block.area.right, cell.right);
        block.area.bottom = std::max(block.area.bottom, cell.bottom);
    }
    for (PixelBox& cell : block.cells)
        cell = {cell.left - block.area.left, cell.top - block.area.top,
                cell.right - block.area.left, cell.bottom - block.area.top};
    return block;
}

template <typename Place>
CellBlockLayout blockAt(int dpi, Place place) {
    std::array<PixelBox, FontSet::kCellsPerGlyph> cells{};
    for (int i = 0; i < FontSet::kCellsPerGlyph; ++i)
        cells[static_cast<std::size_t>(i)] = TwipsToPixels(place(i), dpi);
    return blockOf(cells);
}

void moveAcross(PixelBox& box, int distance) {
    box.left += distance;
    box.right += distance;
}

} // namespace

TwipsBox PixelCellTwips(int index) {
    const int size = index == 0 ? 400 : 396;
    return {54 + 378 * (index % FontSet::kColumns), 243 + 378 * (index / FontSet::kColumns), size,
            size};
}

TwipsBox PreviewCellTwips(int index) {
    return {162 + 81 * (index % FontSet::kColumns), 216 + 81 * (index / FontSet::kColumns), 90, 90};
}

int GridLineWidth(double scale) {
    return std::max(1, static_cast<int>(scale));
}

// Rounded to the nearest pixel, halves away from zero, as Windows' MulDiv does.
int TwipsToPixels(int twips, int dpi) {
    const std::int64_t scaled = std::int64_t{twips} * dpi;
    const std::int64_t half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                        : (scaled - half) / kTwipsPerInch);
}

PixelBox TwipsToPixels(const TwipsBox& box, int dpi) {
    return {TwipsToPixels(box.left, dpi), TwipsToPixels(box.top, dpi),
            TwipsToPixels(box.left + box.width, dpi), TwipsToPixels(box.top + box.height, dpi)};
}

int CellBlockLayout::cellAt(int x, int y) const {
    for (int i = FontSet::kCellsPerGlyph - 1; i >= 0; --i) {
        if (cells[static_cast<std::size_t>(i)].contains(x, y))
            return i;
    }
    return -1;
}

PixelBox CellBlockLayout::cellInParent(int index) const {
    const PixelBox& cell = cells.at(static_cast<std::size_t>(index));
    return {cell.left + area.left, cell.top + area.top, cell.right + area.left,
            cell.bottom + area.top};
}

FormLayout LayOutForm(int dpi, const TextRoom& room, PreviewParent parent) {
    FormLayout layout;
    layout.dpi = dpi;
    layout.frame = TwipsToPixels(kFrame1, dpi);
    layout.next = TwipsToPixels(kNextChar, dpi);
    const int grow = std::max(0, room.frameWithTitle - layout.frame.width());
    layout.frame.left -= grow;
    layout.next.left -= grow;

    layout.pixel = blockAt(dpi, PixelCellTwips);
    if (parent == PreviewParent::Frame) {
        // The frame's left edge moved out by `grow`, and its children with it.
        layout.preview = blockAt(dpi, PreviewCellTwips);
        moveAcross(layout.preview.area, grow / 2);
    } else {
        layout.preview = blockAt(dpi, [](int i) {
            const TwipsBox cell = PreviewCellTwips(i);
            return TwipsBox{kFrame1.left + cell.left, kFrame1.top + cell.top, cell.width,
                            cell.height};
        });
        moveAcross(layout.preview.area, -(grow / 2));
    }

    PixelBox& status = layout.status;
    status = TwipsToPixels(kStatusLine, dpi);
    const int needed = room.statusPrefix + kStatusDigits * room.widestDigit + 2;
    const int rightLimit = TwipsToPixels(kClientWidth - kStatusRightMargin, dpi);
    status.right = std::clamp(status.left + needed, status.right, rightLimit);
    status.bottom = std::max(status.bottom, status.top + room.lineHeight);

    layout.clientWidth = TwipsToPixels(kClientWidth, dpi);
    layout.clientHeight = std::max(TwipsToPixels(kClientHeight, dpi),
                                   status.bottom + TwipsToPixels(kStatusBottomMargin, dpi));
    return layout;
}

} // namespace korvalin
