#include "controls/SkinScrollBar.h"

#include <commctrl.h>

#include "controls/SkinButton.h"
#include "res/resource.h"

namespace sona {

SkinScrollBar::~SkinScrollBar() = default;

// A plain child window; the model learns its height here and on every resize.
BOOL SkinScrollBar::Create(const RECT& r, HWND parent, UINT id) {
    const char* cls = RegisterWindowClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW),
                                          SharedWhiteBrush());
    if (!CreateEx(0, cls, "", WS_CHILD, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, id)) return FALSE;
    model.SetHeight(ClientRect().bottom);
    RebuildBuffer();
    Redraw();
    return TRUE;
}

void SkinScrollBar::SetRange(int range) {
    model.SetRange(range);
    Redraw();
}

void SkinScrollBar::SetPosition(int position) {
    model.SetPosition(position);
    Redraw();
}

void SkinScrollBar::RebuildBuffer() {
    if (!hwnd) return;
    RECT rc = ClientRect();
    WindowDC dc(hwnd);
    buffer.CreateCompatible(dc, rc.right, rc.bottom);
}

namespace {

// Copies a bitmap resource unscaled to (x, y).
void DrawBitmapAt(HDC dest, UINT id, int x, int y) {
    Bitmap bmp(LoadBitmapResource(id));
    if (!bmp) return;
    BITMAP info{};
    GetObjectA(bmp, sizeof info, &info);
    MemoryDC src(dest, bmp);
    BitBlt(dest, x, y, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
}

}  // namespace

// Arrows, track and the two-ended thumb with its patterned middle; nothing but white while the
// list fits.
void SkinScrollBar::Redraw() {
    if (!hwnd || !buffer) return;
    RECT rc = ClientRect();
    HDC mem = buffer.dc();
    FillRect(mem, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    int h = rc.bottom;
    if (model.Range() >= 1) {
        DrawBitmapAt(mem, IDB_SCROLL_UP, 0, 0);
        Bitmap track(LoadBitmapResource(IDB_SCROLL_TRACK));
        if (track) {
            MemoryDC src(mem, track);
            StretchBlt(mem, 0, 16, ScrollModel::kWidth, h - 16, src, 0, 0, 17, 1, SRCCOPY);
        }
        DrawBitmapAt(mem, IDB_SCROLL_DOWN, 0, h - 16);
        int top = model.ThumbTop(), len = model.ThumbLength();
        DrawBitmapAt(mem, IDB_SCROLL_THUMB_TOP, 0, top);
        DrawBitmapAt(mem, IDB_SCROLL_THUMB_BOTTOM, 0, top + len - 10);
        Bitmap middle(LoadBitmapResource(IDB_SCROLL_THUMB_MIDDLE));
        if (middle && len > 20) {
            Brush pattern(CreatePatternBrush(middle));
            POINT old;
            SetBrushOrgEx(mem, 0, top + 10, &old);
            RECT mid{0, top + 10, ScrollModel::kWidth, top + len - 10};
            FillRect(mem, &mid, pattern);
            SetBrushOrgEx(mem, old.x, old.y, nullptr);
        }
    }
    // The window shows it at its next paint.
    InvalidateRect(hwnd, nullptr, FALSE);
}

void SkinScrollBar::SendAction(int action, int target) {
    SendMessageA(hwnd, WM_SCROLL_ACTION, (WPARAM)action, (LPARAM)target);
    HWND parent = GetParent(hwnd);
    if (parent) SendMessageA(parent, WM_SCROLL_ACTION, (WPARAM)action, (LPARAM)target);
}

// The list follows every action; the bar keeps its own position in step with it.
void SkinScrollBar::OnAction(int action, int target) {
    int t = list ? (int)SendMessageA(list, LB_GETTOPINDEX, 0, 0) : model.Position();
    int next = model.ApplyAction(action, t, target);
    model.SetPosition(next);
    if (list) SendMessageA(list, LB_SETTOPINDEX, (WPARAM)next, 0);
    Redraw();
}

void SkinScrollBar::OnButtonDown(int y) {
    SetFocus(hwnd);
    if (model.Range() < 1) return;
    switch (model.PartAt(y)) {
    case ScrollModel::Part::kThumb:
        SetCapture(hwnd);
        dragStartY = y;
        dragStartThumbTop = model.ThumbTop();
        dragging = true;
        state = kStatePressed;
        break;
    case ScrollModel::Part::kUpArrow:
        upPressed = true;
        SendAction(kScrollLineUp, 0);
        break;
    case ScrollModel::Part::kDownArrow:
        downPressed = true;
        SendAction(kScrollLineDown, 0);
        break;
    default: break;
    }
}

void SkinScrollBar::OnMouseMove(int y) {
    if (!hoverTracking && model.Range() >= 1 && model.PartAt(y) == ScrollModel::Part::kThumb) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd, 0};
        _TrackMouseEvent(&tme);
        hoverTracking = true;
        if (!dragging) state = kStateHover;
        Redraw();
    }
    if (dragging && model.Range() >= 1) {
        int top = model.DraggedThumbTop(dragStartThumbTop, dragStartY, y);
        int p = model.PositionForThumbTop(top);
        if (p >= 0 && p <= model.Range()) {
            model.SetPosition(p);
            SendAction(kScrollThumbTo, p);
        }
    }
}

// A click on the bare track pages towards the click; releasing a drag gives the mouse back to
// the drop-down, which needs it to notice clicks outside.
void SkinScrollBar::OnButtonUp(int y) {
    state = kStateNormal;
    upPressed = downPressed = false;
    bool wasDragging = dragging;
    if (!wasDragging && model.Range() >= 1) {
        ScrollModel::Part part = model.PartAt(y);
        if (part == ScrollModel::Part::kTrackAbove)
            SendAction(kScrollPageUp, 0);
        else if (part == ScrollModel::Part::kTrackBelow)
            SendAction(kScrollPageDown, 0);
    }
    if (wasDragging) {
        dragging = false;
        if (GetCapture() == hwnd) ReleaseCapture();
    }
    Redraw();
    HWND parent = GetParent(hwnd);
    if (parent) SendMessageA(parent, WM_DROPDOWN_RECAPTURE, 0, 0);
}

LRESULT SkinScrollBar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT painted;
    if (PaintFromBuffer(hwnd, msg, buffer, &painted)) return painted;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnButtonDown((short)HIWORD(lp));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove((short)HIWORD(lp));
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp((short)HIWORD(lp));
        return 0;
    case WM_MOUSELEAVE:
        hoverTracking = false;
        if (!dragging) state = kStateNormal;
        Redraw();
        return 0;
    case WM_SCROLL_ACTION:
        OnAction((int)wp, (int)lp);
        return 0;
    case WM_SIZE:
        model.SetHeight(HIWORD(lp));
        RebuildBuffer();
        Redraw();
        return 0;
    }
    return Default();
}

}  // namespace sona
