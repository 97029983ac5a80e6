// The push buttons and sliders of a media card, drawn into the card's own layered picture and
// driven by the card's mouse messages. As windows of their own (ten or so per card) they cost a
// desk of cards far more than the cards themselves; as parts they look and behave the same: the
// button's four state images and its tooltip, the slider's track, thumb and percentage tip.
#pragma once
#include <windows.h>

#include "controls/PushButtonMouse.h"
#include "platform/Gdi.h"

namespace sona {

// A button over `rect` of its card (client coordinates). Hover comes with the first move after
// the pointer enters it, pressed with the button going down, the click with the release over it
// (wherever the press was), normal again when the pointer leaves it.
struct CardButton {
    UINT id = 0;
    RECT rect{};
    bool shown = false;
    int state = kStateNormal;
    bool tracking = false;  // the pointer has entered it and not left yet
    UINT normal = 0, hover = 0, pressed = 0, disabled = 0;
    const char* tooltip = "";

    int GetState() const { return state; }
    // The image of the current state, shared by every card (null when it is missing).
    Gdiplus::Image* Image() const;
    void Draw(Gdiplus::Graphics& g) const;
    bool Contains(POINT p) const { return shown && PtInRect(&rect, p); }
};

// A slider over `rect` of its card (client coordinates): a click on the track moves it there and
// tells the card; the thumb can be dragged, with the position as a percentage in the shared tip.
// Notifications go to the card as WM_SLIDER_CHANGED (posted: wParam the id, lParam the position).
class CardSlider {
public:
    enum { kNormal = 32, kHover = 16 };

    UINT id = 0;
    RECT rect{};
    bool shown = true;

    void SetRange(int maximum) { range = maximum; }
    // Stores the position as given; the card draws it at its next render.
    void SetPos(int pos) { position = pos; }
    int GetPos() const { return position; }
    int GetRange() const { return range; }
    bool IsDragging() const { return dragging; }
    int GetState() const { return thumbState; }
    // The percentage tip is shown while the thumb is dragged.
    void SetTooltip(bool on) { tooltipOn = on; }
    bool Contains(POINT p) const { return shown && PtInRect(&rect, p); }

    // Mouse messages at card client point p; each returns true when the card must be drawn again.
    bool OnMouseMove(HWND card, POINT p);
    bool OnButtonDown(HWND card, POINT p);
    bool OnButtonUp(HWND card);
    // The pointer left the slider (or the card).
    bool OnLeave();
    // The card lost the mouse capture to someone else: the drag ends where it is.
    void OnCaptureLost();
    // The thumb and the split point as drawn; a change of position that moves neither needs no
    // drawing.
    bool LooksSame(int otherPosition) const;

    void Draw(Gdiplus::Graphics& g) const;

private:
    RECT LocalRect() const { return RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top}; }
    RECT ThumbRect() const;  // slider coordinates
    int PositionAt(int x) const;
    POINT TipPoint(HWND card) const;
    void EndDrag(HWND card);

    int position = 0;
    int range = 100;
    int thumbState = kNormal;
    bool tracking = false;
    bool dragging = false;
    bool tooltipOn = false;
};

}  // namespace sona
