#include "items/DesktopLayer.h"

namespace sona {

bool LayeredChildWindowsWork() {
    // The manifest names Windows 7 to 10, so the version is not capped at 6.2 here.
    OSVERSIONINFOA v{sizeof v};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&v)) return false;
#pragma GCC diagnostic pop
    return v.dwMajorVersion > 6 || (v.dwMajorVersion == 6 && v.dwMinorVersion >= 2);
}

namespace {

BOOL CALLBACK FindIconHost(HWND top, LPARAM found) {
    if (FindWindowExA(top, nullptr, "SHELLDLL_DefView", nullptr)) {
        *(HWND*)found = top;
        return FALSE;
    }
    return TRUE;
}

// Screen rectangle of `w`.
RECT ScreenRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

}  // namespace

HWND FindShellDesktopWindow() {
    // Progman holds the icons until the desktop has once been animated (a wallpaper change);
    // from then on a WorkerW does.
    HWND found = nullptr;
    EnumWindows(FindIconHost, (LPARAM)&found);
    return found;
}

DesktopHost PutOnDesktop(HWND w) {
    RECT r = ScreenRect(w);
    HWND shell = FindShellDesktopWindow();
    if (shell && LayeredChildWindowsWork()) {
        LONG style = GetWindowLongA(w, GWL_STYLE);
        SetWindowLongA(w, GWL_STYLE, (style & ~WS_POPUP) | WS_CHILD);
        if (SetParent(w, shell)) {
            POINT at{r.left, r.top};
            ScreenToClient(shell, &at);
            // Above the icons' view, so the item is not hidden behind the icons.
            SetWindowPos(w, HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
            return DesktopHost::kShellChild;
        }
        SetWindowLongA(w, GWL_STYLE, style);
    }
    // Owned by Progman (when there is one) it survives Show Desktop on Windows 7; unowned, it at
    // least stays under every other window.
    SetWindowLongA(w, GWL_HWNDPARENT, (LONG)(LONG_PTR)FindWindowA("Progman", nullptr));
    SetWindowPos(w, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return DesktopHost::kBottomMost;
}

void TakeOffDesktop(HWND w, DesktopHost how, HWND owner) {
    RECT r = ScreenRect(w);
    if (how == DesktopHost::kShellChild) {
        SetParent(w, nullptr);
        LONG style = GetWindowLongA(w, GWL_STYLE);
        SetWindowLongA(w, GWL_STYLE, (style & ~WS_CHILD) | WS_POPUP);
    }
    if (how != DesktopHost::kNone) SetWindowLongA(w, GWL_HWNDPARENT, (LONG)(LONG_PTR)owner);
    SetWindowPos(w, HWND_TOP, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace sona
