// The window places its controls where the core's layout says, at its DPI, and builds its
// menu bar from the core's one table.
#include "Menus.h"
#include "Win32Fixture.h"

#include <vector>

namespace korvalin::test {
namespace {

bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

// Every control where the core's layout for the window's font and DPI puts it; the
// preview lies over the frame in the client area.
TEST_F(Win32WindowFixture, ControlsStandWhereTheLayoutPutsThem) {
    const FormLayout& layout = window->formLayout();
    EXPECT_EQ(layout.dpi, window->dpi());
    EXPECT_TRUE(placeOf(window->frame()) == win32::ToRect(layout.frame));
    EXPECT_TRUE(placeOf(window->nextButton()) == win32::ToRect(layout.next));
    EXPECT_TRUE(placeOf(window->statusLine()) == win32::ToRect(layout.status));
    for (const CellBlock block : {CellBlock::Pixel, CellBlock::Preview}) {
        const win32::CellGrid& grid = window->grid(block);
        const CellBlockLayout& cells = block == CellBlock::Pixel ? layout.pixel : layout.preview;
        EXPECT_TRUE(placeOf(grid.hwnd()) == win32::ToRect(cells.area));
        for (int i = 0; i < win32::kCells; ++i)
            EXPECT_TRUE(grid.cellRect(i) ==
                        win32::ToRect(cells.cells.at(static_cast<std::size_t>(i))))
                << "cell " << i;
    }
    RECT client{};
    GetClientRect(window->hwnd(), &client);
    EXPECT_EQ(client.right, layout.clientWidth);
    EXPECT_EQ(client.bottom, layout.clientHeight);
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
    const CellBlockLayout expected = LayOutForm(dpi, TextRoom{}, PreviewParent::ClientArea).pixel;
    const win32::CellGrid& grid = window->grid(CellBlock::Pixel);
    for (const int i : {0, 1, 34}) {
        RECT box = grid.cellRect(i);
        const RECT place = placeOf(grid.hwnd());
        OffsetRect(&box, place.left, place.top);
        EXPECT_TRUE(box == win32::ToRect(expected.cellInParent(i))) << "cell " << i;
    }
    RECT client{};
    GetClientRect(window->hwnd(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(kClientWidth, dpi));
}

INSTANTIATE_TEST_SUITE_P(Dpis, Win32DpiChange, ::testing::Values(120, 144, 192));

} // namespace
} // namespace korvalin::test
