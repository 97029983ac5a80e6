// The mouse behaviour every skinned push button shares: hover on the first move after the
// pointer enters, pressed on button-down, a click on the release alone (wherever the press
// was), normal again when the pointer leaves; a disabled button ignores all of it.
#pragma once
#include <windows.h>

namespace sona {

// Mouse states shared by every skinned control.
enum ControlState { kStateNormal = 32, kStateHover = 16, kStatePressed = 1, kStateDisabled = 4 };

class PushButtonMouse {
public:
    enum Outcome { kNothing, kRedraw, kClicked };

    // Feeds one mouse message of the button window; says whether to redraw or to send the
    // click (the caller redraws after sending it). Other messages give kNothing.
    Outcome OnMessage(HWND button, UINT msg);
    // Normal when enabled, disabled otherwise.
    void Enable(bool enable) { state = enable ? kStateNormal : kStateDisabled; }
    bool Disabled() const { return state == kStateDisabled; }
    // Sends the click to `target` as WM_COMMAND (lParam the button); false when handling it
    // destroyed the button, which must then touch nothing of itself.
    static bool SendClick(HWND button, HWND target, UINT commandId) {
        SendMessageA(target, WM_COMMAND, MAKEWPARAM(commandId, 0), (LPARAM)button);
        return IsWindow(button) != FALSE;
    }
    static bool IsMouseMessage(UINT msg) {
        return msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_MOUSELEAVE;
    }

    int state = kStateNormal;
    // A WM_MOUSELEAVE request is outstanding.
    bool tracking = false;
};

}  // namespace sona
