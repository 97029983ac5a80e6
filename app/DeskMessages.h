// Every private message and timer of the application's windows, in one place so that no two share
// a number. Each says who sends it, who receives it and what it carries; a pointer it carries is
// owned by the receiver from then on. The numbers from WM_USER are fixed (windows send them by
// number); those from WM_APP are the program's own.
#pragma once
#include <windows.h>

namespace sona {

// ---- Sent to the main window by others

// Any window -> main window, sent: draw the whole desk view again. Carries nothing.
constexpr UINT WM_DESK_REDRAW = WM_USER + 209;
// Any window -> main window, sent: show the About window. Carries nothing.
constexpr UINT WM_DESK_SHOW_ABOUT = WM_USER + 218;
// Application filter (Alt+F4 anywhere) -> main window, sent: save and end. Carries nothing.
constexpr UINT WM_DESK_EXIT = WM_USER + 219;
// The shell -> main window, posted: the notification-area icon was used; lParam the mouse message.
constexpr UINT WM_DESK_TRAY = WM_APP + 50;

// ---- Posted by the main window's own parts to the main window

// Main window -> itself after activation or a finished desk: puts the item windows back above
// it, where an X server without a window manager does not keep them. Carries nothing.
constexpr UINT WM_DESK_RAISE_ITEMS = WM_APP + 1;
// Start-up -> main window when "Media" was damaged: the user is told once the window is up.
constexpr UINT WM_DESK_REPORT_DAMAGED = WM_APP + 2;
// Keyboard filter -> main window: wParam the DeskKey, lParam its desk number. The command runs
// from the queue, not inside the filter, so a dialog it opens has a loop of its own.
constexpr UINT WM_DESK_KEY = WM_APP + 3;
// Start-up -> main window once it has finished: where the desks are kept, a crash the last time.
constexpr UINT WM_DESK_START_NOTICES = WM_APP + 24;
// LiveDesk -> its owner while a desk's item windows are made or the old ones taken down: the
// next turn. Carries nothing; TIMER_DESK_BUILD stands in for it while input waits.
constexpr UINT WM_DESK_BUILD_TURN = WM_APP + 40;
// Hot-key registration -> main window when another program holds Ctrl+Alt+D. Carries nothing.
constexpr UINT WM_DESK_HOTKEY_TAKEN = WM_APP + 51;
// Paste import -> main window: the next few pasted files. Carries nothing.
constexpr UINT WM_DESK_IMPORT_TURN = WM_APP + 52;
// Paste worker -> main window when the clipboard has been read: lParam a PasteResult*, owned by
// the main window from then on.
constexpr UINT WM_DESK_PASTE_DONE = WM_APP + 53;
// Copy worker -> main window when a large picture's bitmap is made: lParam a CopiedPicture*,
// owned by the main window from then on.
constexpr UINT WM_DESK_PICTURE_COPIED = WM_APP + 54;

// ---- Swallowed

// The application filter swallows any message of this number (the old framework's Help command);
// nobody in the program sends it.
constexpr UINT WM_DESK_SWALLOWED_HELP = 0xE146;

// ---- The main window's timers

// Once, 500 ms after start: the rest of start-up and the first full drawing.
constexpr UINT_PTR TIMER_FIRST_PAINT = 1;
// Set by the first paint: the rest of start-up once that frame is on the screen.
constexpr UINT_PTR TIMER_FINISH_STARTUP = 2;
// Every 200 ms while a tab-strip arrow is held: one desk further.
constexpr UINT_PTR TIMER_SCROLL_LEFT = 10;
constexpr UINT_PTR TIMER_SCROLL_RIGHT = 11;
// A few seconds after a change: the desks are saved.
constexpr UINT_PTR TIMER_AUTOSAVE = 12;
// LiveDesk's next turn when input waits (a posted turn would come before the input).
constexpr UINT_PTR TIMER_DESK_BUILD = 40;

}  // namespace sona
