#pragma once

#include "FontSetFile.h"
#include "Form1.h"
#include "MessageLoop.h"
#include "ScriptedPlatform.h"
#include "TempDir.h"
#include "TestSets.h"
#include "WideText.h"

#include <gtest/gtest.h>
#include <memory>

namespace korvalin::test {

// The native window over a scripted platform, shown, with a program folder of its own
// whose default set has glyphs that all differ from their neighbours.
class Win32WindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFontSetFile(folder.path() / "default.8xfont", alternatingSet());
        platform.programDirectory = folder.path();
        window = std::make_unique<win32::Form1>(GetModuleHandleW(nullptr), platform);
        ASSERT_TRUE(window->editor().Start());
        ShowWindow(window->hwnd(), SW_SHOW);
        SetForegroundWindow(window->hwnd());
        pump();
    }

    void TearDown() override {
        window.reset();
        pump();
    }

    // What the event loop would do next, with the program's own dispatch; an ended
    // program's quit message is taken too, so no later modal loop sees it.
    void pump() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_QUIT)
                win32::Dispatch(message, window ? window->hwnd() : nullptr);
        }
    }

    [[nodiscard]] int currentChar() const { return window->editor().state().currentChar(); }

    [[nodiscard]] static std::wstring textOf(HWND control) {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    // A control's place in its parent's client area.
    [[nodiscard]] static RECT placeOf(HWND control) {
        RECT box{};
        GetWindowRect(control, &box);
        MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&box), 2);
        return box;
    }

    TempDir folder;
    ScriptedPlatform platform;
    std::unique_ptr<win32::Form1> window;
};

} // namespace korvalin::test
