#include "controls/ImageCommandButton.h"

#include "res/resource.h"
#include "store/Resources.h"

namespace sona {

ImageCommandButton::~ImageCommandButton() = default;

BOOL ImageCommandButton::Create(RECT r, HWND parent, UINT id) {
    commandId = id;
    const char* cls = RegisterWindowClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursor(nullptr, IDC_ARROW),
                                          SharedWhiteBrush());
    if (!CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, 0))
        return FALSE;
    RebuildSurface();
    return TRUE;
}

int ImageCommandButton::SetImages(UINT normal, UINT hover, UINT pressed, UINT disabled) {
    // The main window gives most states the same picture: each distinct resource is decoded once
    // and the states that share it point at the same image.
    const UINT ids[4] = {normal, hover, pressed, disabled};
    for (int i = 0; i < 4; i++) {
        images[i].reset();
        stateImage[i] = nullptr;
        for (int j = 0; j < i && !stateImage[i]; j++)
            if (ids[j] == ids[i]) stateImage[i] = stateImage[j];
        if (!stateImage[i]) {
            images[i] = LoadPng(ids[i]);
            stateImage[i] = images[i].get();
        }
    }
    Draw();
    return 1;
}

void ImageCommandButton::RebuildSurface() {
    if (!hwnd) return;
    RECT rc = ClientRect();
    WindowDC dc(hwnd);
    surface.CreateCompatible(dc, rc.right, rc.bottom);
}

// The band slice first, then the state's picture over it; its alpha lets the band show through.
void ImageCommandButton::Draw() {
    if (!hwnd || !surface) return;
    RECT rc = ClientRect();
    HDC mem = surface.dc();
    SetStretchBltMode(mem, COLORONCOLOR);
    Brush magenta(CreateSolidBrush(RGB(255, 0, 255)));
    FillRect(mem, &rc, magenta);
    // Every button shows the same slice of the band strip: load it once for all of them.
    static HBITMAP band = LoadBitmapResource(IDB_COMMAND_STRIP);
    if (band) {
        MemoryDC src(mem, band);
        BitBlt(mem, 0, 0, rc.right, rc.bottom, src, 0, 9, SRCCOPY);
    }
    int state = mouse.state;
    Gdiplus::Image* img = state == kStateHover     ? stateImage[1]
                          : state == kStatePressed  ? stateImage[2]
                          : state == kStateDisabled ? stateImage[3]
                                                    : stateImage[0];
    if (img) {
        Gdiplus::Graphics g(mem);
        g.DrawImage(img, Gdiplus::Rect(0, 0, rc.right, rc.bottom));
    }
    // The window shows it at its next paint.
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT ImageCommandButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSELEAVE: {
        PushButtonMouse::Outcome outcome = mouse.OnMessage(hwnd, msg);
        if (outcome == PushButtonMouse::kClicked && !PushButtonMouse::SendClick(hwnd, GetParent(hwnd), commandId)) return 0;
        if (outcome != PushButtonMouse::kNothing) Draw();
        return 0;
    }
    case WM_SIZE:
        RebuildSurface();
        Draw();
        return 0;
    case WM_PAINT: {
        PaintDC dc(hwnd);
        surface.BlitTo(dc);
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace sona
