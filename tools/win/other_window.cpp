// Another program's window for the end-to-end tests: an ordinary top-level window of one solid
// colour that writes every left click it gets to a file, one "x y" line per click in screen
// pixels. It raises itself to the top when it starts and whenever it is sent WM_APP.
//   other_window LEFT TOP WIDTH HEIGHT RRGGBB CLICKLOG [TITLE]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

static COLORREF colour = RGB(255, 0, 255);
static const char* clickLog = nullptr;

static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(h, &rc);
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect((HDC)wp, &rc, brush);
        DeleteObject(brush);
        return 1;
    }
    case WM_LBUTTONDOWN: {
        POINT at{(short)LOWORD(lp), (short)HIWORD(lp)};
        ClientToScreen(h, &at);
        if (FILE* f = std::fopen(clickLog, "a")) {
            std::fprintf(f, "%ld %ld\n", at.x, at.y);
            std::fclose(f);
        }
        return 0;
    }
    case WM_APP:
        SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(h);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

int main(int argc, char** argv) {
    if (argc < 7) return 2;
    int x = std::atoi(argv[1]), y = std::atoi(argv[2]), w = std::atoi(argv[3]), hgt = std::atoi(argv[4]);
    unsigned long rgb = std::strtoul(argv[5], nullptr, 16);
    colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    clickLog = argv[6];
    const char* title = argc > 7 ? argv[7] : "Other Program";
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "SonadeskTestOtherWindow";
    RegisterClassA(&wc);
    // A borderless popup with a task-bar button: its client area is exactly the given rectangle.
    HWND h = CreateWindowExA(WS_EX_APPWINDOW, wc.lpszClassName, title, WS_POPUP, x, y, w, hgt, nullptr, nullptr,
                             wc.hInstance, nullptr);
    ShowWindow(h, SW_SHOW);
    SetForegroundWindow(h);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
