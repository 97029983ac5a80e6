// What the user is told once, right after the main window first shows: where the desks are kept
// when the program's own folder cannot hold them, and that the program closed unexpectedly last
// time and where its report is.
#pragma once
#include <windows.h>

namespace sona {

// Each notice is shown at most once (a mark in the data folder remembers it), in a message box
// owned by `owner`.
void ShowStartNotices(HWND owner);

}  // namespace sona
