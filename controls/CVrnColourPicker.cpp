#include "controls/CVrnColourPicker.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "platform/CommonDialogs.h"
#include "res/resource.h"

namespace sona {

namespace {

const COLORREF kPopupBack = RGB(200, 200, 210);
const COLORREF kGrey200 = RGB(200, 200, 200);

// Copies the bitmap at `src` (a DC holding it) as a stretched slice.
void Slice(HDC dest, int dx, int dy, int dw, int dh, HDC src, int sx, int sw) {
    StretchBlt(dest, dx, dy, dw, dh, src, sx, 0, sw, 20, SRCCOPY);
}

}  // namespace

// =============================================================================================
// ColourPopup

ColourPopup::~ColourPopup() = default;

bool ColourPopup::Create(POINT at, COLORREF initial, CVrnColourPicker* owner, const char* defText,
                         const char* custText) {
    picker = owner;
    pickerWindow = owner ? owner->hwnd : nullptr;
    initialColour = currentColour = initial;
    const char* cls = RegisterWindowClass(CS_CLASSDC | CS_SAVEBITS | CS_HREDRAW | CS_VREDRAW, nullptr,
                                          (HBRUSH)(COLOR_BTNFACE + 1));
    if (!CreateEx(0, cls, "", WS_VISIBLE | WS_POPUP, at.x, at.y, 100, 100, pickerWindow, 0)) return false;

    defaultText = defText ? defText : "";
    customText = custText ? custText : "";
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = 340;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &ncm, 0)) font.reset(CreateFontIndirectA(&ncm.lfMessageFont));

    struct {
        LOGPALETTE head;
        PALETTEENTRY more[kColourCount - 1];
    } pal{};
    pal.head.palVersion = 0x300;
    pal.head.palNumEntries = kColourCount;
    for (int i = 0; i < kColourCount; i++) {
        PALETTEENTRY& e = i == 0 ? pal.head.palPalEntry[0] : pal.more[i - 1];
        e.peRed = GetRValue(ColourTable[i].colour);
        e.peGreen = GetGValue(ColourTable[i].colour);
        e.peBlue = GetBValue(ColourTable[i].colour);
        e.peFlags = 0;
    }
    palette.reset(CreatePalette(&pal.head));

    LayOut(at);
    tooltip.Create(hwnd);
    for (int i = 0; i < kColourCount; i++) {
        GridRect c = layout.CellRect(i);
        tooltip.AddTool(hwnd, (UINT)(i + 1), RECT{c.left, c.top, c.right, c.bottom}, ColourTable[i].name);
    }
    chosenCell = ChosenCellFor(initial, layout.boxes);
    Redraw();
    SetCapture(hwnd);
    return true;
}

// Sizes the popup around the grid and its boxes, then keeps it on the screen: pushed left or
// right into view, and above the picker when it would run off the bottom.
void ColourPopup::LayOut(POINT at) {
    GridMetrics m;
    m.margin = GetSystemMetrics(SM_CXEDGE);
    m.cellSize = 18;
    GridBoxes boxes{!defaultText.empty(), !customText.empty()};
    if (boxes.hasDefault || boxes.hasCustom) {
        WindowDC dc(hwnd);
        SelectScope sel(dc, font ? (HGDIOBJ)font.get() : GetStockObject(DEFAULT_GUI_FONT));
        SIZE s{};
        if (boxes.hasDefault && GetTextExtentPoint32A(dc, defaultText.c_str(), (int)defaultText.size(), &s)) {
            m.defaultTextCx = s.cx;
            m.defaultTextCy = s.cy;
        }
        if (boxes.hasCustom && GetTextExtentPoint32A(dc, customText.c_str(), (int)customText.size(), &s)) {
            m.customTextCx = s.cx;
            m.customTextCy = s.cy;
        }
    }
    layout = LayOutGrid(m, boxes);
    int x = at.x, y = at.y;
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    if (x + layout.width > screenW) x = screenW - layout.width;
    if (x < 0) x = 0;
    if (y + layout.height > screenH) {
        RECT p{};
        if (pickerWindow) GetWindowRect(pickerWindow, &p);
        y = (pickerWindow ? p.top : y) - layout.height;
    }
    windowRect = RECT{x, y, x + layout.width, y + layout.height};
    MoveWindow(hwnd, x, y, layout.width, layout.height, TRUE);
    WindowDC dc(hwnd);
    buffer.CreateCompatible(dc, layout.width, layout.height);
}

