#include "items/LayeredImageButton.h"

#include "items/ItemIds.h"
#include "items/LayeredUpdate.h"
#include "store/Resources.h"

namespace sona {

LayeredImageButton::~LayeredImageButton() = default;

// Creates the popup window; its tooltip belongs to the button itself.
BOOL LayeredImageButton::Create(RECT r, HWND ownerWindow, UINT commandId) {
    id = commandId;
    owner = ownerWindow;
    const char* cls = RegisterWindowClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursor(nullptr, IDC_ARROW),
                                          SharedWhiteBrush());
    if (!CreateEx(WS_EX_TOOLWINDOW, cls, "", WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                  r.bottom - r.top, ownerWindow, 0))
        return FALSE;
    tooltip.Create(hwnd, 0);
    return TRUE;
}

// Loads the four state images and shows the one for the current state.
BOOL LayeredImageButton::SetImages(UINT normal, UINT hover, UINT pressed, UINT disabled) {
    normalImg = LoadPng(normal);
    hoverImg = LoadPng(hover);
    pressedImg = LoadPng(pressed);
    disabledImg = LoadPng(disabled);
    Render();
    return TRUE;
}

// The media item changes the text whenever a button's action flips (Play/Pause, Mute/Voice).
void LayeredImageButton::SetTooltip(const char* text) {
    if (!hwnd || !tooltip.handle()) return;
    if (tooltipAdded) {
        tooltip.UpdateText(hwnd, text ? text : "");
    } else {
        tooltip.AddTool(hwnd, text ? text : "");
        tooltipAdded = true;
    }
}

// Nothing in the program disables a button; the state exists for completeness.
void LayeredImageButton::Enable(BOOL enable) {
    mouse.Enable(enable != FALSE);
    Render();
}

// Every render starts from a fresh transparent surface, so no clearing is needed.
void LayeredImageButton::Render() {
    if (!hwnd || !normalImg) return;
    RECT rc = ClientRect();
    if (!surface.CreateAlpha(rc.right, rc.bottom)) return;
    int state = mouse.state;
    Gdiplus::Image* img = state == kHover     ? hoverImg.get()
                          : state == kPressed  ? pressedImg.get()
                          : state == kDisabled ? disabledImg.get()
                                               : normalImg.get();
    if (img) {
        if (auto canvas = WrapAlphaSurface(surface)) {
            Gdiplus::Graphics g(canvas.get());
            g.DrawImage(img, Gdiplus::Rect(0, 0, rc.right, rc.bottom));
        }
    }
    UpdateLayered(hwnd, surface, constantAlpha);
}

// The tooltip sees the button's mouse messages only through this relay.
BOOL LayeredImageButton::PreTranslateMessage(MSG* msg) {
    tooltip.RelayEvent(msg);
    return FALSE;
}

LRESULT LayeredImageButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        LRESULT r = Default();
        if (r == -1) return -1;
        BindLayeredUpdate();
        return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSELEAVE: {
        PushButtonMouse::Outcome outcome = mouse.OnMessage(hwnd, msg);
        if (outcome == PushButtonMouse::kClicked && !PushButtonMouse::SendClick(hwnd, owner, id)) return 0;
        if (outcome != PushButtonMouse::kNothing) Render();
        return 0;
    }
    case WM_SIZE:
        Render();
        return 0;
    case WM_DESKITEM_PART_ALPHA:
        // The item's opacity multiplies the button's own alpha, as it does the item's.
        constantAlpha = (BYTE)wp;
        Render();
        return 1;
    case WM_ERASEBKGND:
        Render();
        return TRUE;
    case WM_PAINT: {
        // All pixels come from the layered update; painting only validates.
        PaintDC dc(hwnd);
        return 0;
    }
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace sona
