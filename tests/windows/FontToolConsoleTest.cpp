// korvalin-font.exe in cmd.exe, in a console of its own: what it prints there reads as
// written, letters beyond ASCII included, whatever the console's code page.
#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace korvalin {
namespace {

struct ConsoleCase {
    const char* name;
    const wchar_t* arguments; // % stands for the default set
    DWORD status;
    const wchar_t* shown;
};

// The whole screen buffer, its rows joined as a line that wraps runs on.
std::wstring screenText() {
    const HANDLE screen = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(screen, &info))
        return {};
    std::wstring text(static_cast<std::size_t>(info.dwSize.X) * info.dwSize.Y, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, text.data(), static_cast<DWORD>(text.size()), {0, 0},
                                &read);
    text.resize(read);
    return text;
}

class Console : public testing::TestWithParam<ConsoleCase> {};

TEST_P(Console, ShowsTheToolsTextAsWritten) {
    // A console of the test's own, which cmd.exe and the tool share.
    FreeConsole();
    ASSERT_TRUE(AllocConsole()) << "no console: the test needs a display for Wine's";
    const test::TempDir dir;
    std::wstring arguments = GetParam().arguments;
    if (const std::size_t set = arguments.find(L'%'); set != std::wstring::npos)
        arguments.replace(set, 1, std::filesystem::path(DEFAULT_SET).make_preferred().wstring());
    std::wstring line = L"cmd.exe /d /s /c \"\"" +
                        std::filesystem::path(KORVALIN_FONT_PATH).make_preferred().wstring() +
                        L"\" " + arguments + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const std::wstring folder = dir.path().wstring();
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &process));
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(status, GetParam().status);
    const std::wstring shown = screenText();
    EXPECT_NE(shown.find(GetParam().shown), std::wstring::npos)
        << std::filesystem::path(shown).string();
    FreeConsole();
}

INSTANTIATE_TEST_SUITE_P(
    FontTool, Console,
    testing::Values(ConsoleCase{"OutputOfASymbol", L"show \"%\" \u00B2", 0, L"18 \u00B2"},
                    ConsoleCase{"MessageNamingAFile", L"check \"Gr\u00FC\u00DFe \u03A9.8xfont\"", 1,
                                L"korvalin-font: Gr\u00FC\u00DFe \u03A9.8xfont: cannot be "
                                L"opened"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace korvalin
