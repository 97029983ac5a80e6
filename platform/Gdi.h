// Single-owner handles for GDI and GDI+ objects, and the off-screen surface every window draws to.
#pragma once
#include <windows.h>
#include <objidl.h>
// GDI+ headers want min/max in scope.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <memory>
#include <utility>

namespace sona {

// Owns one GDI object (bitmap, brush, font, pen, region, palette) and deletes it.
template <typename H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : h(h) {}
    ~GdiObject() { reset(); }
    GdiObject(GdiObject&& o) noexcept : h(std::exchange(o.h, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o) {
            reset();
            h = std::exchange(o.h, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    void reset(H n = nullptr) {
        if (h) DeleteObject(h);
        h = n;
    }
    H release() { return std::exchange(h, nullptr); }
    H get() const { return h; }
    operator H() const { return h; }
    explicit operator bool() const { return h != nullptr; }

private:
    H h = nullptr;
};

using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Pen = GdiObject<HPEN>;
using Region = GdiObject<HRGN>;
using Palette = GdiObject<HPALETTE>;

// GetDC / ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND w) : wnd(w), dc(GetDC(w)) {}
    ~WindowDC() {
        if (dc) ReleaseDC(wnd, dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    operator HDC() const { return dc; }

private:
    HWND wnd;
    HDC dc;
};

// BeginPaint / EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND w) : wnd(w) { dc = BeginPaint(w, &ps); }
    ~PaintDC() { EndPaint(wnd, &ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    operator HDC() const { return dc; }
    PAINTSTRUCT ps{};

private:
    HWND wnd;
    HDC dc;
};

// Selects an object into a DC and puts the previous one back on scope exit.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ obj) : dc(dc), old(obj ? SelectObject(dc, obj) : nullptr) {}
    ~SelectScope() {
        if (old) SelectObject(dc, old);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc;
    HGDIOBJ old;
};

// A memory DC compatible with `reference` (the screen when null) with `selected` (a bitmap to
// copy from, usually) selected into it; on scope exit the previous object goes back and the DC
// is deleted.
class MemoryDC {
public:
    explicit MemoryDC(HDC reference, HGDIOBJ selected = nullptr) : dc(CreateCompatibleDC(reference)) {
        if (dc && selected) old = SelectObject(dc, selected);
    }
    ~MemoryDC() {
        if (!dc) return;
        if (old) SelectObject(dc, old);
        DeleteDC(dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    operator HDC() const { return dc; }

private:
    HDC dc;
    HGDIOBJ old = nullptr;
};

// GDI+ for as long as the object lives. The application makes one when it wants GDI+ running
// (no static start-up), and its end shuts GDI+ down.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        started = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (started) Gdiplus::GdiplusShutdown(token);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Started() const { return started; }

private:
    ULONG_PTR token = 0;
    bool started = false;
};

// A memory DC with a bitmap of a given size selected into it. Compatible surfaces follow the
// screen; alpha surfaces are 32-bit premultiplied top-down DIB sections that start fully
// transparent, which is what UpdateLayeredWindow with per-pixel alpha wants.
class OffscreenSurface {
public:
    OffscreenSurface() = default;
    ~OffscreenSurface() { Reset(); }
    OffscreenSurface(const OffscreenSurface&) = delete;
    OffscreenSurface& operator=(const OffscreenSurface&) = delete;

    bool CreateCompatible(HDC reference, int w, int h);
    bool CreateAlpha(int w, int h);
    void Reset();

    HDC dc() const { return memDC; }
    HBITMAP bitmap() const { return bmp; }
    int width() const { return cx; }
    int height() const { return cy; }
    // Pixels of an alpha surface (BGRA, premultiplied, top-down), null for compatible ones.
    uint32_t* pixels() const { return bits; }
    explicit operator bool() const { return memDC != nullptr; }

    // Copies the surface to a DC at (x, y).
    void BlitTo(HDC target, int x = 0, int y = 0) const;

private:
    HDC memDC = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ oldBmp = nullptr;
    uint32_t* bits = nullptr;
    int cx = 0, cy = 0;
};

// How a window with an off-screen buffer paints: WM_ERASEBKGND draws nothing (the buffer covers
// the client area) and WM_PAINT copies the buffer. True, with the message's result, for those
// two messages; false for any other.
bool PaintFromBuffer(HWND window, UINT msg, const OffscreenSurface& buffer, LRESULT* result);

// Loads a BITMAP resource of this module.
HBITMAP LoadBitmapResource(UINT id);

// Owns a GDI+ object (Image, Graphics, Brush, Font, FontFamily, StringFormat).
template <typename T>
using GdipPtr = std::unique_ptr<T>;

}  // namespace sona