void ColourPopup::DrawCell(HDC dc, int cell) {
    GridRect g = layout.CellRect(cell);
    RECT r{g.left, g.top, g.right, g.bottom};
    if (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) {
        SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    Brush back(CreateSolidBrush(kPopupBack));
    FillRect(dc, &r, back);
    if (cell == currentCell)
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    else if (cell == chosenCell)
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    int inset = layout.margin + 1;
    Brush fill(CreateSolidBrush(0x02000000 | ColourTable[cell].colour));
    Pen pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    SelectScope b(dc, fill), p(dc, pen);
    Rectangle(dc, r.left + inset, r.top + inset, r.right - inset, r.bottom - inset);
}

void ColourPopup::DrawBox(HDC dc, int cell) {
    GridRect g = layout.CellRect(cell);
    RECT r{g.left, g.top, g.right, g.bottom};
    Brush grey(CreateSolidBrush(kGrey200));
    if (cell == kCellCustomBox) {
        Pen line(CreatePen(PS_SOLID, 1, kGrey200));
        SelectScope p(dc, line);
        MoveToEx(dc, r.left, r.top - 1, nullptr);
        LineTo(dc, r.right, r.top - 1);
    }
    FillRect(dc, &r, grey);
    if (cell == currentCell)
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    else if (cell == chosenCell)
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    const std::string& caption = cell == kCellDefaultBox ? defaultText : customText;
    SelectScope f(dc, font ? (HGDIOBJ)font.get() : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dc, caption.c_str(), (int)caption.size(), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// The whole picture goes to the buffer first; the screen gets it in one copy.
void ColourPopup::Redraw() {
    if (!hwnd || !buffer) return;
    HDC dc = buffer.dc();
    RECT rc{0, 0, layout.width, layout.height};
    Brush back(CreateSolidBrush(kPopupBack));
    FillRect(dc, &rc, back);
    Brush frame(CreateSolidBrush(kGrey200));
    FrameRect(dc, &rc, frame);
    if (layout.boxes.hasDefault) DrawBox(dc, kCellDefaultBox);
    for (int i = 0; i < kColourCount; i++) DrawCell(dc, i);
    if (layout.boxes.hasCustom) DrawBox(dc, kCellCustomBox);
    // The window shows it at its next paint.
    InvalidateRect(hwnd, nullptr, FALSE);
}

// The highlight moves and the picker hears which colour is under the pointer.
void ColourPopup::MakeCurrent(int cell) {
    if (cell == currentCell) return;
    currentCell = cell;
    currentColour = CellColour(cell, initialColour);
    Redraw();
    if (pickerWindow) SendMessageA(pickerWindow, WM_COLOUR_CHANGED, (WPARAM)currentColour, 0);
}

bool ColourPopup::OnKeyDown(WPARAM key) {
    switch (key) {
    case VK_DOWN: MakeCurrent(NextCell(currentCell, GridKey::kDown, layout.boxes)); return true;
    case VK_UP: MakeCurrent(NextCell(currentCell, GridKey::kUp, layout.boxes)); return true;
    case VK_RIGHT: MakeCurrent(NextCell(currentCell, GridKey::kRight, layout.boxes)); return true;
    case VK_LEFT: MakeCurrent(NextCell(currentCell, GridKey::kLeft, layout.boxes)); return true;
    case VK_ESCAPE:
        currentColour = initialColour;
        EndSelection(WM_COLOUR_CANCELLED);
        return true;
    case VK_RETURN:
    case VK_SPACE: EndSelection(WM_COLOUR_CHOSEN); return true;
    }
    return false;
}

// The custom box asks the system colour dialog first; cancelling it cancels the whole choice.
// The popup stays open while that dialog runs.
void ColourPopup::EndSelection(UINT message) {
    if (ending) return;
    ending = true;
    ReleaseCapture();
    if (message == WM_COLOUR_CHOSEN && currentCell == kCellCustomBox) {
        inDialog = true;
        COLORREF chosen = 0;
        if (RunColourDialog(hwnd, initialColour, CC_FULLOPEN | CC_ANYCOLOR, &chosen))
            currentColour = chosen;
        else
            message = WM_COLOUR_CANCELLED;
        inDialog = false;
    }
    if (message == WM_COLOUR_CANCELLED) currentColour = initialColour;
    HWND self = hwnd;
    if (pickerWindow) SendMessageA(pickerWindow, message, (WPARAM)currentColour, 0);
    if (!inDialog && FromHandle(self) == this) ::DestroyWindow(self);
}

// Keys reach the popup here, before any window above it could swallow Esc or Enter.
BOOL ColourPopup::PreTranslateMessage(MSG* msg) {
    tooltip.RelayEvent(msg);
    if (!inDialog && !ending && GetCapture() != hwnd) SetCapture(hwnd);
    if (msg->hwnd == hwnd && msg->message == WM_KEYDOWN) return OnKeyDown(msg->wParam) ? TRUE : FALSE;
    return FALSE;
}

LRESULT ColourPopup::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT painted;
    if (PaintFromBuffer(hwnd, msg, buffer, &painted)) return painted;
    switch (msg) {
    case WM_MOUSEMOVE: {
        int cell = layout.HitTest((short)LOWORD(lp), (short)HIWORD(lp));
        if (cell != kCellNone) MakeCurrent(cell);
        return 0;
    }
    case WM_LBUTTONUP: {
        POINT pt{(short)LOWORD(lp), (short)HIWORD(lp)};
        ClientToScreen(hwnd, &pt);
        RECT now = WindowRect();
        EndSelection(PtInRect(&now, pt) ? WM_COLOUR_CHOSEN : WM_COLOUR_CANCELLED);
        return 0;
    }
    case WM_KEYDOWN:
        if (OnKeyDown(wp)) return 0;
        return Default();
    case WM_KILLFOCUS:
        if (GetCapture() == hwnd) ReleaseCapture();
        return Default();
    case WM_ACTIVATEAPP:
        if (!wp && !inDialog) EndSelection(WM_COLOUR_CANCELLED);
        return 0;
    case WM_QUERYNEWPALETTE:
        Redraw();
        return TRUE;
    case WM_PALETTECHANGED:
        if ((HWND)wp != hwnd) Redraw();
        return 0;
    }
    return Default();
}

// =============================================================================================
// CVrnColourPicker

CVrnColourPicker::CVrnColourPicker()
    : backgroundColour(GetSysColor(COLOR_3DFACE)), textColour(GetSysColor(COLOR_BTNTEXT)) {}

CVrnColourPicker::~CVrnColourPicker() {
    // Nothing may report to a picker that is going away.
    HWND open = popupWindow;
    popupWindow = nullptr;
    if (open && FromHandle(open)) ::DestroyWindow(open);
}

BOOL CVrnColourPicker::Create(const char* caption, DWORD style, const RECT& r, HWND parent, UINT id) {
    const char* cls = RegisterWindowClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW));
    if (!CreateEx(0, cls, caption ? caption : "", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, id))
        return FALSE;
    FitSize();
    RebuildBuffer();
    Redraw();
    return TRUE;
}

