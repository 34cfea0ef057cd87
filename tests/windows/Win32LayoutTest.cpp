// The window at 96 dpi: every control where the twips table puts it, 15 twips a pixel,
// and the menu bar built from the core's one table.
#include "Menus.h"
#include "Win32Fixture.h"

#include <functional>
#include <vector>

namespace korvalin::test {
namespace {

// 15 twips to a pixel at 96 dpi, rounded to the nearest pixel.
int px(int twips) {
    return (2 * twips + 15) / 30;
}

struct ControlCase {
    const char* name;
    std::function<HWND(const win32::Form1&)> control;
    int left, top, width, height;
    // Sized for a smaller font: the status line may grow right and down, the frame and
    // Next to the left.
    bool growsLeft;
    bool growsRightAndDown;
};

class Win32Layout : public Win32WindowFixture, public ::testing::WithParamInterface<ControlCase> {};

TEST_P(Win32Layout, ControlSitsWhereItsTwipsSay) {
    ASSERT_EQ(window->dpi(), 96);
    const ControlCase& row = GetParam();
    const RECT box = placeOf(row.control(*window));
    const LONG right = px(row.left + row.width);
    const LONG bottom = px(row.top + row.height);
    if (row.growsLeft)
        EXPECT_LE(box.left, px(row.left));
    else
        EXPECT_EQ(box.left, px(row.left));
    EXPECT_EQ(box.top, px(row.top));
    if (row.growsRightAndDown) {
        EXPECT_GE(box.right, right);
        EXPECT_GE(box.bottom, bottom);
    } else {
        EXPECT_EQ(box.right, right);
        EXPECT_EQ(box.bottom, bottom);
    }
}

INSTANTIATE_TEST_SUITE_P(Controls, Win32Layout,
                         ::testing::Values(ControlCase{"Frame1", &win32::Form1::frame, 4320, 243,
                                                       738, 900, true, false},
                                           ControlCase{"cmdNextChar", &win32::Form1::nextButton,
                                                       4320, 1296, 738, 306, true, false},
                                           ControlCase{"lblstatus", &win32::Form1::statusLine, 27,
                                                       3267, 2331, 171, false, true}),
                         [](const auto& test) { return std::string(test.param.name); });

// Every cell of both blocks, each edge rounded on its own from the twips table.
TEST_F(Win32WindowFixture, CellsSitWhereTheirTwipsSay) {
    ASSERT_EQ(window->dpi(), 96);
    const RECT frame = placeOf(window->frame());
    for (int i = 0; i < win32::kCells; ++i) {
        SCOPED_TRACE("cell " + std::to_string(i));
        const int row = i / 5;
        const int column = i % 5;
        const int size = i == 0 ? 400 : 396;
        const struct {
            CellBlock block;
            int left, top, size;
        } cases[] = {{CellBlock::Pixel, 54 + 378 * column, 243 + 378 * row, size},
                     {CellBlock::Preview, 4320 + 162 + 81 * column, 243 + 216 + 81 * row, 90}};
        for (const auto& cell : cases) {
            const win32::CellGrid& grid = window->grid(cell.block);
            RECT box = grid.cellRect(i);
            const RECT place = placeOf(grid.hwnd());
            OffsetRect(&box, place.left, place.top);
            // A frame that grew for its title keeps the preview in its middle.
            const LONG shift = cell.block == CellBlock::Preview ? (frame.left - px(4320)) / 2 : 0;
            EXPECT_EQ(box.left, px(cell.left) + shift);
            EXPECT_EQ(box.top, px(cell.top));
            EXPECT_EQ(box.right, px(cell.left + cell.size) + shift);
            EXPECT_EQ(box.bottom, px(cell.top + cell.size));
        }
    }
    RECT client{};
    GetClientRect(window->hwnd(), &client);
    EXPECT_EQ(client.right, px(5085));
    EXPECT_GE(client.bottom, px(3474));
    // Fixed: no sizing border, no maximise box.
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window->hwnd(), GWL_STYLE));
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0u);
}

struct ShownEntry {
    std::wstring caption;
    int parent;
    bool isMenu;
};

void collect(HMENU menu, int parent, std::vector<ShownEntry>& shown) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t caption[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), caption, 256, MF_BYPOSITION);
        const HMENU submenu = GetSubMenu(menu, i);
        const int index = static_cast<int>(shown.size());
        shown.push_back({caption, parent, submenu != nullptr});
        if (submenu != nullptr)
            collect(submenu, index, shown);
    }
}

// Every menu and item in the table's order, with its caption, its access key and its menu.
TEST_F(Win32WindowFixture, MenuBarIsTheMenuTable) {
    std::vector<ShownEntry> shown;
    collect(GetMenu(window->hwnd()), -1, shown);
    const auto table = MenuTable();
    ASSERT_EQ(shown.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(table[i].objectName);
        EXPECT_EQ(shown[i].caption, win32::Widen(table[i].caption));
        EXPECT_EQ(shown[i].parent, table[i].parent);
        EXPECT_EQ(shown[i].isMenu, table[i].isMenu);
    }
}

} // namespace
} // namespace korvalin::test

namespace korvalin::test {
namespace {

class Win32DpiChange : public Win32WindowFixture, public ::testing::WithParamInterface<int> {};

// A move to a screen of another DPI lays every cell out again from its twips.
TEST_P(Win32DpiChange, LaysTheCellsOutAgain) {
    const int dpi = GetParam();
    RECT suggested{};
    GetWindowRect(window->hwnd(), &suggested);
    SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(window->dpi(), dpi);
    const auto at = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    const win32::CellGrid& grid = window->grid(CellBlock::Pixel);
    for (const int i : {0, 1, 34}) {
        RECT box = grid.cellRect(i);
        const RECT place = placeOf(grid.hwnd());
        OffsetRect(&box, place.left, place.top);
        const int left = 54 + 378 * (i % 5);
        const int top = 243 + 378 * (i / 5);
        const int size = i == 0 ? 400 : 396;
        EXPECT_EQ(box.left, at(left)) << "cell " << i;
        EXPECT_EQ(box.top, at(top)) << "cell " << i;
        EXPECT_EQ(box.right, at(left + size)) << "cell " << i;
        EXPECT_EQ(box.bottom, at(top + size)) << "cell " << i;
    }
    RECT client{};
    GetClientRect(window->hwnd(), &client);
    EXPECT_EQ(client.right, at(5085));
}

INSTANTIATE_TEST_SUITE_P(Dpis, Win32DpiChange, ::testing::Values(120, 144, 192));

} // namespace
} // namespace korvalin::test
