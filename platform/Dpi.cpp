#include "platform/Dpi.h"

#include "platform/LateBound.h"

namespace sona {

namespace {

// GetDpiForMonitor's kind of density: the one the user's scale setting gives.
const int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

}  // namespace

UINT SystemDpi() {
    // Windows 10 1607 and later: the system density the process was started with.
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static auto forSystem = LateBound<GetDpiForSystemFn>("user32.dll", "GetDpiForSystem");
    if (forSystem) {
        UINT dpi = forSystem();
        if (dpi) return dpi;
    }
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : static_cast<UINT>(kUnitDpi);
}

UINT MonitorDpi(HMONITOR monitor) {
    // Windows 8.1 and later; shcore.dll is loaded only when a monitor's density is asked for.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static auto forMonitor = LateBound<GetDpiForMonitorFn>("shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (monitor && forMonitor && SUCCEEDED(forMonitor(monitor, kEffectiveDpi, &x, &y)) && y) return y;
    return SystemDpi();
}

UINT WindowDpi(HWND window) {
    if (!window) return SystemDpi();
    // Windows 10 1607 and later: answers for the window's own awareness, so a window of a
    // program that is not DPI-aware reads 96 there.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto forWindow = LateBound<GetDpiForWindowFn>("user32.dll", "GetDpiForWindow");
    if (forWindow) {
        UINT dpi = forWindow(window);
        if (dpi) return dpi;
    }
    // Windows 8.1: GetDpiForMonitor answers a program that is not per-monitor aware with the
    // density Windows draws it at, so this agrees with GetDpiForWindow where both exist.
    return MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

}  // namespace sona
