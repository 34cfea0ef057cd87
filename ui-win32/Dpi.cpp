#include "Dpi.h"

#include "DeviceContext.h"

namespace korvalin::win32 {

namespace {

// MONITOR_DPI_TYPE's effective DPI, what the user chose for the monitor.
constexpr int kEffectiveDpi = 0;

template <typename Function>
void lookUp(Function& function, HMODULE library, const char* name) {
    if (library != nullptr)
        // The cast between function types is how GetProcAddress is meant to be used.
        function =
            reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

int scaled(int value, int dpi) {
    return MulDiv(value, dpi, SystemDpi());
}

} // namespace

const DpiFunctions& DpiFunctions::OfThisSystem() {
    static const DpiFunctions functions = [] {
        DpiFunctions found;
        // Every program that shows a window has user32 loaded already; shcore is a system
        // library only from Windows 8.1 on, and is never taken from another folder.
        const HMODULE user32 = GetModuleHandleW(L"user32.dll");
        const HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        lookUp(found.dpiForMonitor, shcore, "GetDpiForMonitor");
        lookUp(found.dpiForWindow, user32, "GetDpiForWindow");
        lookUp(found.adjustWindowRectExForDpi, user32, "AdjustWindowRectExForDpi");
        lookUp(found.systemMetricsForDpi, user32, "GetSystemMetricsForDpi");
        lookUp(found.systemParametersInfoForDpi, user32, "SystemParametersInfoForDpi");
        return found;
    }();
    return functions;
}

int SystemDpi() {
    const ScreenDC screen;
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int DpiOf(HWND window, const DpiFunctions& functions) {
    if (functions.dpiForWindow != nullptr) {
        if (const UINT dpi = functions.dpiForWindow(window); dpi > 0)
            return static_cast<int>(dpi);
    }
    if (functions.dpiForMonitor != nullptr) {
        UINT x = 0;
        UINT y = 0;
        const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (SUCCEEDED(functions.dpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && x > 0)
            return static_cast<int>(x);
    }
    return SystemDpi();
}

int SystemMetricAt(int metric, int dpi, const DpiFunctions& functions) {
    if (functions.systemMetricsForDpi != nullptr)
        return functions.systemMetricsForDpi(metric, static_cast<UINT>(dpi));
    return scaled(GetSystemMetrics(metric), dpi);
}

// Windows 8.1 leaves the title bar and the menu bar at the system's DPI on every monitor.
void AdjustWindowRectAt(RECT& box, DWORD style, bool menu, int dpi, const DpiFunctions& functions) {
    if (functions.adjustWindowRectExForDpi != nullptr &&
        functions.adjustWindowRectExForDpi(&box, style, menu, 0, static_cast<UINT>(dpi)))
        return;
    AdjustWindowRectEx(&box, style, menu, 0);
}

bool MessageFontAt(int dpi, LOGFONTW& font, const DpiFunctions& functions) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (functions.systemParametersInfoForDpi != nullptr) {
        if (!functions.systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics,
                                                  0, static_cast<UINT>(dpi)))
            return false;
        font = metrics.lfMessageFont;
        return true;
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return false;
    font = metrics.lfMessageFont;
    font.lfHeight = scaled(font.lfHeight, dpi);
    return true;
}

} // namespace korvalin::win32
