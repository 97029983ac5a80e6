#include "controls/SkinSlider.h"

#include <cstddef>
#include <commctrl.h>
#include <windowsx.h>

#include <cstdio>

#include "res/resource.h"

namespace sona {

namespace {

// One tooltip for all sliders: only one thumb can be dragged at a time.
HWND sharedTip = nullptr;
TOOLINFOA sharedTool;
char tipText[32];

// The TOOLINFO of comctl32 5 (44 bytes in a 32-bit process), which every version accepts.
const UINT kToolInfoSize = (UINT)offsetof(TOOLINFOA, lpReserved);

// Fills `rect` with a pattern brush made from bitmap `id`, the pattern starting at `origin`.
void FillPattern(HDC dc, const RECT& rect, UINT id, POINT origin) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    Bitmap bmp(LoadBitmapResource(id));
    if (!bmp) return;
    Brush brush(CreatePatternBrush(bmp));
    if (!brush) return;
    POINT old;
    SetBrushOrgEx(dc, origin.x, origin.y, &old);
    FillRect(dc, &rect, brush);
    SetBrushOrgEx(dc, old.x, old.y, nullptr);
}

}  // namespace

SkinSlider::~SkinSlider() {
    if (dragging && GetCapture() == hwnd) ReleaseCapture();
}

BOOL SkinSlider::Create(RECT r, HWND parentWindow, UINT sliderId, bool visible) {
    parent = parentWindow;
    const char* cls = RegisterWindowClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursor(nullptr, IDC_ARROW),
                                          SharedWhiteBrush());
    if (!CreateEx(WS_EX_TOOLWINDOW, cls, "", WS_POPUP | (visible ? WS_VISIBLE : 0), r.left, r.top, r.right - r.left,
                  r.bottom - r.top, parentWindow, 0))
        return FALSE;
    SetBitmaps(IDB_SLIDER_TRACK, IDB_SLIDER_TRACK, IDB_SLIDER_THUMB, IDB_SLIDER_THUMB, IDB_SLIDER_THUMB, 0x0C);
    id = sliderId;
    RebuildSurface();
    Draw();
    return TRUE;
}

void SkinSlider::SetBitmaps(UINT filledTrack, UINT emptyTrack, UINT hoverThumb, UINT pressedThumb,
                            UINT normalThumb, UINT styleFlags) {
    filledTrackId = filledTrack & 0xFFFF;
    emptyTrackId = emptyTrack & 0xFFFF;
    hoverThumbId = hoverThumb & 0xFFFF;
    pressedThumbId = pressedThumb & 0xFFFF;
    normalThumbId = normalThumb & 0xFFFF;
    SetStyle(styleFlags);
    Draw();
}

void SkinSlider::SetStyle(UINT flags) {
    if (flags & 0x20) {
        tooltipOn = tooltipFollows = true;
    } else {
        tooltipOn = (flags & 0x10) != 0;
        tooltipFollows = false;
    }
}

void SkinSlider::SetRange(int maximum) { range = maximum; }

void SkinSlider::SetPos(int pos) {
    position = pos;
    Draw();
}

// The thumb travels over the width less its own, so it stays whole at both ends.
RECT SkinSlider::ThumbRectIn(const RECT& rc, int position, int range) {
    int w = rc.right - rc.left;
    double x = range != 0 ? (double)position / range * (w - kThumbWidth) + rc.left : rc.left;
    return RECT{(int)x, rc.top, (int)(x + kThumbWidth), rc.top + kThumbHeight};
}

RECT SkinSlider::ThumbRect() const { return ThumbRectIn(ClientRect(), position, range); }

// Client x to position over the full width; the caller keeps x inside the slider while dragging.
int SkinSlider::PositionAt(int x) const {
    RECT rc = ClientRect();
    int w = rc.right - rc.left;
    return w > 0 ? range * x / w : 0;
}

void SkinSlider::RebuildSurface() {
    if (!hwnd) return;
    RECT rc = ClientRect();
    WindowDC dc(hwnd);
    surface.CreateCompatible(dc, rc.right, rc.bottom);
}

// The split uses the full width while the thumb uses width - 16, so the two do not line up
// exactly; the skins are drawn with that in mind.
void SkinSlider::DrawSlider(HDC mem, const RECT& rc, int position, int range, int thumbState, UINT filledTrack,
                            UINT emptyTrack, UINT hoverThumb, UINT normalThumb) {
    Brush white(CreateSolidBrush(RGB(255, 255, 255)));
    FillRect(mem, &rc, white);
    SetStretchBltMode(mem, HALFTONE);
    int w = rc.right - rc.left;
    int split = rc.left + (range > 0 ? position * w / range : 0);
    FillPattern(mem, RECT{rc.left, rc.top, split, rc.top + kTrackHeight}, filledTrack, POINT{rc.left, rc.top});
    FillPattern(mem, RECT{split, rc.top, rc.right, rc.top + kTrackHeight}, emptyTrack, POINT{rc.left, rc.top});
    RECT thumb = ThumbRectIn(rc, position, range);
    FillPattern(mem, thumb, thumbState == kHover ? hoverThumb : normalThumb, POINT{thumb.left, thumb.top});
}

