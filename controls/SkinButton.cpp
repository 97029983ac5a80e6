#include "controls/SkinButton.h"

namespace sona {

BOOL SkinButton::SetBitmaps(UINT normal, UINT hover, UINT pressed, UINT disabled) {
    normalBmp.reset(LoadBitmapResource(normal));
    hoverBmp.reset(LoadBitmapResource(hover));
    pressedBmp.reset(LoadBitmapResource(pressed));
    disabledBmp.reset(LoadBitmapResource(disabled));
    Redraw();
    return 1;
}

void SkinButton::SetText(const char* text) {
    caption = text ? text : "";
    Redraw();
}

void SkinButton::Enable(BOOL enable) {
    mouse.Enable(enable != FALSE);
    Redraw();
}

// The state bitmap and the caption.
void SkinButton::DrawFace(HDC mem, const RECT& rc) {
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
}

}  // namespace sona
