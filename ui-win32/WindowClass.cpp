#include "WindowClass.h"

namespace korvalin::win32 {

void RegisterWindowClass(HINSTANCE instance, const WindowClass& type) {
    WNDCLASSEXW found{};
    if (GetClassInfoExW(instance, type.name, &found))
        return;
    WNDCLASSEXW registered{};
    registered.cbSize = sizeof registered;
    registered.lpfnWndProc = type.procedure;
    registered.hInstance = instance;
    registered.hIcon = type.icon;
    registered.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    registered.hbrBackground = type.background;
    registered.lpszClassName = type.name;
    RegisterClassExW(&registered);
}

} // namespace korvalin::win32