void SkinSlider::Draw() {
    if (!hwnd || !surface) return;
    DrawSlider(surface.dc(), ClientRect(), position, range, thumbState, filledTrackId, emptyTrackId, hoverThumbId,
               normalThumbId);
    // The window shows it at its next paint.
    InvalidateRect(hwnd, nullptr, FALSE);
}

void SkinSlider::Notify() { PostMessageA(parent, WM_SLIDER_CHANGED, id, position); }

const char* SkinSlider::PercentText(int position, int range) {
    if (range >= 1) std::snprintf(tipText, sizeof tipText, "%d%%", position * 100 / range);
    return tipText;
}

const char* SkinSlider::GetTooltipText() { return PercentText(position, range); }

HWND SkinSlider::SharedTooltip() { return sharedTip; }

// Messages to the shared tooltip are posted; they point only at process-wide storage.
void SkinSlider::ShowTrackingTip(const char* text, POINT screen) {
    if (!sharedTip) {
        sharedTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    }
    if (!sharedTip) return;
    ZeroMemory(&sharedTool, sizeof sharedTool);
    sharedTool.cbSize = kToolInfoSize;
    sharedTool.uFlags = TTF_TRACK;
    sharedTool.lpszText = (LPSTR)text;
    PostMessageA(sharedTip, TTM_ADDTOOLA, 0, (LPARAM)&sharedTool);
    MoveTrackingTip(screen);
    PostMessageA(sharedTip, TTM_TRACKACTIVATE, TRUE, (LPARAM)&sharedTool);
}

void SkinSlider::UpdateTrackingTip(const char* text) {
    if (!sharedTip) return;
    sharedTool.lpszText = (LPSTR)text;
    PostMessageA(sharedTip, TTM_UPDATETIPTEXTA, 0, (LPARAM)&sharedTool);
}

void SkinSlider::MoveTrackingTip(POINT screen) {
    if (!sharedTip) return;
    PostMessageA(sharedTip, TTM_TRACKPOSITION, 0, (LPARAM)(((DWORD)screen.y << 16) | ((DWORD)screen.x & 0xFFFF)));
}

void SkinSlider::HideTrackingTip() {
    if (sharedTip) PostMessageA(sharedTip, TTM_TRACKACTIVATE, FALSE, (LPARAM)&sharedTool);
}

// The tip hangs from the thumb's bottom-left corner.
void SkinSlider::ShowTooltip() {
    RECT thumb = ThumbRect();
    POINT corner{thumb.left, thumb.bottom};
    ClientToScreen(hwnd, &corner);
    ShowTrackingTip(GetTooltipText(), corner);
}

void SkinSlider::MoveTooltip() {
    RECT thumb = ThumbRect();
    POINT corner{thumb.left, thumb.bottom};
    ClientToScreen(hwnd, &corner);
    MoveTrackingTip(corner);
}

// Ends a drag: the tooltip goes away and the capture is given back.
void SkinSlider::EndDrag() {
    dragging = false;
    HideTrackingTip();
    if (GetCapture() == hwnd) ReleaseCapture();
}

LRESULT SkinSlider::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT painted;
    if (PaintFromBuffer(hwnd, msg, surface, &painted)) return painted;
    switch (msg) {
    case WM_MOUSEMOVE: {
        int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        RECT thumb = ThumbRect();
        POINT pt{x, y};
        if (!tracking && PtInRect(&thumb, pt)) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd, 0};
            _TrackMouseEvent(&tme);
            tracking = true;
            thumbState = kHover;
            Draw();
        }
        if (dragging) {
            RECT rc = ClientRect();
            if (x < 0) x = 0;
            if (x > rc.right) x = rc.right;
            // The text is taken before the position moves, so it lags one mouse move behind.
            if (tooltipOn) UpdateTrackingTip(GetTooltipText());
            if (tooltipFollows) MoveTooltip();
            position = PositionAt(x);
            Draw();
        }
        return Default();
    }
    case WM_LBUTTONDOWN: {
        int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        RECT thumb = ThumbRect();
        POINT pt{x, y};
        if (PtInRect(&thumb, pt)) {
            if (tooltipOn) ShowTooltip();
            SetCapture(hwnd);
            dragging = true;
        }
        // A click on the track jumps the thumb there at once.
        position = PositionAt(x);
        Draw();
        Notify();
        return 0;
    }
    case WM_LBUTTONUP:
        thumbState = kNormal;
        if (dragging) {
            Notify();
            EndDrag();
        }
        Draw();
        return Default();
    case WM_CAPTURECHANGED:
        // Losing the capture to someone else (a menu, a task switch) ends the drag where it is.
        if (dragging && (HWND)lp != hwnd) EndDrag();
        return Default();
    case WM_MOUSELEAVE:
        thumbState = kNormal;
        tracking = false;
        Draw();
        return 0;
    case WM_SIZE:
        RebuildSurface();
        Draw();
        return 0;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace sona
