// The window's layout as every toolkit places it: the twips table in pixels at a DPI, the
// rules that fit it to the window's font, and where a click lands.
#include "FormLayout.h"

#include <gtest/gtest.h>
#include <ostream>

namespace korvalin {

std::ostream& operator<<(std::ostream& out, const PixelBox& box) {
    return out << "(" << box.left << "," << box.top << ")-(" << box.right << "," << box.bottom
               << ")";
}

namespace {

PixelBox box(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

// A font as small as the table was drawn for: nothing grows.
constexpr TextRoom kSmallFont{};

struct ControlCase {
    const char* name;
    int dpi;
    PreviewParent parent;
    PixelBox (*control)(const FormLayout&);
    PixelBox expected;
};

class FormLayoutControl : public testing::TestWithParam<ControlCase> {};

TEST_P(FormLayoutControl, StandsWhereItsTwipsSay) {
    const ControlCase& row = GetParam();
    EXPECT_EQ(row.control(LayOutForm(row.dpi, kSmallFont, row.parent)), row.expected);
}

using F = const FormLayout&;
constexpr auto kFrame = PreviewParent::Frame;
constexpr auto kClient = PreviewParent::ClientArea;

// At 96 dpi, 15 twips to a pixel, each edge rounded on its own: the cells keep their
// overlaps. The preview's cells are rounded in the coordinates of their parent.
INSTANTIATE_TEST_SUITE_P(
    Table, FormLayoutControl,
    testing::Values(
        ControlCase{"pixel0", 96, kFrame, [](F l) { return l.pixel.cellInParent(0); },
                    box(4, 16, 26, 27)},
        ControlCase{"pixel1", 96, kFrame, [](F l) { return l.pixel.cellInParent(1); },
                    box(29, 16, 26, 27)},
        ControlCase{"pixel5", 96, kFrame, [](F l) { return l.pixel.cellInParent(5); },
                    box(4, 41, 26, 27)},
        ControlCase{"pixel34", 96, kFrame, [](F l) { return l.pixel.cellInParent(34); },
                    box(104, 167, 27, 27)},
        ControlCase{"Frame1", 96, kFrame, [](F l) { return l.frame; }, box(288, 16, 49, 60)},
        ControlCase{"cmdNextChar", 96, kFrame, [](F l) { return l.next; }, box(288, 86, 49, 21)},
        ControlCase{"lblstatus", 96, kFrame, [](F l) { return l.status; }, box(2, 218, 155, 11)},
        ControlCase{"client", 96, kFrame,
                    [](F l) { return box(0, 0, l.clientWidth, l.clientHeight); },
                    box(0, 0, 339, 232)},
        ControlCase{"preview0InFrame", 96, kFrame, [](F l) { return l.preview.cellInParent(0); },
                    box(11, 14, 6, 6)},
        ControlCase{"preview34InFrame", 96, kFrame, [](F l) { return l.preview.cellInParent(34); },
                    box(32, 47, 6, 6)},
        ControlCase{"preview0InClientArea", 96, kClient,
                    [](F l) { return l.preview.cellInParent(0); }, box(299, 31, 6, 6)},
        ControlCase{"preview34InClientArea", 96, kClient,
                    [](F l) { return l.preview.cellInParent(34); }, box(320, 63, 6, 6)},
        ControlCase{"pixel0At144", 144, kFrame, [](F l) { return l.pixel.cellInParent(0); },
                    box(5, 24, 40, 40)},
        ControlCase{"pixel34At144", 144, kFrame, [](F l) { return l.pixel.cellInParent(34); },
                    box(157, 251, 39, 40)},
        ControlCase{"clientAt144", 144, kFrame,
                    [](F l) { return box(0, 0, l.clientWidth, l.clientHeight); },
                    box(0, 0, 509, 348)}), // the status line's margin, rounded up, adds one
    [](const auto& test) { return std::string(test.param.name); });

struct FitCase {
    const char* name;
    PreviewParent parent;
    TextRoom room;
    PixelBox frame, next, status;
    int previewLeft; // the preview block's left edge in its parent
    int clientHeight;
};

class FormLayoutFit : public testing::TestWithParam<FitCase> {};

TEST_P(FormLayoutFit, GrowsForTheFont) {
    const FitCase& row = GetParam();
    const FormLayout layout = LayOutForm(96, row.room, row.parent);
    EXPECT_EQ(layout.frame, row.frame);
    EXPECT_EQ(layout.next, row.next);
    EXPECT_EQ(layout.status, row.status);
    EXPECT_EQ(layout.preview.area.left, row.previewLeft);
    EXPECT_EQ(layout.clientHeight, row.clientHeight);
    EXPECT_EQ(layout.clientWidth, 339) << "the width never changes";
}

// The status line holds its prefix and three of the widest digit, up to 2 pixels before
// the client area's right edge, and a line of the font's height; the frame grows left to
// show its title, the preview moves half as far to stay in its middle, in either parent.
INSTANTIATE_TEST_SUITE_P(Rules, FormLayoutFit,
                         testing::Values(FitCase{"StatusWiderAndTaller",
                                                 kFrame,
                                                 {180, 7, 16, 0},
                                                 box(288, 16, 49, 60),
                                                 box(288, 86, 49, 21),
                                                 box(2, 218, 203, 16),
                                                 11,
                                                 236},
                                         FitCase{"StatusUpToTheMargin",
                                                 kFrame,
                                                 {400, 7, 12, 0},
                                                 box(288, 16, 49, 60),
                                                 box(288, 86, 49, 21),
                                                 box(2, 218, 335, 12),
                                                 11,
                                                 232},
                                         FitCase{"FrameForItsTitleInFrame",
                                                 kFrame,
                                                 {0, 0, 0, 60},
                                                 box(277, 16, 60, 60),
                                                 box(277, 86, 60, 21),
                                                 box(2, 218, 155, 11),
                                                 16,
                                                 232},
                                         FitCase{"FrameForItsTitleInClientArea",
                                                 kClient,
                                                 {0, 0, 0, 60},
                                                 box(277, 16, 60, 60),
                                                 box(277, 86, 60, 21),
                                                 box(2, 218, 155, 11),
                                                 294,
                                                 232}),
                         [](const auto& test) { return std::string(test.param.name); });

// Where cells overlap, the one with the higher index takes the click; the gap outside the
// grid takes none.
TEST(FormLayout, AClickLandsOnTheUpperCell) {
    const CellBlockLayout& grid = LayOutForm(96, kSmallFont, kFrame).pixel;
    const PixelBox shared{grid.cells[1].left, grid.cells[0].top, grid.cells[0].right,
                          grid.cells[0].bottom};
    ASSERT_GT(shared.width(), 0) << "cells 0 and 1 overlap";
    const struct {
        int x, y, cell;
    } clicks[] = {{0, 0, 0},
                  {shared.left, 5, 1},
                  {shared.left - 1, 5, 0},
                  {grid.area.width() - 1, grid.area.height() - 1, 34},
                  {grid.area.width(), 0, -1},
                  {-1, 0, -1}};
    for (const auto& click : clicks)
        EXPECT_EQ(grid.cellAt(click.x, click.y), click.cell) << click.x << "," << click.y;
}

} // namespace
} // namespace korvalin
