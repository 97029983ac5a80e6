// The program's message boxes: owned by the main window, above its other owned windows, with the
// buttons' own texts (widened to fit) and the id of the button pressed coming back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/App.h"
#include "platform/UserMessage.h"

using namespace sona;

namespace {

struct SeenBox {
    HWND owner = nullptr;
    bool topmost = false;
    std::vector<std::wstring> buttons;
    std::vector<int> widths;
    std::vector<int> ids;
};

struct Watcher {
    DWORD thread = 0;
    int press = 0;
    SeenBox seen;
};

BOOL CALLBACK CollectButton(HWND w, LPARAM lp) {
    auto* seen = (SeenBox*)lp;
    wchar_t cls[32] = {}, text[128] = {};
    GetClassNameW(w, cls, 32);
    if (lstrcmpiW(cls, L"Button") != 0) return TRUE;
    GetWindowTextW(w, text, 128);
    RECT r;
    GetWindowRect(w, &r);
    seen->buttons.push_back(text);
    seen->widths.push_back(r.right - r.left);
    seen->ids.push_back(GetDlgCtrlID(w));
    return TRUE;
}

BOOL CALLBACK FindBox(HWND w, LPARAM lp) {
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(w)) {
        *(HWND*)lp = w;
        return FALSE;
    }
    return TRUE;
}

// Waits for the box on the test's thread, reads it, then presses a button.
DWORD WINAPI WatchBox(void* arg) {
    auto* w = (Watcher*)arg;
    HWND box = nullptr;
    for (int i = 0; i < 500 && !box; i++) {
        EnumThreadWindows(w->thread, FindBox, (LPARAM)&box);
        if (!box) Sleep(10);
    }
    if (!box) return 1;
    Sleep(200);
    w->seen.owner = GetWindow(box, GW_OWNER);
    w->seen.topmost = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    EnumChildWindows(box, CollectButton, (LPARAM)&w->seen);
    PostMessageW(box, WM_COMMAND, w->press, 0);
    return 0;
}

int ShowWatched(Watcher* w, const std::string& text, UINT type, std::initializer_list<MessageButton> labels) {
    w->thread = GetCurrentThreadId();
    HANDLE t = CreateThread(nullptr, 0, WatchBox, w, 0, nullptr);
    int result = ShowUserMessage(text, type, labels);
    WaitForSingleObject(t, 10000);
    CloseHandle(t);
    return result;
}

}  // namespace

TEST(UserMessage, OwnedByTheMainWindowAboveItsItemsWithTheButtonsItNames) {
    HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
    HWND item = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"item", WS_POPUP | WS_VISIBLE, 120, 120, 600, 400, main,
                                nullptr, nullptr, nullptr);
    Application app;
    app.mainWindow = main;
    Watcher w;
    w.press = IDNO;
    int result = ShowWatched(&w, "The desks could not be saved.", MB_YESNOCANCEL | MB_ICONWARNING,
                             {{IDYES, "Try Again"}, {IDNO, "Exit Without Saving"}, {IDCANCEL, "Cancel"}});
    EXPECT_EQ(result, IDNO);
    EXPECT_EQ(w.seen.owner, main);
    EXPECT_TRUE(w.seen.topmost);
    ASSERT_EQ(w.seen.buttons.size(), 3u);
    std::vector<std::wstring> want = {L"Try Again", L"Exit Without Saving", L"Cancel"};
    for (const std::wstring& label : want) {
        bool found = false;
        for (const std::wstring& b : w.seen.buttons) found = found || b == label;
        EXPECT_TRUE(found) << std::string(label.begin(), label.end());
    }
    // "Exit Without Saving" fits its button: every button is as wide as the widest text needs.
    for (size_t i = 1; i < w.seen.widths.size(); i++) EXPECT_EQ(w.seen.widths[i], w.seen.widths[0]);
    EXPECT_GT(w.seen.widths[0], 100);
    EXPECT_EQ(ShownUserMessage(), nullptr);
    DestroyWindow(item);
    DestroyWindow(main);
}

TEST(UserMessage, PlainBoxKeepsItsButtons) {
    Watcher w;
    w.press = IDOK;
    EXPECT_EQ(ShowWatched(&w, "Saved.", MB_OK, {}), IDOK);
    ASSERT_EQ(w.seen.buttons.size(), 1u);
    EXPECT_TRUE(w.seen.topmost);
}
