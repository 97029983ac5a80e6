// The notification-area icon and what it offers: the main window on a left click, a menu on a
// right click; the items of the desk shown hidden and shown at once, here and from the global
// hot key Ctrl+Alt+D; and the way back from click-through.
#include "app/DeskTray.h"

#include <shellapi.h>

#include <cstdio>

#include "app/DeskIds.h"
#include "app/DeskMessages.h"
#include "app/MainDeskWindow.h"
#include "controls/CMstMenu.h"
#include "platform/LateBound.h"
#include "platform/Text.h"

namespace sona {

namespace {
const UINT kTrayIconId = 1;
}  // namespace

UINT DeskTray::TaskbarCreatedMessage() {
    static UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

bool DeskTray::Notify(DWORD what) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = message;
    data.hIcon = icon;
    lstrcpynW(data.szTip, tip, sizeof data.szTip / sizeof data.szTip[0]);
    // Bound on first use: the shell is not among the DLLs that load with the program.
    auto notify = LateBound<BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW)>("shell32.dll", "Shell_NotifyIconW");
    return notify && notify(what, &data) != FALSE;
}

bool DeskTray::Add(HWND w, UINT msg, HICON i, const char* text) {
    window = w;
    message = msg;
    icon = i;
    std::wstring wide = Utf8ToWide(text);
    lstrcpynW(tip, wide.c_str(), sizeof tip / sizeof tip[0]);
    added = true;
    shown = Notify(NIM_ADD);
    return shown;
}

bool DeskTray::Readd() {
    if (!added) return false;
    // Explorer forgot every icon when it ended; an icon it still knows is replaced.
    if (shown) Notify(NIM_DELETE);
    shown = Notify(NIM_ADD);
    return shown;
}

void DeskTray::Remove() {
    if (shown) Notify(NIM_DELETE);
    shown = false;
    added = false;
}

// ---------------------------------------------------------------------------------------------
// What the main window does with it

void MainDeskWindow::AddTrayIcon() { tray.Add(hwnd, WM_DESK_TRAY, icon, "Varnel Sonadesk"); }

void MainDeskWindow::OnTrayMessage(LPARAM mouse) {
    switch (mouse) {
    case WM_LBUTTONUP:
        ShowMainWindow();
        return;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
        ShowTrayMenu();
        return;
    }
}

void MainDeskWindow::ShowMainWindow() {
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
}

void MainDeskWindow::ShowTrayMenu() {
    CMstMenu menu;
    menu.AppendEntry(0, new MenuEntry(ID_TRAY_SHOW_ITEMS, live.Hidden() ? "Show Items" : "Hide Items", 16));
    menu.AppendSeparator();
    uint32_t desks = model.DeskCount() < 9 ? (uint32_t)model.DeskCount() : 9;
    for (uint32_t d = 0; d < desks; d++) {
        char text[16];
        std::snprintf(text, sizeof text, "Desk %u", (unsigned)(d + 1));
        menu.AppendEntry(d == model.currentDesk() ? MF_CHECKED : 0, new MenuEntry(ID_TRAY_DESK_FIRST + d, text, 16));
    }
    menu.AppendSeparator();
    menu.AppendEntry(0, new MenuEntry(ID_TRAY_STOP_CLICK_THROUGH, "Stop Click-Through", 16));
    menu.AppendSeparator();
    menu.AppendEntry(0, new MenuEntry(ID_EXIT, "Exit", 16));
    POINT at;
    GetCursorPos(&at);
    // A notification-area menu closes when the user clicks elsewhere only if its owner is in the
    // foreground while it runs; the empty message afterwards lets the next one open at once.
    SetForegroundWindow(hwnd);
    menu.Track(hwnd, at, TPM_RIGHTBUTTON);
    PostMessageA(hwnd, WM_NULL, 0, 0);
}

void MainDeskWindow::ShowItems(bool shown) {
    live.ShowAll(shown);
    if (shown) {
        UpdateSelection();
        RaiseItems();
    } else {
        selection.Hide();
    }
}

void MainDeskWindow::StopClickThrough() {
    // The items shown now, and every record, so no desk keeps an item that cannot be clicked.
    for (auto& item : live.Items()) {
        if (!item) continue;
        ItemSettings s = item->Settings();
        if (!s.clickThrough) continue;
        s.clickThrough = false;
        item->ApplySettings(s);
        saver.Changed();
    }
    if (model.ClearClickThrough()) saver.Changed();
    live.Sync();
}

void MainDeskWindow::RegisterShowHideKey() {
    if (hotKeyRegistered) return;
    hotKeyRegistered = RegisterHotKey(hwnd, kShowHideHotKey, MOD_CONTROL | MOD_ALT, 'D') != FALSE;
    // Told from the queue: start-up may be running inside a command.
    if (!hotKeyRegistered) PostMessageA(hwnd, WM_DESK_HOTKEY_TAKEN, 0, 0);
}

void MainDeskWindow::ReportShowHideKeyTaken() {
    // Another program holds the key: the user hears of it once, not at every start.
    std::string profile = dataFolder + "Sonadesk.ini";
    char told[8] = {};
    GetPrivateProfileStringA("HotKey", "TakenToldOnce", "", told, sizeof told, profile.c_str());
    if (told[0] == '1') return;
    WritePrivateProfileStringA("HotKey", "TakenToldOnce", "1", profile.c_str());
    MessageBoxA(hwnd,
                "Another program already uses the key Ctrl+Alt+D, so it cannot hide and show the desk's items. "
                "Use the Sonadesk icon in the notification area instead.",
                "Varnel Sonadesk", MB_OK | MB_ICONINFORMATION);
}

bool MainDeskWindow::OnCtrlWheel(const MSG& msg) {
    if (msg.message != WM_MOUSEWHEEL || !(LOWORD(msg.wParam) & MK_CONTROL)) return false;
    POINT at{(short)LOWORD(msg.lParam), (short)HIWORD(msg.lParam)};
    HWND under = WindowFromPoint(at);
    // A part of an item (a media card's button) stands for its item.
    for (HWND w = under; w; w = GetParent(w) ? GetParent(w) : GetWindow(w, GW_OWNER)) {
        DeskItem* item = live.At(live.IndexOf(w));
        if (!item) continue;
        ItemSettings s = item->Settings();
        s.opacity = StepOpacity(s.opacity, (short)HIWORD(msg.wParam) > 0 ? +1 : -1);
        if (s != item->Settings()) {
            item->ApplySettings(s);
            saver.Changed();
        }
        return true;
    }
    return false;
}

bool MainDeskWindow::OnTrayCommand(UINT id) {
    if (id == ID_TRAY_SHOW_ITEMS) {
        ShowItems(live.Hidden());
        return true;
    }
    if (id >= ID_TRAY_DESK_FIRST && id < ID_TRAY_DESK_FIRST + 9) {
        SwitchToDesk(id - ID_TRAY_DESK_FIRST);
        return true;
    }
    if (id == ID_TRAY_STOP_CLICK_THROUGH) {
        StopClickThrough();
        return true;
    }
    return false;
}

}  // namespace sona
