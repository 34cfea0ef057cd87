// The native window forwards its events to the core and shows what it is told: cell clicks,
// Next by mouse and keyboard, menu commands and closing the window.
#include "Win32Fixture.h"

#include <array>

namespace korvalin::test {
namespace {

// What the cell shows, painted the grid's own way into a bitmap of ours.
COLORREF paintedColour(const win32::CellGrid& grid, int index) {
    RECT place{};
    GetClientRect(grid.hwnd(), &place);
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, place.right, place.bottom);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(grid.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    const RECT cell = grid.cellRect(index);
    const COLORREF colour =
        GetPixel(memory, (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool awaitsPaint(const win32::CellGrid& grid, int index) {
    RECT dirty{};
    if (!GetUpdateRect(grid.hwnd(), &dirty, FALSE))
        return false;
    RECT cell = grid.cellRect(index);
    RECT both{};
    return IntersectRect(&both, &dirty, &cell) && EqualRect(&both, &cell);
}

struct ClickCase {
    const char* name;
    CellBlock block;
    int index;
    bool toggles;
};

class Win32Click : public Win32WindowFixture, public ::testing::WithParamInterface<ClickCase> {};

// A press and release on a pixel cell turns it and its preview cell, stores the value and
// has both repainted; the preview takes no clicks.
TEST_P(Win32Click, ReachesPixelClickAndRepaintsBothCells) {
    const ClickCase& row = GetParam();
    const win32::CellGrid& clicked = window->grid(row.block);
    const FontSet before = window->editor().state().fontSet();
    const OleColor shown = window->CellColour(CellBlock::Pixel, row.index);
    UpdateWindow(window->grid(CellBlock::Pixel).hwnd());
    UpdateWindow(window->grid(CellBlock::Preview).hwnd());

    const RECT cell = clicked.cellRect(row.index);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageW(clicked.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(clicked.hwnd(), WM_LBUTTONUP, 0, at);

    const OleColor expected = row.toggles ? shown ^ 0xFFFFFF : shown;
    const int c = currentChar();
    EXPECT_EQ(window->editor().state().fontSet().cell(c, row.index),
              row.toggles ? static_cast<CellValue>(expected & 0xFF) : before.cell(c, row.index));
    for (const CellBlock block : {CellBlock::Pixel, CellBlock::Preview}) {
        const win32::CellGrid& grid = window->grid(block);
        EXPECT_EQ(window->CellColour(block, row.index), expected);
        EXPECT_EQ(awaitsPaint(grid, row.index), row.toggles);
        EXPECT_EQ(paintedColour(grid, row.index), expected);
    }
    pump();
    EXPECT_FALSE(awaitsPaint(window->grid(CellBlock::Pixel), row.index));
}

INSTANTIATE_TEST_SUITE_P(Cells, Win32Click,
                         ::testing::Values(ClickCase{"FirstPixel", CellBlock::Pixel, 0, true},
                                           ClickCase{"Pixel7", CellBlock::Pixel, 7, true},
                                           ClickCase{"LastPixel", CellBlock::Pixel, 34, true},
                                           ClickCase{"Preview7", CellBlock::Preview, 7, false}),
                         [](const auto& test) { return std::string(test.param.name); });

enum class Press { Click, Return, Space };

struct NextCase {
    const char* name;
    Press press;
};

class Win32Next : public Win32WindowFixture, public ::testing::WithParamInterface<NextCase> {};

// The focus stays on Next, the default button: a click, Return and Space all step on.
TEST_P(Win32Next, StepsToTheNextCharacter) {
    const HWND next = window->nextButton();
    ASSERT_EQ(GetFocus(), next);
    switch (GetParam().press) {
    case Press::Click:
        SendMessageW(next, BM_CLICK, 0, 0);
        break;
    case Press::Return:
    case Press::Space: {
        const WPARAM key = GetParam().press == Press::Return ? VK_RETURN : VK_SPACE;
        PostMessageW(next, WM_KEYDOWN, key, 1);
        PostMessageW(next, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
        break;
    }
    }
    pump();
    EXPECT_EQ(currentChar(), 1);
    EXPECT_EQ(textOf(window->statusLine()), win32::Widen(Editor::kStatusPrefix + "1"));
    EXPECT_EQ(GetFocus(), next);
}

INSTANTIATE_TEST_SUITE_P(Presses, Win32Next,
                         ::testing::Values(NextCase{"Click", Press::Click},
                                           NextCase{"Return", Press::Return},
                                           NextCase{"Space", Press::Space}),
                         [](const auto& test) { return std::string(test.param.name); });

struct CommandCase {
    const char* objectName;
    const char* reply; // for the number prompt, or nullptr
    int character;
};

class Win32Command : public Win32WindowFixture,
                     public ::testing::WithParamInterface<CommandCase> {};

// A menu item, found in the window's own menu by its caption, runs the handler the table
// names when its WM_COMMAND comes.
TEST_P(Win32Command, RunsTheTablesHandler) {
    const CommandCase& row = GetParam();
    const auto table = MenuTable();
    const auto entry = std::find_if(table.begin(), table.end(), [&](const MenuEntry& e) {
        return e.objectName == row.objectName;
    });
    ASSERT_NE(entry, table.end());
    // Its menu, as the window shows it: the parent's caption on the way down.
    std::vector<const MenuEntry*> path;
    for (const MenuEntry* at = &*entry; at->parent >= 0;
         at = &table[static_cast<std::size_t>(at->parent)])
        path.insert(path.begin(), &table[static_cast<std::size_t>(at->parent)]);
    HMENU menu = GetMenu(window->hwnd());
    const auto positionOf = [](HMENU in, const std::string& caption) {
        for (int i = 0; i < GetMenuItemCount(in); ++i) {
            wchar_t shown[256] = {};
            GetMenuStringW(in, static_cast<UINT>(i), shown, 256, MF_BYPOSITION);
            if (shown == win32::Widen(caption))
                return i;
        }
        return -1;
    };
    for (const MenuEntry* parent : path)
        menu = GetSubMenu(menu, positionOf(menu, parent->caption));
    const UINT id = GetMenuItemID(menu, positionOf(menu, entry->caption));
    ASSERT_NE(id, static_cast<UINT>(-1));
    if (row.reply != nullptr)
        platform.inputReplies.push_back(row.reply);

    PostMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    pump();
    EXPECT_EQ(currentChar(), row.character);
    EXPECT_TRUE(platform.allAnswersUsed());
}

INSTANTIATE_TEST_SUITE_P(Items, Win32Command,
                         ::testing::Values(CommandCase{"mnuSwitchNumbers(38)", nullptr, 38},
                                           CommandCase{"mnuSwitchSymbols(91)", nullptr, 91},
                                           CommandCase{"mnuSwitchLowercaseLetters(122)", nullptr,
                                                       122},
                                           CommandCase{"mnuSwitchEvenMoreSymbols", "200", 200},
                                           CommandCase{"mnuSwitchLowerSpecial", "300", 0}),
                         [](const auto& test) {
                             std::string name = test.param.objectName;
                             std::erase_if(name, [](char ch) { return !std::isalnum(ch); });
                             return name;
                         });

struct CloseCase {
    const char* name;
    MsgBoxAnswer answer;
    bool chooseWritableFile;
    bool ends;
};

class Win32Close : public Win32WindowFixture, public ::testing::WithParamInterface<CloseCase> {};

// WM_CLOSE runs Form_Unload: the save prompt, then the end, unless the save the user asked
// for failed, which keeps the window and the set.
TEST_P(Win32Close, RunsFormUnload) {
    const CloseCase& row = GetParam();
    platform.messageAnswers.push_back(row.answer);
    const std::filesystem::path target = row.chooseWritableFile
                                             ? folder.path() / "kept.8xfont"
                                             : folder.path() / "missing" / "kept.8xfont";
    if (row.answer == MsgBoxAnswer::Yes) {
        platform.fileChoices.push_back(target);
        if (!row.chooseWritableFile)
            platform.messageAnswers.push_back(MsgBoxAnswer::Ok); // the failure's box
    }
    PostMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    pump();

    ASSERT_FALSE(platform.messages.empty());
    EXPECT_EQ(platform.messages.front().prompt, "Save current font set?");
    EXPECT_EQ(window->ended(), row.ends);
    EXPECT_EQ(IsWindowVisible(window->hwnd()) != FALSE, !row.ends);
    EXPECT_EQ(std::filesystem::exists(target), row.answer == MsgBoxAnswer::Yes && row.ends);
    EXPECT_TRUE(platform.allAnswersUsed());
}

INSTANTIATE_TEST_SUITE_P(Answers, Win32Close,
                         ::testing::Values(CloseCase{"No", MsgBoxAnswer::No, true, true},
                                           CloseCase{"YesSaved", MsgBoxAnswer::Yes, true, true},
                                           CloseCase{"YesSaveFailed", MsgBoxAnswer::Yes, false,
                                                     false}),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace korvalin::test
