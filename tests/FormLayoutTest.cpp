// The window's layout as every toolkit places it: the twips table in pixels at a DPI, the
// rules that fit it to the window's font, and where a click lands.
#include "FormLayout.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace korvalin {

std::ostream& operator<<(std::ostream& out, const PixelBox& box) {
    return out << "(" << box.left << "," << box.top << ")-(" << box.right << "," << box.bottom
               << ")";
}

namespace {

constexpr auto kFrame = PreviewParent::Frame;
constexpr auto kClient = PreviewParent::ClientArea;

PixelBox box(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

// A control by its name, "pixel 5" for a cell; the preview's cells in their parent.
PixelBox control(const FormLayout& layout, const std::string& name) {
    if (name.starts_with("pixel "))
        return layout.pixel.cellInParent(std::stoi(name.substr(6)));
    if (name.starts_with("preview "))
        return layout.preview.cellInParent(std::stoi(name.substr(8)));
    if (name == "Frame1")
        return layout.frame;
    if (name == "cmdNextChar")
        return layout.next;
    if (name == "lblstatus")
        return layout.status;
    return box(0, 0, layout.clientWidth, layout.clientHeight);
}

// Each edge rounded on its own, so the cells keep their overlaps; the preview's cells in
// the coordinates of their parent. At 144 dpi the status line's margin, rounded up, adds a
// pixel to the client area.
TEST(FormLayout, EachControlStandsWhereItsTwipsSay) {
    const struct {
        const char* control;
        int dpi;
        PreviewParent parent;
        PixelBox expected;
    } rows[] = {
        {"pixel 0", 96, kFrame, box(4, 16, 26, 27)},
        {"pixel 1", 96, kFrame, box(29, 16, 26, 27)},
        {"pixel 5", 96, kFrame, box(4, 41, 26, 27)},
        {"pixel 34", 96, kFrame, box(104, 167, 27, 27)},
        {"Frame1", 96, kFrame, box(288, 16, 49, 60)},
        {"cmdNextChar", 96, kFrame, box(288, 86, 49, 21)},
        {"lblstatus", 96, kFrame, box(2, 218, 155, 11)},
        {"client", 96, kFrame, box(0, 0, 339, 232)},
        {"preview 0", 96, kFrame, box(11, 14, 6, 6)},
        {"preview 34", 96, kFrame, box(32, 47, 6, 6)},
        {"preview 0", 96, kClient, box(299, 31, 6, 6)},
        {"preview 34", 96, kClient, box(320, 63, 6, 6)},
        {"pixel 0", 144, kFrame, box(5, 24, 40, 40)},
        {"pixel 34", 144, kFrame, box(157, 251, 39, 40)},
        {"client", 144, kFrame, box(0, 0, 509, 348)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(control(LayOutForm(row.dpi, TextRoom{}, row.parent), row.control), row.expected)
            << row.control << " at " << row.dpi << " dpi";
}

// The status line holds its prefix and three of the widest digit, up to 2 pixels before
// the client area's right edge, and a line of the font's height; the frame grows left to
// show its title, the preview moves half as far to stay in its middle, in either parent.
TEST(FormLayout, GrowsForTheFont) {
    const struct {
        const char* name;
        PreviewParent parent;
        TextRoom room;
        int frameLeft; // of Frame1 and Next, whose right edge stays at 337
        PixelBox status;
        int previewLeft; // the preview block's left edge in its parent
        int clientHeight;
    } rows[] = {
        {"wider status", kFrame, {180, 7, 16, 0}, 288, box(2, 218, 203, 16), 11, 236},
        {"status at the margin", kFrame, {400, 7, 12, 0}, 288, box(2, 218, 335, 12), 11, 232},
        {"titled frame", kFrame, {0, 0, 0, 60}, 277, box(2, 218, 155, 11), 16, 232},
        {"titled frame, client", kClient, {0, 0, 0, 60}, 277, box(2, 218, 155, 11), 294, 232},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const FormLayout layout = LayOutForm(96, row.room, row.parent);
        EXPECT_EQ(layout.frame, (PixelBox{row.frameLeft, 16, 337, 76}));
        EXPECT_EQ(layout.next, (PixelBox{row.frameLeft, 86, 337, 107}));
        EXPECT_EQ(layout.status, row.status);
        EXPECT_EQ(layout.preview.area.left, row.previewLeft);
        EXPECT_EQ(layout.clientHeight, row.clientHeight);
        EXPECT_EQ(layout.clientWidth, 339) << "the width never changes";
    }
}

// Where cells overlap, the one with the higher index takes the click; the gap outside the
// grid takes none.
TEST(FormLayout, AClickLandsOnTheUpperCell) {
    const CellBlockLayout& grid = LayOutForm(96, TextRoom{}, kFrame).pixel;
    const int shared = grid.cells[1].left; // cells 0 and 1 overlap from here
    ASSERT_LT(shared, grid.cells[0].right);
    const struct {
        int x, y, cell;
    } clicks[] = {{0, 0, 0},
                  {shared, 5, 1},
                  {shared - 1, 5, 0},
                  {grid.area.width() - 1, grid.area.height() - 1, 34},
                  {grid.area.width(), 0, -1},
                  {-1, 0, -1}};
    for (const auto& click : clicks)
        EXPECT_EQ(grid.cellAt(click.x, click.y), click.cell) << click.x << "," << click.y;
}

} // namespace
} // namespace korvalin
