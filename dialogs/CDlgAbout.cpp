#include "dialogs/CDlgAbout.h"

#include "res/resource.h"
#include "platform/Text.h"
#include "store/DataFolder.h"

namespace sona {

namespace {
const COLORREF kBackground = RGB(230, 230, 230);
// Under the credits line, in its grey, over the picture's empty lower edge.
const RECT kPlaceRect{108, 101, 338, 115};
const COLORREF kPlaceColour = RGB(150, 160, 172);
}  // namespace

// Nothing is created until Create; the template is the program's empty About template.
CDlgAbout::CDlgAbout() : Dialog(IDD_ABOUT) {}

CDlgAbout::~CDlgAbout() = default;

// Modeless and owned by the main window, so it stays above it and goes with it.
bool CDlgAbout::Create(HWND parent) { return CreateModeless(parent); }

// Centres on the owner's outer rectangle, the screen's work area when there is no usable owner,
// and keeps the whole window on the work area either way.
void CDlgAbout::CentreOnOwner() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT area = work;
    HWND owner = GetWindow(hwnd, GW_OWNER);
    // The owner may still be hidden while it initialises; its rectangle is already final then.
    if (owner && !IsIconic(owner)) GetWindowRect(owner, &area);
    RECT me = WindowRect();
    int w = me.right - me.left, h = me.bottom - me.top;
    int x = area.left + ((area.right - area.left) - w) / 2;
    int y = area.top + ((area.bottom - area.top) - h) / 2;
    if (x + w > work.right) x = work.right - w;
    if (y + h > work.bottom) y = work.bottom - h;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Grey first, so a missing picture still leaves a clean card behind the close button.
void CDlgAbout::DrawPicture() {
    if (!surface) return;
    RECT all{0, 0, surface.width(), surface.height()};
    RECT win = WindowRect();
    OffsetRect(&win, -win.left, -win.top);
    UnionRect(&all, &all, &win);
    Brush grey(CreateSolidBrush(kBackground));
    FillRect(surface.dc(), &all, grey);
    Bitmap picture(LoadBitmapResource(IDB_ABOUT_PICTURE));
    if (picture) {
        MemoryDC src(surface.dc(), picture);
        if (src) BitBlt(surface.dc(), 0, 0, kWidth, kHeight, src, 0, 0, SRCCOPY);
    }
}

// Turns the empty template into the finished card: shape, size, button, picture, topmost.
BOOL CDlgAbout::OnInitDialog() {
    Dialog::OnInitDialog();
    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    SetWindowLongA(hwnd, GWL_STYLE, (style & ~WS_CAPTION) | WS_MINIMIZEBOX);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    MoveWindow(hwnd, 0, 0, kWidth, kHeight, FALSE);
    CentreOnOwner();

    // The system owns the region once it is set.
    HRGN rgn = CreateRoundRectRgn(0, 0, kWidth, kHeight, 16, 16);
    if (rgn && !SetWindowRgn(hwnd, rgn, TRUE)) DeleteObject(rgn);

    RECT client = ClientRect();
    closeButton.Create(RECT{0, 0, 0, 0}, hwnd, kCloseCommand);
    closeButton.SetBitmaps(IDB_ABOUT_CLOSE, IDB_ABOUT_CLOSE_HOVER, IDB_ABOUT_CLOSE_PRESSED, IDB_ABOUT_CLOSE);
    if (closeButton.hwnd)
        MoveWindow(closeButton.hwnd, client.right - 23, 7, 11, 11, TRUE);

    // Where the desks are kept: beside the program, or the per-user folder when that cannot be
    // written. A line of its own over the picture, so the picture itself stays as it is.
    placeText = GetDataFolder();
    placeFont.reset(CreateFontA(-10, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma"));
    placeLine = CreateWindowExW(0, L"STATIC", Utf8ToWide("Desks: " + placeText).c_str(),
                                WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, kPlaceRect.left, kPlaceRect.top,
                                kPlaceRect.right - kPlaceRect.left, kPlaceRect.bottom - kPlaceRect.top, hwnd,
                                (HMENU)(UINT_PTR)kPlaceLine, GetModuleHandleA(nullptr), nullptr);

    {
        WindowDC dc(hwnd);
        surface.CreateCompatible(dc, client.right - client.left, client.bottom - client.top);
        DrawPicture();
    }
    InvalidateRect(hwnd, nullptr, FALSE);

    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

// The picture beneath, then the folder, shortened in its middle when it is too long to fit.
void CDlgAbout::DrawPlaceLine(const DRAWITEMSTRUCT& item) {
    RECT r = item.rcItem;
    if (surface)
        BitBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, surface.dc(), kPlaceRect.left,
               kPlaceRect.top, SRCCOPY);
    std::wstring text = Utf8ToWide("Desks: " + placeText);
    HGDIOBJ old = SelectObject(item.hDC, placeFont ? (HGDIOBJ)placeFont.get() : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, kPlaceColour);
    DrawTextW(item.hDC, &text[0], (int)text.size(), &r,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    SelectObject(item.hDC, old);
}

// Enter and Esc never reach the dialog manager: Enter does nothing, Esc only hides.
BOOL CDlgAbout::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && hwnd && (msg->hwnd == hwnd || IsChild(hwnd, msg->hwnd))) {
        if (msg->wParam == VK_RETURN) return TRUE;
        if (msg->wParam == VK_ESCAPE) {
            ShowWindow(hwnd, SW_HIDE);
            return TRUE;
        }
    }
    return Dialog::PreTranslateMessage(msg);
}

// Paint only copies the pre-drawn picture; the whole card is a drag handle.
LRESULT CDlgAbout::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT painted;
    if (PaintFromBuffer(hwnd, msg, surface, &painted)) return painted;
    switch (msg) {
    case WM_LBUTTONDOWN: {
        int x = (short)LOWORD(lp), y = (short)HIWORD(lp);
        Post(WM_NCLBUTTONDOWN, HTCAPTION, PackPoint(x, y));
        return Default();
    }
    case WM_COMMAND:
        if (LOWORD(wp) == kCloseCommand && HIWORD(wp) == 0) {
            ShowWindow(hwnd, SW_HIDE);
            return 0;
        }
        break;
    case WM_DRAWITEM:
        if (wp == kPlaceLine) {
            DrawPlaceLine(*(const DRAWITEMSTRUCT*)lp);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        surface.Reset();
        placeLine = nullptr;
        return Default();
    }
    return Dialog::WndProc(msg, wp, lp);
}

}  // namespace sona
