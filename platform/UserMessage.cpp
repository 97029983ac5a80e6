#include "platform/UserMessage.h"

#include <algorithm>
#include <vector>

#include "platform/App.h"
#include "platform/Text.h"

namespace sona {

const char kMessageCaption[] = "Varnel Sonadesk";

namespace {

// What the hook needs while the box comes up; one box at a time per thread (a box is modal).
struct PendingBox {
    std::vector<MessageButton> labels;
    HHOOK hook = nullptr;
    HWND box = nullptr;
};
PendingBox* pending = nullptr;
HWND shownBox = nullptr;

// Gives the buttons their texts and widths, keeping them in a row at the right of the box.
void Relabel(HWND box, const std::vector<MessageButton>& labels) {
    if (labels.empty()) return;
    std::vector<HWND> buttons;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(c, cls, 16);
        if (lstrcmpiW(cls, L"Button") == 0) buttons.push_back(c);
    }
    if (buttons.empty()) return;
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageW(buttons[0], WM_GETFONT, 0, 0));
    int widest = 0;
    for (HWND b : buttons) {
        int id = GetDlgCtrlID(b);
        for (const MessageButton& l : labels)
            if (l.id == id) SetWindowTextW(b, Utf8ToWide(l.label).c_str());
        wchar_t text[128] = {};
        GetWindowTextW(b, text, 128);
        SIZE s{};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &s);
        widest = std::max(widest, (int)s.cx + 24);
    }
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    // Buttons in screen order, left to right.
    std::vector<std::pair<RECT, HWND>> row;
    for (HWND b : buttons) {
        RECT r;
        GetWindowRect(b, &r);
        MapWindowPoints(nullptr, box, (POINT*)&r, 2);
        row.push_back({r, b});
    }
    std::sort(row.begin(), row.end(), [](const auto& a, const auto& b) { return a.first.left < b.first.left; });
    int width = row[0].first.right - row[0].first.left;
    if (widest <= width) return;
    int gap = row.size() > 1 ? row[1].first.left - row[0].first.right : 8;
    int rowWidth = (int)row.size() * widest + ((int)row.size() - 1) * gap;
    RECT client;
    GetClientRect(box, &client);
    int margin = 12;
    int need = rowWidth + 2 * margin;
    if (need > client.right) {
        RECT outer;
        GetWindowRect(box, &outer);
        int grow = need - client.right;
        SetWindowPos(box, nullptr, outer.left - grow / 2, outer.top, outer.right - outer.left + grow,
                     outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
        GetClientRect(box, &client);
    }
    int x = (client.right - rowWidth) / 2;
    for (auto& b : row) {
        int h = b.first.bottom - b.first.top;
        SetWindowPos(b.second, nullptr, x, b.first.top, widest, h, SWP_NOZORDER | SWP_NOACTIVATE);
        x += widest + gap;
    }
}

// The box's own procedure, wrapped: its texts and sizes are set once the box has laid itself out.
WNDPROC boxProc = nullptr;

LRESULT CALLBACK LabelledBoxProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = CallWindowProcW(boxProc, w, msg, wp, lp);
    if (msg == WM_INITDIALOG && pending && pending->box == w) Relabel(w, pending->labels);
    return r;
}

LRESULT CALLBACK BoxHook(int code, WPARAM wp, LPARAM lp) {
    PendingBox* p = pending;
    HHOOK hook = p ? p->hook : nullptr;
    if (p && (code == HCBT_CREATEWND || code == HCBT_ACTIVATE)) {
        HWND w = (HWND)wp;
        wchar_t cls[16] = {};
        GetClassNameW(w, cls, 16);
        if (lstrcmpW(cls, L"#32770") == 0 && (!p->box || p->box == w)) {
            if (code == HCBT_CREATEWND && !p->box) {
                p->box = w;
                shownBox = w;
                if (!p->labels.empty())
                    boxProc = (WNDPROC)SetWindowLongPtrW(w, GWLP_WNDPROC, (LONG_PTR)LabelledBoxProc);
            } else if (code == HCBT_ACTIVATE) {
                // Above the item windows, which are owned by the main window as the box is: among
                // windows of one owner the last raised would be on top, and items are raised often.
                SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
        }
    }
    return CallNextHookEx(hook, code, wp, lp);
}

}  // namespace

int ShowUserMessage(const std::string& text, UINT type, std::initializer_list<MessageButton> labels, HWND owner) {
    if (Application* app = Application::Current())
        if (app->mainWindow && IsWindow(app->mainWindow)) owner = app->mainWindow;
    // A box opened while another is up (a save failing under a warning) shows on its own hook.
    PendingBox box;
    box.labels.assign(labels.begin(), labels.end());
    PendingBox* outer = pending;
    HWND outerBox = shownBox;
    pending = &box;
    box.hook = SetWindowsHookExW(WH_CBT, BoxHook, nullptr, GetCurrentThreadId());
    int result = MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(kMessageCaption).c_str(), type | MB_TOPMOST);
    if (box.hook) UnhookWindowsHookEx(box.hook);
    pending = outer;
    shownBox = outerBox;
    return result;
}

HWND ShownUserMessage() { return shownBox; }

}  // namespace sona
