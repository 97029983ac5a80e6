#include "items/LayeredUpdate.h"

#include "platform/LateBound.h"

#include <cstdlib>

namespace sona {

namespace {

using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                            DWORD);

UpdateLayeredWindowFn layeredUpdate = nullptr;
bool bound = false;

}  // namespace

// Binds the entry on first use; every later call is free.
void BindLayeredUpdate() {
    if (bound) return;
    HMODULE user32 = LoadSystemLibrary("User32.DLL");
    if (!user32) {
        MessageBoxA(nullptr, "User32.dll ERROR!", "", MB_OK);
        ExitProcess(0);
    }
    // The module stays loaded for the life of the process: every item window uses the entry.
    layeredUpdate = (UpdateLayeredWindowFn)GetProcAddress(user32, "UpdateLayeredWindow");
    bound = true;
}

// Hands the surface to the system compositor in one call; nothing is drawn through WM_PAINT.
bool UpdateLayered(HWND hwnd, const OffscreenSurface& surface, BYTE constantAlpha) {
    BindLayeredUpdate();
    if (!layeredUpdate || !hwnd || !surface || surface.width() <= 0 || surface.height() <= 0) return false;
    LONG ex = GetWindowLongA(hwnd, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) SetWindowLongA(hwnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    POINT dest{0, 0};
    ClientToScreen(hwnd, &dest);
    SIZE size{surface.width(), surface.height()};
    POINT src{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
    WindowDC dc(hwnd);
    // A child window (an item on the desktop of Windows 8 and later) keeps its place: its
    // position is not a screen point.
    POINT* place = (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) ? nullptr : &dest;
    return layeredUpdate(hwnd, dc, place, &size, surface.dc(), &src, 0, &blend, ULW_ALPHA) != FALSE;
}

GdipPtr<Gdiplus::Bitmap> WrapAlphaSurface(const OffscreenSurface& surface) {
    if (!surface.pixels() || surface.width() <= 0 || surface.height() <= 0) return nullptr;
    return GdipPtr<Gdiplus::Bitmap>(new Gdiplus::Bitmap(surface.width(), surface.height(), surface.width() * 4,
                                                        PixelFormat32bppPARGB, (BYTE*)surface.pixels()));
}

}  // namespace sona
