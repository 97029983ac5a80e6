// The densities the system reports through the functions looked up at run time, and their
// agreement with what GDI reports for the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/Dpi.h"

namespace sona {
namespace {

// Windows Vista and later, so not in the headers for the oldest Windows the program targets.
bool ProcessIsDpiAware() {
    using IsProcessDpiAwareFn = BOOL(WINAPI*)();
    auto aware = reinterpret_cast<IsProcessDpiAwareFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "IsProcessDPIAware")));
    return aware && aware();
}

int ScreenLogPixels() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// A DPI-aware process sees the screen's density; one that is not is drawn at 96 and stretched.
TEST(Dpi, SystemDensityIsTheScreensForAnAwareProcessElse96) {
    int want = ProcessIsDpiAware() ? ScreenLogPixels() : 96;
    EXPECT_EQ(static_cast<int>(SystemDpi()), want);
}

// One monitor, one density: the primary monitor, a window and no window agree.
TEST(Dpi, MonitorAndWindowDensitiesAgreeWithTheSystemOnOneMonitor) {
    POINT origin = {0, 0};
    HMONITOR primary = MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
    EXPECT_EQ(MonitorDpi(primary), SystemDpi());
    EXPECT_EQ(MonitorDpi(nullptr), SystemDpi());
    EXPECT_EQ(WindowDpi(nullptr), SystemDpi());

    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 10, 10, 100, 50, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(window != nullptr);
    EXPECT_EQ(WindowDpi(window), SystemDpi());
    DisplayScale scale = ScaleOf(window);
    EXPECT_EQ(scale.dpi, static_cast<int>(SystemDpi()));
    EXPECT_EQ(scale.Px(800), MulDiv(800, scale.dpi, 96));
    DestroyWindow(window);
}

// The same rounding as Windows' own MulDiv, over the measures and densities the program uses.
TEST(Dpi, RoundingMatchesWindowsMulDiv) {
    const int dpis[] = {96, 120, 144, 168, 192, 240, 288, 110, 1};
    for (int dpi : dpis)
        for (int v = -1100; v <= 1100; v += 7) EXPECT_EQ(MulDivRound(v, dpi, 96), MulDiv(v, dpi, 96)) << v << " at " << dpi;
}

}  // namespace
}  // namespace sona
