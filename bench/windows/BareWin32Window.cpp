// The yardstick of the editor's start-up under Wine: a bare Win32 window with the editor's
// menu bar and one line of text in the default GUI font, and nothing else.
#include "Menus.h"

#include <windows.h>

namespace {

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = &procedure;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    type.lpszClassName = L"KorvalinBareWindow";
    RegisterClassExW(&type);
    korvalin::win32::UniqueMenu menu = korvalin::win32::BuildMenuBar(korvalin::MenuTable());
    const HWND window = CreateWindowExW(
        0, type.lpszClassName, L"Korvalin Bare Window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
        CW_USEDEFAULT, CW_USEDEFAULT, 345, 290, nullptr, menu.get(), instance, nullptr);
    if (window == nullptr)
        return 1;
    static_cast<void>(menu.release());
    const HWND label =
        CreateWindowExW(0, L"STATIC", L"Currently editing character: 0", WS_CHILD | WS_VISIBLE, 2,
                        218, 300, 16, window, nullptr, instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    ShowWindow(window, show);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
