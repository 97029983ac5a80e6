// The start-up baseline: a plain Win32 program that only opens an 800x500 window and paints it.
// It is DPI-aware, so on a denser display its window is 800x500 scaled by the density: the bare
// cost of a window of that many pixels.
#include <windows.h>

// Windows Vista and later, so not in the headers for the oldest Windows the program targets.
static void BecomeDpiAware() {
    typedef BOOL(WINAPI * SetProcessDpiAwareFn)();
    SetProcessDpiAwareFn aware = reinterpret_cast<SetProcessDpiAwareFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware")));
    if (aware) aware();
}

static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        HBRUSH b = CreateSolidBrush(RGB(220, 220, 220));
        RECT r;
        GetClientRect(h, &r);
        FillRect(dc, &r, b);
        DeleteObject(b);
        EndPaint(h, &ps);
        return 0;
    }
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

int main() {
    BecomeDpiAware();
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi <= 0) dpi = 96;
    int w = MulDiv(800, dpi, 96), h = MulDiv(500, dpi, 96);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "MinimalWindow";
    RegisterClassA(&wc);
    int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    HWND window = CreateWindowExA(WS_EX_APPWINDOW, "MinimalWindow", "Minimal", WS_POPUP | WS_VISIBLE, x, y, w, h,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
