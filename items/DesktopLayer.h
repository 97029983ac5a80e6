// Where an item "On the Desktop" lives, which depends on the Windows version:
// - Windows 8 and later: a layered child window of the shell's desktop window (the WorkerW or
//   Progman that holds the icons' view). Show Desktop (Win+D) brings that window forward, so the
//   item stays on screen, and every program's window lies above it.
// - Windows 7 and earlier (no layered child windows), and any system without that shell window
//   (Wine): a popup at the bottom of the z-order that refuses to be raised or minimised, owned by
//   Progman when there is one (Show Desktop keeps the windows Progman owns), otherwise unowned.
#pragma once
#include <windows.h>

namespace sona {

enum class DesktopHost {
    kNone,        // an ordinary popup (not on the desktop)
    kShellChild,  // a child of the shell's desktop window
    kBottomMost,  // a bottom-most popup
};

// True on Windows 8 and later, where layered windows may be child windows.
bool LayeredChildWindowsWork();
// The shell's desktop window that holds the icons' view (SHELLDLL_DefView), or null.
HWND FindShellDesktopWindow();
// Puts `w` (a layered popup) on the desktop and says how. Its screen place stays.
DesktopHost PutOnDesktop(HWND w);
// Makes `w` an ordinary popup owned by `owner` again, at the same screen place.
void TakeOffDesktop(HWND w, DesktopHost how, HWND owner);

}  // namespace sona
