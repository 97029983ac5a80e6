#include "controls/SkinPushButton.h"

namespace sona {

BOOL SkinPushButton::Create(RECT r, HWND parent, UINT id) {
    commandId = id;
    const char* cls = RegisterWindowClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursor(nullptr, IDC_ARROW),
                                          SharedWhiteBrush());
    if (!CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, 0))
        return FALSE;
    RebuildSurface();
    Redraw();
    return TRUE;
}

void SkinPushButton::PaintFaceAt(HDC dc, const RECT& at) {
    POINT old;
    SetViewportOrgEx(dc, at.left, at.top, &old);
    DrawFace(dc, RECT{0, 0, at.right - at.left, at.bottom - at.top});
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

void SkinPushButton::RebuildSurface() {
    if (!hwnd) return;
    RECT rc = ClientRect();
    WindowDC dc(hwnd);
    surface.CreateCompatible(dc, rc.right, rc.bottom);
}

void SkinPushButton::Redraw() {
    if (!hwnd || !surface) return;
    RECT rc = ClientRect();
    DrawFace(surface.dc(), rc);
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT SkinPushButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT painted;
    if (PaintFromBuffer(hwnd, msg, surface, &painted)) return painted;
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSELEAVE: {
        PushButtonMouse::Outcome outcome = mouse.OnMessage(hwnd, msg);
        if (outcome == PushButtonMouse::kClicked && !PushButtonMouse::SendClick(hwnd, GetParent(hwnd), commandId)) return 0;
        if (outcome != PushButtonMouse::kNothing) Redraw();
        return 0;
    }
    case WM_SIZE:
        RebuildSurface();
        Redraw();
        return 0;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace sona
