#include "Form1.h"
#include "MessageLoop.h"
#include "Win32Platform.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    korvalin::win32::Win32Platform platform(instance);
    korvalin::win32::Form1 window(instance, platform);
    // A failed start's box belongs to no window: the window is never shown then.
    if (!window.editor().Start())
        return 1;
    platform.setWindow(window.hwnd());
    ShowWindow(window.hwnd(), show);
    return korvalin::win32::RunMessageLoop(window.hwnd(), platform.notices());
}
