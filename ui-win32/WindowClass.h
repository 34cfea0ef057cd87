#pragma once

#include <windows.h>

namespace korvalin::win32 {

// A window class of ours: the procedure, and what the system paints and shows for it.
struct WindowClass {
    const wchar_t* name;
    WNDPROC procedure;
    HICON icon = nullptr;
    HBRUSH background = nullptr; // nullptr: the window paints all of itself
};

// Registers `type` with the arrow cursor, once: a later call finds it and does nothing.
void RegisterWindowClass(HINSTANCE instance, const WindowClass& type);

} // namespace korvalin::win32
