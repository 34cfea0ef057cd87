#pragma once

#include <windows.h>

namespace korvalin::win32 {

// What receives the messages of a window of ours, from WM_NCCREATE to WM_NCDESTROY, both
// included. The messages before WM_NCCREATE get the system's default handling.
class MessageTarget {
public:
    virtual LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~MessageTarget() = default;
};

// A window class of ours: what the system paints and shows for it. Its procedure is the
// one of every class here, which hands each message to the window's MessageTarget.
struct WindowClass {
    const wchar_t* name;
    HICON icon = nullptr;
    HBRUSH background = nullptr; // nullptr: the window paints all of itself
};

// Where and how a window is created, as CreateWindowExW takes it.
struct WindowPlace {
    DWORD style = 0;
    HWND parent = nullptr;
    HMENU menu = nullptr;
    const wchar_t* title = L"";
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Creates a window of class `type`, registered with the arrow cursor on its first use,
// whose messages go to `target`. Null when it could not be created.
HWND CreateWindowOf(HINSTANCE instance, const WindowClass& type, const WindowPlace& place,
                    MessageTarget& target);

// Sends no further message of `window` to its target, which is going before it.
void Detach(HWND window);

} // namespace korvalin::win32
