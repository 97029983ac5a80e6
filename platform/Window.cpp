#include "platform/Window.h"

#include <cstdio>
#include <string>
#include <unordered_map>
#include <deque>

namespace sona {

namespace {

std::unordered_map<HWND, Window*>& WindowMap() {
    static std::unordered_map<HWND, Window*> map;
    return map;
}

// The object waiting to be bound to the next window created on this thread.
Window* pendingWindow = nullptr;
HHOOK creationHook = nullptr;

}  // namespace

LRESULT CALLBACK RouteWindowMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Window* w = Window::FromHandle(h);
    if (!w) return DefWindowProcA(h, msg, wp, lp);
    UINT savedMsg = w->curMsg;
    WPARAM savedWp = w->curWp;
    LPARAM savedLp = w->curLp;
    w->curMsg = msg;
    w->curWp = wp;
    w->curLp = lp;
    LRESULT r;
    if (msg == WM_NCDESTROY) {
        r = w->WndProc(msg, wp, lp);
        // The object may outlive its window; unbind so nothing routes to it again.
        w->Detach();
        w->PostNcDestroy();
        return r;
    }
    r = w->WndProc(msg, wp, lp);
    // The handler may have destroyed the window and deleted the object (self-deleting popups).
    if (Window::FromHandle(h) == w) {
        w->curMsg = savedMsg;
        w->curWp = savedWp;
        w->curLp = savedLp;
    }
    return r;
}

LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && pendingWindow) {
        Window* w = pendingWindow;
        pendingWindow = nullptr;
        w->Attach((HWND)wp);
    }
    return CallNextHookEx(creationHook, code, wp, lp);
}

Window::~Window() {
    // Only a window nobody destroyed is still here: it goes without reaching this object.
    if (hwnd) {
        HWND h = hwnd;
        Detach();
        ::DestroyWindow(h);
    }
}

void Window::Attach(HWND h) {
    hwnd = h;
    WindowMap()[h] = this;
    superProc = (WNDPROC)SetWindowLongPtrA(h, GWLP_WNDPROC, (LONG_PTR)RouteWindowMessage);
}

void Window::Detach() {
    if (!hwnd) return;
    if (superProc && (WNDPROC)GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == RouteWindowMessage)
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)superProc);
    WindowMap().erase(hwnd);
    hwnd = nullptr;
}

void Window::BeginCreate() {
    if (!creationHook) creationHook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    pendingWindow = this;
}

bool Window::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                      int y, int w, int h, HWND parent, UINT_PTR idOrMenu) {
    BeginCreate();
    HWND created = CreateWindowExA(exStyle, className, title ? title : "", style, x, y, w, h, parent,
                                   (HMENU)idOrMenu, GetModuleHandleA(nullptr), nullptr);
    pendingWindow = nullptr;
    if (!created) {
        if (hwnd) Detach();
        return false;
    }
    return true;
}

bool Window::Subclass(HWND h) {
    if (!h || FromHandle(h)) return false;
    Attach(h);
    return true;
}

void Window::DestroyWindow() {
    if (hwnd) ::DestroyWindow(hwnd);
}

Window* Window::FromHandle(HWND h) {
    auto& map = WindowMap();
    auto it = map.find(h);
    return it == map.end() ? nullptr : it->second;
}

LRESULT Window::WndProc(UINT msg, WPARAM wp, LPARAM lp) { return CallDefault(msg, wp, lp); }

LRESULT Window::Default() { return CallDefault(curMsg, curWp, curLp); }

LRESULT Window::CallDefault(UINT msg, WPARAM wp, LPARAM lp) {
    if (superProc) return CallWindowProcA(superProc, hwnd, msg, wp, lp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

RECT Window::ClientRect() const {
    RECT r{};
    if (hwnd) GetClientRect(hwnd, &r);
    return r;
}

RECT Window::WindowRect() const {
    RECT r{};
    if (hwnd) GetWindowRect(hwnd, &r);
    return r;
}

const char* RegisterWindowClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::deque<std::string> names;  // stable addresses for the returned names
    char name[96];
    std::snprintf(name, sizeof name, "Sonadesk:%x:%p:%p:%p", style, (void*)cursor, (void*)background,
                  (void*)icon);
    for (auto& n : names)
        if (n == name) return n.c_str();
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    WNDCLASSA existing;
    if (!GetClassInfoA(wc.hInstance, name, &existing) && !RegisterClassA(&wc)) return "STATIC";
    names.emplace_back(name);
    return names.back().c_str();
}

HBRUSH SharedWhiteBrush() {
    static HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    return brush;
}

}  // namespace sona
