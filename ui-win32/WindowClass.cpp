#include "WindowClass.h"

namespace korvalin::win32 {

namespace {

// The one window procedure: the target rides on the window from its creation's
// parameters on, and leaves it with its last message.
LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (target == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        Detach(window);
    return target->handle(window, message, wParam, lParam);
}

void registerOnce(HINSTANCE instance, const WindowClass& type) {
    WNDCLASSEXW found{};
    if (GetClassInfoExW(instance, type.name, &found))
        return;
    WNDCLASSEXW registered{};
    registered.cbSize = sizeof registered;
    registered.lpfnWndProc = &procedure;
    registered.hInstance = instance;
    registered.hIcon = type.icon;
    registered.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    registered.hbrBackground = type.background;
    registered.lpszClassName = type.name;
    RegisterClassExW(&registered);
}

} // namespace

HWND CreateWindowOf(HINSTANCE instance, const WindowClass& type, const WindowPlace& place,
                    MessageTarget& target) {
    registerOnce(instance, type);
    return CreateWindowExW(0, type.name, place.title, place.style, place.x, place.y, place.width,
                           place.height, place.parent, place.menu, instance, &target);
}

void Detach(HWND window) {
    if (window != nullptr)
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

} // namespace korvalin::win32
