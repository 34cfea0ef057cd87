// The platform's conversions for the system's dialogs, and the input box from its template
// driven as a user would, by messages posted to it.
#include "CommonDialogs.h"
#include "Resources.h"
#include "WideText.h"
#include "Win32Platform.h"

#include <commdlg.h>
#include <gtest/gtest.h>
#include <string>

namespace korvalin::test {
namespace {

using namespace std::string_literals;

struct FilterCase {
    const char* name;
    std::string filter;
    std::wstring expected;
};

class OpenFileNameFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(OpenFileNameFilter, EndsEachPartAndTheListWithNul) {
    EXPECT_EQ(win32::OpenFileNameFilter(GetParam().filter), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Filters, OpenFileNameFilter,
                         ::testing::Values(FilterCase{"Editors", "Korvalin Fonts|*.8xfont",
                                                      L"Korvalin Fonts\0*.8xfont\0\0"s},
                                           FilterCase{"TwoTypes", "Fonts|*.8xfont|All files|*.*",
                                                      L"Fonts\0*.8xfont\0All files\0*.*\0\0"s},
                                           FilterCase{"BeyondAscii",
                                                      "Schrift\xc3\xa4rten|*.8xfont;*.txt",
                                                      L"Schrift\u00e4rten\0*.8xfont;*.txt\0\0"s},
                                           FilterCase{"None", "", L""s}),
                         [](const auto& test) { return std::string(test.param.name); });

struct StyleCase {
    const char* name;
    MsgBoxStyles style;
    UINT expected;
};

class MessageBoxStyle : public ::testing::TestWithParam<StyleCase> {};

TEST_P(MessageBoxStyle, GivesTheButtonsIconAndDefault) {
    EXPECT_EQ(win32::MessageBoxStyle(GetParam().style), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MessageBoxStyle,
    ::testing::Values(StyleCase{"YesNoWithoutIcon", MsgBoxStyle::YesNo, MB_YESNO | MB_DEFBUTTON1},
                      StyleCase{"Error", MsgBoxStyle::OkOnly | MsgBoxStyle::Critical,
                                MB_OK | MB_ICONERROR},
                      StyleCase{"Warning", MsgBoxStyle::OkOnly | MsgBoxStyle::Exclamation,
                                MB_OK | MB_ICONWARNING}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(MessageBoxAnswer, IsTheButtonsCode) {
    EXPECT_EQ(win32::MessageBoxAnswer(IDYES), MsgBoxAnswer::Yes);
    EXPECT_EQ(win32::MessageBoxAnswer(IDNO), MsgBoxAnswer::No);
    EXPECT_EQ(win32::MessageBoxAnswer(IDOK), MsgBoxAnswer::Ok);
}

TEST(OpenFileNameFlags, AreTheEditorsFlags) {
    const DWORD flags =
        win32::OpenFileNameFlags(FileDialogFlag::OverwritePrompt | FileDialogFlag::HideReadOnly);
    EXPECT_EQ(flags & (OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY),
              static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY));
    EXPECT_EQ(win32::OpenFileNameFlags(FileDialogFlag::HideReadOnly) & OFN_OVERWRITEPROMPT, 0u);
}

struct InputCase {
    const char* name;
    std::string title;
    std::wstring typed;
    int button;
    std::string expected;
    std::string shownTitle;
};

// What the user does once the box is up: types into the field and presses a button.
struct Typist {
    const InputCase* row = nullptr;
    std::wstring seenTitle;
    std::wstring seenPrompt;
    bool done = false;
};
Typist typist;

BOOL CALLBACK findBox(HWND candidate, LPARAM found) {
    wchar_t type[16] = {};
    GetClassNameW(candidate, type, 16);
    if (std::wstring(type) != L"#32770" || !IsWindowVisible(candidate))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = candidate;
    return FALSE;
}

void CALLBACK type(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &findBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr || typist.done)
        return;
    KillTimer(nullptr, timer);
    typist.done = true;
    wchar_t text[256] = {};
    GetWindowTextW(box, text, 256);
    typist.seenTitle = text;
    GetDlgItemTextW(box, IDC_PROMPT, text, 256);
    typist.seenPrompt = text;
    const HWND field = GetDlgItem(box, IDC_REPLY);
    for (const wchar_t c : typist.row->typed)
        PostMessageW(field, WM_CHAR, c, 1);
    PostMessageW(GetDlgItem(box, typist.row->button), BM_CLICK, 0, 0);
}

class Win32InputBox : public ::testing::TestWithParam<InputCase> {};

TEST_P(Win32InputBox, ReturnsTheTypedTextOrNothingOnCancel) {
    const InputCase& row = GetParam();
    typist = Typist{};
    typist.row = &row;
    win32::Win32Platform platform(GetModuleHandleW(nullptr));
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &type);
    ASSERT_NE(timer, 0u);
    const std::string reply = platform.InputBox("Enter number of character to edit:", row.title);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(typist.done);
    EXPECT_EQ(reply, row.expected);
    EXPECT_EQ(typist.seenTitle, win32::Widen(row.shownTitle));
    EXPECT_EQ(typist.seenPrompt, L"Enter number of character to edit:");
}

INSTANTIATE_TEST_SUITE_P(
    Replies, Win32InputBox,
    ::testing::Values(InputCase{"Typed", "Switch Character", L"65", IDOK, "65", "Switch Character"},
                      InputCase{"Cancelled", "Switch Character", L"65", IDCANCEL, "",
                                "Switch Character"},
                      InputCase{"ApplicationsTitle", "", L"NAME", IDOK, "NAME", kApplicationTitle},
                      InputCase{"BeyondAscii", "", L"Gr\u00fc\u00dfe", IDOK,
                                "Gr\xc3\xbc\xc3\x9f"
                                "e",
                                kApplicationTitle},
                      InputCase{"NothingTyped", "", L"", IDOK, "", kApplicationTitle}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace korvalin::test
