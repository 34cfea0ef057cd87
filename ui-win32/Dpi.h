#pragma once

#include <windows.h>

namespace korvalin::win32 {

// The DPI functions of Windows 8.1 and 10 1607 on, looked up at run time: the editor also
// starts on Windows 7 and 8.1, where a static import of one it lacks would stop it before
// its window. Each member is null where the system lacks it.
struct DpiFunctions {
    // Windows 8.1's per-monitor DPI, from shcore.dll.
    HRESULT(WINAPI* dpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
    int(WINAPI* systemMetricsForDpi)(int, UINT) = nullptr;
    BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;

    // This system's, looked up once.
    [[nodiscard]] static const DpiFunctions& OfThisSystem();
};

// Where a function is missing, the older one stands in, scaled from the system DPI to the
// window's: only Windows 8.1 gives a window another DPI than the system's without them.
[[nodiscard]] int SystemDpi();
[[nodiscard]] int DpiOf(HWND window, const DpiFunctions& functions);
[[nodiscard]] int SystemMetricAt(int metric, int dpi, const DpiFunctions& functions);
// The window's outer rectangle for a client rectangle `box` at `dpi`.
void AdjustWindowRectAt(RECT& box, DWORD style, bool menu, int dpi, const DpiFunctions& functions);
// The message boxes' font at `dpi`; false where the system gives none.
[[nodiscard]] bool MessageFontAt(int dpi, LOGFONTW& font, const DpiFunctions& functions);

} // namespace korvalin::win32
