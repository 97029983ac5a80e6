#include "controls/PushButtonMouse.h"

#include <commctrl.h>

namespace sona {

PushButtonMouse::Outcome PushButtonMouse::OnMessage(HWND button, UINT msg) {
    switch (msg) {
    case WM_MOUSEMOVE:
        // Hover is entered once per visit: after a click the button stays normal until the
        // pointer leaves and comes back.
        if (tracking) return kNothing;
        {
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, button, 0};
            _TrackMouseEvent(&tme);
        }
        tracking = true;
        if (!Disabled()) state = kStateHover;
        return kRedraw;
    case WM_LBUTTONDOWN:
        if (!Disabled()) state = kStatePressed;
        return kRedraw;
    case WM_LBUTTONUP:
        if (Disabled()) return kRedraw;
        state = kStateNormal;
        return kClicked;
    case WM_MOUSELEAVE:
        if (!Disabled()) state = kStateNormal;
        tracking = false;
        return kRedraw;
    }
    return kNothing;
}

}  // namespace sona