// Never smaller than a scroll-bar thumb plus its edges, with the arrow area at the right.
void CVrnColourPicker::FitSize() {
    int cxEdge = GetSystemMetrics(SM_CXEDGE), cyEdge = GetSystemMetrics(SM_CYEDGE);
    int s = std::max({GetSystemMetrics(SM_CXHTHUMB), 5 * cxEdge, GetSystemMetrics(SM_CYVTHUMB), 5 * cyEdge});
    RECT w = WindowRect();
    HWND parent = GetParent(hwnd);
    if (parent) MapWindowPoints(nullptr, parent, (POINT*)&w, 2);
    int width = std::max((int)(w.right - w.left), 2 * (s + cxEdge));
    int height = std::max((int)(w.bottom - w.top), s + 2 * cyEdge);
    if (width != w.right - w.left || height != w.bottom - w.top) MoveWindow(hwnd, w.left, w.top, width, height, TRUE);
    RECT rc = ClientRect();
    arrowRect = RECT{rc.right - s - cxEdge, rc.top + cyEdge, rc.right - cxEdge, rc.bottom - cyEdge};
}

void CVrnColourPicker::RebuildBuffer() {
    if (!hwnd) return;
    RECT rc = ClientRect();
    WindowDC dc(hwnd);
    buffer.CreateCompatible(dc, rc.right, rc.bottom);
}

