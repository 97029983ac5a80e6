// The program's icon in the notification area: added when the main window is up, added again
// whenever Explorer starts anew (it announces that with the "TaskbarCreated" message), removed
// when the window goes.
#pragma once
#include <windows.h>

namespace sona {

class DeskTray {
public:
    DeskTray() = default;
    ~DeskTray() { Remove(); }
    DeskTray(const DeskTray&) = delete;
    DeskTray& operator=(const DeskTray&) = delete;

    // Shows the icon; its mouse messages come to `window` as `message` (lParam the mouse message).
    bool Add(HWND window, UINT message, HICON icon, const char* tip);
    // Shows the same icon again (after Explorer restarted); false when it was never added.
    bool Readd();
    void Remove();
    bool Shown() const { return shown; }
    // The message Explorer broadcasts to every top-level window when its task bar is made.
    static UINT TaskbarCreatedMessage();

private:
    bool Notify(DWORD what);

    HWND window = nullptr;
    UINT message = 0;
    HICON icon = nullptr;
    wchar_t tip[64] = {};
    bool added = false;
    bool shown = false;
};

}  // namespace sona
