#include "items/CardParts.h"

#include "controls/SkinSlider.h"
#include "items/LayeredUpdate.h"
#include "res/resource.h"
#include "store/Resources.h"

namespace sona {

Gdiplus::Image* CardButton::Image() const {
    UINT id = state == kStateHover     ? hover
              : state == kStatePressed  ? pressed
              : state == kStateDisabled ? disabled
                                        : normal;
    return id ? SharedPng(id) : nullptr;
}

// The state's image stretched over the button, as the button window used to show it.
void CardButton::Draw(Gdiplus::Graphics& g) const {
    if (!shown || !SharedPng(normal)) return;
    Gdiplus::Image* img = Image();
    if (img) g.DrawImage(img, Gdiplus::Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
}

RECT CardSlider::ThumbRect() const { return SkinSlider::ThumbRectIn(LocalRect(), position, range); }

// Slider x to position over the full width; the caller keeps x inside the slider while dragging.
int CardSlider::PositionAt(int x) const {
    int w = rect.right - rect.left;
    return w > 0 ? range * x / w : 0;
}

// The tip hangs from the thumb's bottom-left corner.
POINT CardSlider::TipPoint(HWND card) const {
    RECT thumb = ThumbRect();
    POINT corner{rect.left + thumb.left, rect.top + thumb.bottom};
    ClientToScreen(card, &corner);
    return corner;
}

bool CardSlider::OnMouseMove(HWND card, POINT p) {
    int x = p.x - rect.left, y = p.y - rect.top;
    bool redraw = false;
    RECT thumb = ThumbRect();
    POINT local{x, y};
    if (!tracking && PtInRect(&thumb, local)) {
        tracking = true;
        thumbState = kHover;
        redraw = true;
    }
    if (dragging) {
        int w = rect.right - rect.left;
        if (x < 0) x = 0;
        if (x > w) x = w;
        // The text is taken before the position moves, so it lags one mouse move behind.
        if (tooltipOn) SkinSlider::UpdateTrackingTip(SkinSlider::PercentText(position, range));
        position = PositionAt(x);
        redraw = true;
    }
    (void)card;
    return redraw;
}

bool CardSlider::OnButtonDown(HWND card, POINT p) {
    int x = p.x - rect.left, y = p.y - rect.top;
    RECT thumb = ThumbRect();
    POINT local{x, y};
    if (PtInRect(&thumb, local)) {
        if (tooltipOn) SkinSlider::ShowTrackingTip(SkinSlider::PercentText(position, range), TipPoint(card));
        SetCapture(card);
        dragging = true;
    }
    // A click on the track jumps the thumb there at once.
    position = PositionAt(x);
    PostMessageA(card, WM_SLIDER_CHANGED, id, position);
    return true;
}

bool CardSlider::OnButtonUp(HWND card) {
    thumbState = kNormal;
    if (dragging) {
        PostMessageA(card, WM_SLIDER_CHANGED, id, position);
        EndDrag(card);
    }
    return true;
}

bool CardSlider::OnLeave() {
    bool was = tracking || thumbState != kNormal;
    thumbState = kNormal;
    tracking = false;
    return was;
}

void CardSlider::OnCaptureLost() {
    if (!dragging) return;
    dragging = false;
    SkinSlider::HideTrackingTip();
}

// Ends a drag: the tip goes away and the capture is given back.
void CardSlider::EndDrag(HWND card) {
    dragging = false;
    SkinSlider::HideTrackingTip();
    if (GetCapture() == card) ReleaseCapture();
}

bool CardSlider::LooksSame(int other) const {
    RECT local = LocalRect();
    int w = local.right;
    RECT a = SkinSlider::ThumbRectIn(local, position, range), b = SkinSlider::ThumbRectIn(local, other, range);
    int splitA = range > 0 ? position * w / range : 0, splitB = range > 0 ? other * w / range : 0;
    return a.left == b.left && splitA == splitB;
}

// The slider is drawn with GDI as the slider window draws itself (opaque: white, the patterned
// track and thumb), then laid into the card's picture fully opaque.
void CardSlider::Draw(Gdiplus::Graphics& g) const {
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (!shown || w <= 0 || h <= 0) return;
    OffscreenSurface strip;
    if (!strip.CreateAlpha(w, h)) return;
    SkinSlider::DrawSlider(strip.dc(), RECT{0, 0, w, h}, position, range, thumbState, IDB_SLIDER_TRACK,
                           IDB_SLIDER_TRACK, IDB_SLIDER_THUMB, IDB_SLIDER_THUMB);
    GdiFlush();
    uint32_t* px = strip.pixels();
    for (int i = 0; i < w * h; i++) px[i] |= 0xFF000000u;  // GDI leaves alpha 0
    GdipPtr<Gdiplus::Bitmap> bmp = WrapAlphaSurface(strip);
    if (bmp) g.DrawImage(bmp.get(), Gdiplus::Rect(rect.left, rect.top, w, h), 0, 0, w, h, Gdiplus::UnitPixel);
}

}  // namespace sona
