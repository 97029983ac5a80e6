// Shared by the control tests: a visible top-level test window that records what the controls
// send and post to it, the pump that delivers posted notifications, scripted mouse input and
// pixel reads from off-screen surfaces.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/Gdi.h"
#include "platform/Window.h"

namespace sona::test {

// One notification received by the recording window.
struct Received {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// A plain popup that records WM_COMMAND and the private WM_USER range. It stays hidden unless
// asked: under Wine without a window manager every shown top-level window costs seconds.
class RecordingWindow : public Window {
public:
    explicit RecordingWindow(bool visible = false, int x = 200, int y = 200, int w = 320, int h = 200) {
        const char* cls = RegisterWindowClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), SharedWhiteBrush());
        CreateEx(0, cls, "", WS_POPUP | (visible ? WS_VISIBLE : 0), x, y, w, h, nullptr, 0);
    }
    ~RecordingWindow() override { DestroyWindow(); }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COMMAND || (msg >= WM_USER && msg < 0x8000)) {
            received.push_back({msg, wp, lp});
            return 0;
        }
        return Window::WndProc(msg, wp, lp);
    }

    // How many messages of kind `msg` arrived.
    int Count(UINT msg) const {
        int n = 0;
        for (auto& r : received)
            if (r.msg == msg) ++n;
        return n;
    }

    std::vector<Received> received;
};

// Delivers everything posted to this thread so far.
inline void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// One scripted mouse message: `outside` sends it to another window (the pointer is elsewhere),
// as happens to a control without the capture when the button goes up off it.
struct MouseStep {
    UINT msg;
    int x, y;
    bool outside = false;
};

// Sends the steps to `control` (or to `elsewhere` for the outside ones), in order.
inline void Play(HWND control, HWND elsewhere, const std::vector<MouseStep>& steps) {
    for (auto& s : steps) {
        WPARAM keys = s.msg == WM_LBUTTONDOWN || (s.msg == WM_MOUSEMOVE && GetCapture() == control) ? MK_LBUTTON : 0;
        SendMessageA(s.outside ? elsewhere : control, s.msg, keys, PackPoint(s.x, s.y));
    }
}

// Puts the real pointer over the middle of `h`, so that the leave tracking of the controls does
// not report the pointer as gone.
inline void PointAt(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// A pixel of a surface as 0xRRGGBB (compatible surfaces through the DC, alpha surfaces directly,
// where the alpha byte is returned in the top byte).
inline DWORD PixelAt(const OffscreenSurface& s, int x, int y) {
    if (s.pixels()) return s.pixels()[y * s.width() + x];
    COLORREF c = GetPixel(s.dc(), x, y);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

inline BYTE AlphaAt(const OffscreenSurface& s, int x, int y) { return (BYTE)(PixelAt(s, x, y) >> 24); }

// Bitmap and PNG ids that name no resource: the controls leave those areas undrawn.
constexpr UINT kMissingResource = 9999;

}  // namespace sona::test
