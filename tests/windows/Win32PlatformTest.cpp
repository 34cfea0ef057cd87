// What the platform does beside the window: a notice that leaves the keyboard on Next, and
// a started process's end told from the event loop.
#include "ProcessWatcher.h"
#include "Resources.h"
#include "Win32Fixture.h"

#include <optional>

namespace korvalin::test {
namespace {

TEST_F(Win32WindowFixture, NoticeLeavesTheKeyboardOnNextAndClosesOnOk) {
    win32::NoticeBoxes notices(GetModuleHandleW(nullptr));
    notices.show(window->hwnd(), L"The program NAME was not made.", L"Korvalin Font Creator");
    pump();
    ASSERT_EQ(notices.open().size(), 1u);
    const HWND notice = notices.open().front();
    EXPECT_TRUE(IsWindowVisible(notice));
    EXPECT_EQ(GetWindow(notice, GW_OWNER), window->hwnd());
    EXPECT_EQ(textOf(notice), L"Korvalin Font Creator");
    EXPECT_EQ(textOf(GetDlgItem(notice, IDC_NOTICE_TEXT)), L"The program NAME was not made.");
    EXPECT_EQ(GetFocus(), window->nextButton());

    // Return still steps on; the notice's own OK closes it.
    PostMessageW(window->nextButton(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(window->nextButton(), WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001));
    pump();
    EXPECT_EQ(currentChar(), 1);
    ASSERT_EQ(notices.open().size(), 1u);
    PostMessageW(GetDlgItem(notice, IDOK), BM_CLICK, 0, 0);
    pump();
    EXPECT_TRUE(notices.open().empty());
    EXPECT_FALSE(IsWindow(notice));
}

struct EndCase {
    const char* name;
    const wchar_t* command;
    int exitStatus;
    const char* lastErrorLine;
};

class Win32ProcessEnd : public ::testing::TestWithParam<EndCase> {};

// The end reaches the window's thread through its queue, with the process's exit status.
TEST_P(Win32ProcessEnd, IsToldFromTheEventLoop) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    LaunchRequest request;
    request.program = std::filesystem::path(system) / L"cmd.exe";
    request.arguments = {L"/c", GetParam().command};
    request.windowStyle = WindowStyle::Hidden;
    request.captureErrorOutput = true;

    win32::ProcessWatcher watcher(GetModuleHandleW(nullptr));
    std::optional<ProcessOutcome> told;
    const DWORD thread = GetCurrentThreadId();
    DWORD toldOn = 0;
    watcher.watch(Launch(request), [&](const ProcessOutcome& outcome) {
        told = outcome;
        toldOn = GetCurrentThreadId();
    });
    EXPECT_FALSE(told) << "told before the event loop ran";

    // A limit for a lost end, as a timer message, so the loop itself never sleeps.
    const UINT_PTR limit = SetTimer(nullptr, 0, static_cast<UINT>(kProcessLimit.count()), nullptr);
    MSG message{};
    while (!told && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.wParam == limit)
            break;
        DispatchMessageW(&message);
    }
    KillTimer(nullptr, limit);
    ASSERT_TRUE(told) << "the end was never told";
    EXPECT_EQ(told->exitStatus, GetParam().exitStatus);
    EXPECT_EQ(told->lastErrorLine, GetParam().lastErrorLine);
    EXPECT_EQ(toldOn, thread);
    EXPECT_EQ(watcher.watching(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Ends, Win32ProcessEnd,
                         ::testing::Values(EndCase{"Succeeded", L"exit 0", 0, ""},
                                           EndCase{"Failed", L"exit 3", 3, ""},
                                           EndCase{"FailedAloud",
                                                   L"echo first>&2& echo its words>&2& exit 1", 1,
                                                   "its words"}),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace korvalin::test
