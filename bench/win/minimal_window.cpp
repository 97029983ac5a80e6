// The start-up baseline: a plain Win32 program that only opens an 800x500 window and paints it.
#include <windows.h>

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
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "MinimalWindow";
    RegisterClassA(&wc);
    int x = (GetSystemMetrics(SM_CXSCREEN) - 800) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - 500) / 2;
    HWND h = CreateWindowExA(WS_EX_APPWINDOW, "MinimalWindow", "Minimal", WS_POPUP | WS_VISIBLE, x, y, 800, 500,
                             nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(h);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
