// The DPI functions newer than Windows 7, looked up at run time, and what stands in for
// them where a system lacks them: the same answers at the system's DPI.
#include "Dpi.h"
#include "Win32Fixture.h"

namespace korvalin::test {
namespace {

using win32::DpiFunctions;

// As on Windows 7: none of them.
constexpr DpiFunctions kNone{};

TEST(Win32Dpi, FindsTheFunctionsOfThisSystem) {
    const DpiFunctions& found = DpiFunctions::OfThisSystem();
    EXPECT_NE(found.dpiForWindow, nullptr);
    EXPECT_NE(found.adjustWindowRectExForDpi, nullptr);
    EXPECT_NE(found.systemMetricsForDpi, nullptr);
    EXPECT_NE(found.systemParametersInfoForDpi, nullptr);
}

TEST_F(Win32WindowFixture, WithoutThemTheSystemDpiAnswersAlike) {
    const DpiFunctions& found = DpiFunctions::OfThisSystem();
    const int dpi = win32::SystemDpi();
    EXPECT_EQ(win32::DpiOf(window->hwnd(), kNone), dpi);
    for (const int metric : {SM_CXICON, SM_CXSMICON, SM_CYMENU}) {
        EXPECT_EQ(win32::SystemMetricAt(metric, dpi, kNone),
                  win32::SystemMetricAt(metric, dpi, found))
            << metric;
        EXPECT_EQ(win32::SystemMetricAt(metric, 2 * dpi, kNone),
                  2 * win32::SystemMetricAt(metric, dpi, found))
            << "scaled to another DPI: " << metric;
    }
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT withFunction{0, 0, 339, 232};
    RECT without = withFunction;
    win32::AdjustWindowRectAt(withFunction, style, true, dpi, found);
    win32::AdjustWindowRectAt(without, style, true, dpi, kNone);
    EXPECT_TRUE(EqualRect(&withFunction, &without));
    LOGFONTW fontWith{};
    LOGFONTW fontWithout{};
    ASSERT_TRUE(win32::MessageFontAt(dpi, fontWith, found));
    ASSERT_TRUE(win32::MessageFontAt(dpi, fontWithout, kNone));
    EXPECT_EQ(fontWithout.lfHeight, fontWith.lfHeight);
    EXPECT_EQ(std::wstring(fontWithout.lfFaceName), std::wstring(fontWith.lfFaceName));
}

} // namespace
} // namespace korvalin::test
