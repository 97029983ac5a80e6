#include "platform/Gdi.h"

namespace sona {

bool OffscreenSurface::CreateCompatible(HDC reference, int w, int h) {
    Reset();
    memDC = CreateCompatibleDC(reference);
    if (!memDC) return false;
    bmp = CreateCompatibleBitmap(reference, w > 0 ? w : 1, h > 0 ? h : 1);
    if (!bmp) {
        Reset();
        return false;
    }
    oldBmp = SelectObject(memDC, bmp);
    cx = w;
    cy = h;
    return true;
}

bool OffscreenSurface::CreateAlpha(int w, int h) {
    Reset();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w > 0 ? w : 1;
    bi.bmiHeader.biHeight = -(h > 0 ? h : 1);
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    memDC = CreateCompatibleDC(nullptr);
    if (!memDC) return false;
    void* p = nullptr;
    bmp = CreateDIBSection(memDC, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    if (!bmp) {
        Reset();
        return false;
    }
    bits = (uint32_t*)p;
    oldBmp = SelectObject(memDC, bmp);
    cx = w;
    cy = h;
    return true;
}

void OffscreenSurface::Reset() {
    if (memDC && oldBmp) SelectObject(memDC, oldBmp);
    if (bmp) DeleteObject(bmp);
    if (memDC) DeleteDC(memDC);
    memDC = nullptr;
    bmp = nullptr;
    oldBmp = nullptr;
    bits = nullptr;
    cx = cy = 0;
}

void OffscreenSurface::BlitTo(HDC target, int x, int y) const {
    if (memDC) BitBlt(target, x, y, cx, cy, memDC, 0, 0, SRCCOPY);
}

bool PaintFromBuffer(HWND window, UINT msg, const OffscreenSurface& buffer, LRESULT* result) {
    if (msg == WM_ERASEBKGND) {
        *result = 1;
        return true;
    }
    if (msg != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    buffer.BlitTo(dc);
    EndPaint(window, &ps);
    *result = 0;
    return true;
}

HBITMAP LoadBitmapResource(UINT id) {
    return (HBITMAP)LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id & 0xFFFF), IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION);
}

}  // namespace sona
