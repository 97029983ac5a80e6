// The program's messages to the user, all through one door: a system message box owned by the
// main window and kept above every other window of the program. Desk items are top-level windows
// owned by the main window too, and the item windows made or raised while a box is up (a desk
// still being built at start-up, the items put back above the main window) would otherwise
// cover it, leaving only a disabled main window in sight: a program that looks hung.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

namespace sona {

// The caption of every message the program shows.
extern const char kMessageCaption[];

// A button of the box given a text of its own: the command id it returns (IDYES, IDNO, ...) and
// its UTF-8 label. The box widens its buttons to fit.
struct MessageButton {
    int id;
    const char* label;
};

// Shows `text` (UTF-8) with the MessageBox `type` (MB_OK, MB_YESNO, an icon flag, ...), owned by
// the application's main window when there is one (else by `owner`); returns the id of the button
// pressed.
int ShowUserMessage(const std::string& text, UINT type, std::initializer_list<MessageButton> labels = {},
                    HWND owner = nullptr);

// The message box shown now by ShowUserMessage, or null.
HWND ShownUserMessage();

}  // namespace sona
