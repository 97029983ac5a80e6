#include "app/DeskKeyboard.h"

namespace sona {

namespace {

bool KeyBelongsToDesk(HWND target, HWND desk, const LiveDesk& live) {
    // While any modal dialog runs the main window is disabled: its keys are the dialog's.
    if (!desk || !target || !IsWindowEnabled(desk)) return false;
    HWND root = GetAncestor(target, GA_ROOT);
    if (root == desk) return true;
    // An item, or a window an item floats over itself (a media item's buttons and player), but
    // never a dialog one of them opened: the note editor keeps every key for its text box.
    char cls[16] = {};
    GetClassNameA(root, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0) return false;
    for (HWND w = root; w && w != desk; w = GetWindow(w, GW_OWNER))
        if (live.IndexOf(w) != SIZE_MAX) return IsWindowEnabled(w) != FALSE;
    return false;
}

}  // namespace

DeskKeyCommand DeskKeyOf(const MSG& msg, HWND desk, const LiveDesk& live) {
    if (msg.message != WM_KEYDOWN || !KeyBelongsToDesk(msg.hwnd, desk, live)) return DeskKeyCommand{};
    return DeskKeyFor((unsigned)msg.wParam, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0,
                      GetKeyState(VK_MENU) < 0);
}

}  // namespace sona
