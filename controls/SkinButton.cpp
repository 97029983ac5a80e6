#include "controls/SkinButton.h"

namespace sona {

SkinButton::~SkinButton() = default;

BOOL SkinButton::Create(RECT r, HWND parent, UINT id) {
    commandId = id;
    const char* cls = RegisterWindowClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                          SharedWhiteBrush());
    if (!CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, 0))
        return 0;
    RebuildBuffer();
    return 1;
}

BOOL SkinButton::SetBitmaps(UINT normal, UINT hover, UINT pressed, UINT disabled) {
    normalBmp.reset(LoadBitmapResource(normal));
    hoverBmp.reset(LoadBitmapResource(hover));
    pressedBmp.reset(LoadBitmapResource(pressed));
    disabledBmp.reset(LoadBitmapResource(disabled));
    Render();
    return 1;
}

void SkinButton::SetText(const char* text) {
    caption = text ? text : "";
    Render();
}

void SkinButton::Enable(BOOL enable) {
    enabled = enable != FALSE;
    mouse.Enable(enabled);
    Render();
}

void SkinButton::RebuildBuffer() {
    if (!hwnd) return;
    RECT rc = ClientRect();
    WindowDC dc(hwnd);
    buffer.CreateCompatible(dc, rc.right, rc.bottom);
}

// Draws the state bitmap and the caption into the buffer; the window shows it when it paints.
void SkinButton::Render() {
    if (!hwnd || !buffer) return;
    RECT rc = ClientRect();
    HDC mem = buffer.dc();
    Brush fill(CreateSolidBrush(0xBEB4B4));
    FillRect(mem, &rc, fill);
    int state = mouse.state;
    HBITMAP bmp = state == kStateHover     ? hoverBmp.get()
                  : state == kStatePressed  ? pressedBmp.get()
                  : state == kStateDisabled ? disabledBmp.get()
                                            : normalBmp.get();
    if (bmp) {
        MemoryDC src(mem, bmp);
        BitBlt(mem, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, src, 0, 0, SRCCOPY);
    }
    if (!caption.empty()) {
        SetBkMode(mem, TRANSPARENT);
        SetTextColor(mem, GetSysColor(state == kStateDisabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        SelectScope font(mem, GetStockObject(DEFAULT_GUI_FONT));
        SIZE size{};
        GetTextExtentPoint32A(mem, caption.c_str(), (int)caption.size(), &size);
        RECT text = rc;
        text.top += (rc.bottom - rc.top - size.cy) / 2;
        DrawTextA(mem, caption.c_str(), (int)caption.size(), &text, DT_CENTER);
    }
    // The window shows it at its next paint.
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT SkinButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSELEAVE: {
        PushButtonMouse::Outcome outcome = mouse.OnMessage(hwnd, msg);
        if (outcome == PushButtonMouse::kClicked && !PushButtonMouse::SendClick(hwnd, GetParent(hwnd), commandId)) return 0;
        if (outcome != PushButtonMouse::kNothing) Render();
        return 0;
    }
    case WM_SIZE:
        RebuildBuffer();
        Render();
        return 0;
    case WM_ERASEBKGND:
        Render();
        return 1;
    case WM_PAINT: {
        PaintDC dc(hwnd);
        buffer.BlitTo(dc);
        return 0;
    }
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace sona
