// Which key presses are the desk's: those made while the main window or one of the desk's items
// has the keyboard and no dialog runs (the note editor keeps every key for its text box, a
// message box or a file dialog its own).
#pragma once
#include <windows.h>

#include "app/DeskKeys.h"
#include "app/LiveDesk.h"

namespace sona {

// The desk's command for `msg` (a key press in some window of the thread), or kNone when the
// key is not the desk's; `desk` is the main window, `live` the items it shows.
DeskKeyCommand DeskKeyOf(const MSG& msg, HWND desk, const LiveDesk& live);

}  // namespace sona
