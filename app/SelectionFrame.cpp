#include "app/SelectionFrame.h"

#include "app/SelectionGlow.h"
#include "items/LayeredUpdate.h"

namespace sona {

SelectionFrame::~SelectionFrame() {
    if (hwnd) ::DestroyWindow(hwnd);
    surface.Reset();
}

bool SelectionFrame::Make(HWND owner) {
    if (hwnd) return true;
    const char* cls = RegisterWindowClass(0, LoadCursorA(nullptr, IDC_ARROW), nullptr, nullptr);
    // Transparent to the mouse and never activated: a click on the highlight is a click on
    // whatever lies under it, and the keyboard stays where it was. Not a tool window: it is no
    // item, and an owned window gets no task-bar button anyway.
    DWORD ex = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE;
    return CreateEx(ex, cls, "", WS_POPUP, 0, 0, 1, 1, owner, 0);
}

void SelectionFrame::Follow(HWND item, HWND owner) {
    RECT r;
    if (!item || !IsWindowVisible(item) || !GetWindowRect(item, &r) || !Make(owner)) {
        Hide();
        return;
    }
    const int m = SelectionGlowStyle::kMargin;
    int w = r.right - r.left + 2 * m, h = r.bottom - r.top + 2 * m;
    if (surface.width() != w || surface.height() != h) {
        if (!surface.CreateAlpha(w, h)) {
            Hide();
            return;
        }
        PaintSelectionGlow(surface.pixels(), w, h);
    }
    target = item;
    // Directly below the item: the item keeps its own pixels, the ring shows around it.
    SetWindowPos(hwnd, item, r.left - m, r.top - m, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateLayered(hwnd, surface, 255);
}

void SelectionFrame::Hide() {
    target = nullptr;
    if (hwnd && IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_HIDE);
}

LRESULT SelectionFrame::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT: {
        // Its pixels come from the layered update only.
        PaintDC dc(hwnd);
        return 0;
    }
    }
    return Default();
}

}  // namespace sona