void CVrnColourPicker::SetColour(COLORREF colour) {
    if (mode == kTextMode)
        SetTextColour(colour);
    else
        SetBackgroundColour(colour);
}

void CVrnColourPicker::SetBackgroundColour(COLORREF colour) {
    backgroundColour = colour;
    if (hwnd) {
        Redraw();
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    }
}

void CVrnColourPicker::SetTextColour(COLORREF colour) {
    textColour = colour;
    if (hwnd) {
        Redraw();
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    }
}

// Three-part skin over the full height, then the swatch; the caption is not drawn.
void CVrnColourPicker::Redraw() {
    if (!hwnd || !buffer) return;
    RECT rc = ClientRect();
    HDC mem = buffer.dc();
    FillRect(mem, &rc, GetSysColorBrush(COLOR_3DFACE));
    Bitmap skin(LoadBitmapResource(IDB_COMBO_SKIN));
    if (skin) {
        MemoryDC src(mem, skin);
        int h = rc.bottom - rc.top;
        Slice(mem, 0, 0, 10, h, src, 0, 10);
        Slice(mem, 10, 0, rc.right - 30, h, src, 10, 50);
        Slice(mem, rc.right - 20, 0, 20, h, src, 140, 20);
    }
    RECT swatch{rc.left + 20, rc.top + 5, rc.right - 40, rc.bottom - 5};
    if (swatch.right > swatch.left && swatch.bottom > swatch.top) {
        Brush fill(CreateSolidBrush(textColour & 0x00FFFFFF));
        FillRect(mem, &swatch, fill);
    }
    // The window shows it at its next paint.
    InvalidateRect(hwnd, nullptr, FALSE);
}

void CVrnColourPicker::NotifyParent(UINT msg, COLORREF colour) {
    HWND parent = GetParent(hwnd);
    if (parent) SendMessageA(parent, msg, (WPARAM)colour, (LPARAM)GetDlgCtrlID(hwnd));
}

// The popup opens under the picker's bottom-left corner.
void CVrnColourPicker::DropDown() {
    popupActive = true;
    RECT w = WindowRect();
    ColourPopup* made = new ColourPopup;
    if (made->Create(POINT{w.left, w.bottom}, GetColour(), this, defaultText.c_str(), customText.c_str())) {
        popupWindow = made->hwnd;
    } else {
        delete made;
    }
    NotifyParent(WM_COLOUR_DROPPED, GetColour());
}

LRESULT CVrnColourPicker::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT painted;
    if (PaintFromBuffer(hwnd, msg, buffer, &painted)) return painted;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pressed = true;
        SetFocus(hwnd);
        return 0;
    case WM_LBUTTONUP: {
        bool wasPressed = pressed;
        pressed = false;
        POINT pt{(short)LOWORD(lp), (short)HIWORD(lp)};
        RECT rc = ClientRect();
        if (wasPressed && PtInRect(&rc, pt) && !Popup()) DropDown();
        return 0;
    }
    case WM_KEYDOWN:
        if (wp == VK_SPACE && !Popup()) {
            DropDown();
            return 0;
        }
        return Default();
    case WM_COLOUR_CHOSEN:
    case WM_COLOUR_CANCELLED:
        popupActive = false;
        popupWindow = nullptr;
        SetColour((COLORREF)wp);
        NotifyParent(WM_COLOUR_CLOSED, (COLORREF)wp);
        NotifyParent(msg, (COLORREF)wp);
        return 0;
    case WM_COLOUR_CHANGED:
        if (trackSelection) SetColour((COLORREF)wp);
        NotifyParent(WM_COLOUR_CHANGED, (COLORREF)wp);
        return 0;
    case WM_SIZE:
        RebuildBuffer();
        Redraw();
        return 0;
    case WM_ENABLE:
        Redraw();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    }
    return Default();
}

}  // namespace sona
