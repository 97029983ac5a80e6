#include "controls/CVrnComboBox.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "controls/SkinButton.h"
#include "res/resource.h"

namespace sona {

namespace {
constexpr int kDropDownHeight = 160;
}

// The drop-down is a window of the desktop, not ours: it never goes with the combo's window.
CVrnComboBox::~CVrnComboBox() { DropDropDown(); }

void CVrnComboBox::DropDropDown() {
    if (!dropDown) return;
    if (dropDown->hwnd) {
        ShowWindow(dropDown->hwnd, SW_HIDE);
        dropDown->DestroyWindow();
    }
    dropDown.reset();
}

BOOL CVrnComboBox::Create(DWORD styleBits, const RECT& r, HWND parent, UINT id) {
    style = styleBits;
    const char* cls = RegisterWindowClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW));
    if (!CreateEx(0, cls, "", styleBits, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, id)) return FALSE;
    RECT rc = ClientRect();
    arrowRect = RECT{rc.right - 20, 0, rc.right, rc.bottom};
    RebuildBuffer();
    Redraw();
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Items

const std::string* CVrnComboBox::ItemAt(int index) const {
    if (index < 0 || index >= count) return nullptr;
    auto it = items.begin();
    std::advance(it, index);
    return &*it;
}

int CVrnComboBox::FirstEqual(const std::string& s) const {
    int i = 0;
    for (const std::string& item : items) {
        if (item == s) return i;
        i++;
    }
    return -1;
}

// Sorted combo boxes keep ascending byte order; a new string goes after its equals, which is
// where a stable sort of the whole list would put it.
int CVrnComboBox::AddString(const char* s) {
    std::string value = s ? s : "";
    auto where = items.end();
    if (style & CBS_SORT) where = std::upper_bound(items.begin(), items.end(), value);
    int index = (int)std::distance(items.begin(), where);
    items.insert(where, value);
    count++;
    return index;
}

// What the shown text names, as the system control answers from its edit text.
int CVrnComboBox::GetCurSel() const { return FirstEqual(text); }

int CVrnComboBox::SetCurSel(int index) {
    if (index == -1) {
        currentIndex = -1;
        text.clear();
        Redraw();
        return -1;
    }
    if (count == 0) {
        currentIndex = index;
        return -1;
    }
    const std::string* item = ItemAt(index);
    if (!item) return -1;
    currentIndex = index;
    text = *item;
    if (hwnd) SetWindowTextA(hwnd, text.c_str());
    Redraw();
    return index;
}

int CVrnComboBox::SelectString(const char* s) {
    int index = FirstEqual(s ? s : "");
    if (index < 0) return -1;
    return SetCurSel(index);
}

void CVrnComboBox::ResetContent() {
    items.clear();
    count = 0;
    currentIndex = -1;
    text.clear();
    if (hwnd) SetWindowTextA(hwnd, "");
    Redraw();
}

int CVrnComboBox::GetLBText(int index, std::string* out) const {
    const std::string* item = ItemAt(index);
    if (!item) return -1;
    if (out) *out = *item;
    return (int)item->size();
}

int CVrnComboBox::GetLBTextLen(int index) const {
    const std::string* item = ItemAt(index);
    return item ? (int)item->size() : -1;
}

// ---------------------------------------------------------------------------------------------
// Drop-down

void CVrnComboBox::Notify(WORD code) {
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    UINT id = (UINT)GetDlgCtrlID(hwnd);
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)hwnd);
}

void CVrnComboBox::Open() {
    if (!dropDown) {
        RECT w = WindowRect();
        RECT place{w.left, w.bottom, w.right, w.bottom + kDropDownHeight};
        auto made = std::make_unique<ComboDropDown>();
        if (!made->Create(hwnd, items, place)) return;
        dropDown = std::move(made);
        dropDown->MarkIndex(currentIndex);
        dropDown->SetListFont((HFONT)GetStockObject(DEFAULT_GUI_FONT));
        Notify(CBN_DROPDOWN);
        // The owner may have closed us while handling the notification.
        if (!dropDown) return;
    }
    ShowWindow(dropDown->hwnd, SW_SHOWNOACTIVATE);
    open = true;
    wheelSum = 0;
}

void CVrnComboBox::Close() {
    if (!open && !dropDown) return;
    if (dropDown) {
        if (dropDown->hwnd) {
            lastDropDownRect = dropDown->WindowRect();
            ShowWindow(dropDown->hwnd, SW_HIDE);
        }
        if (GetCapture() == dropDown->hwnd) ReleaseCapture();
    }
    open = false;
    DropDropDown();
    state = kStateNormal;
    Redraw();
    if (!selectionMade)
        Notify(CBN_SELENDCANCEL);
    else
        selectionMade = false;
    Notify(CBN_CLOSEUP);
}

// The owner sees SELENDOK, CLOSEUP and SELCHANGE in that order, even for the same item again.
void CVrnComboBox::Choose(int index) {
    const std::string* item = ItemAt(index);
    if (!item) return;
    text = *item;
    currentIndex = FirstEqual(text);
    SetWindowTextA(hwnd, text.c_str());
    selectionMade = true;
    Notify(CBN_SELENDOK);
    Redraw();
    Close();
    Redraw();
    Notify(CBN_SELCHANGE);
}

void CVrnComboBox::MarkFirstStartingWith(char letter) {
    char lower = (char)std::tolower((unsigned char)letter);
    int i = 0;
    for (const std::string& item : items) {
        if (!item.empty() && (char)std::tolower((unsigned char)item[0]) == lower) {
            if (open && dropDown) dropDown->MarkIndex(i);
            return;
        }
        i++;
    }
}

void CVrnComboBox::StepSelection(int delta) {
    int from = GetCurSel();
    int next = from < 0 ? (delta > 0 ? 0 : -1) : from + delta;
    const std::string* item = ItemAt(next);
    if (!item) return;
    currentIndex = next;
    text = *item;
    SetWindowTextA(hwnd, text.c_str());
    if (open && dropDown) dropDown->MarkIndex(next);
    Redraw();
    Notify(CBN_SELENDOK);
    Notify(CBN_SELCHANGE);
}

// ---------------------------------------------------------------------------------------------
// Drawing

void CVrnComboBox::RebuildBuffer() {
    if (!hwnd) return;
    RECT rc = ClientRect();
    WindowDC dc(hwnd);
    buffer.CreateCompatible(dc, rc.right, rc.bottom);
}

// Left cap, stretched middle and the arrow square of the shared combo skin, then the text.
void CVrnComboBox::Redraw() {
    if (!hwnd || !buffer) return;
    RECT rc = ClientRect();
    HDC mem = buffer.dc();
    bool enabled = IsWindowEnabled(hwnd) != FALSE;
    FillRect(mem, &rc, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_3DFACE));
    if (state == kStateNormal || state == kStateHover || state == kStatePressed) {
        Bitmap skin(LoadBitmapResource(IDB_COMBO_SKIN));
        if (skin) {
            MemoryDC src(mem, skin);
            int h = rc.bottom;
            StretchBlt(mem, 0, 0, 10, h, src, 0, 0, 10, 20, SRCCOPY);
            StretchBlt(mem, 10, 0, rc.right - 30, h, src, 10, 0, 19, 20, SRCCOPY);
            BitBlt(mem, rc.right - 20, 0, 20, 20, src, 140, 0, SRCCOPY);
        }
    }
    std::string shown = text;
    if (const std::string* item = ItemAt(currentIndex)) shown = *item;
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    SelectScope font(mem, GetStockObject(DEFAULT_GUI_FONT));
    RECT t = rc;
    InflateRect(&t, -1, -1);
    OffsetRect(&t, 2, 0);
    DrawTextA(mem, shown.c_str(), (int)shown.size(), &t, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    // The window shows it at its next paint.
    InvalidateRect(hwnd, nullptr, FALSE);
}

// ---------------------------------------------------------------------------------------------
// Messages

// Keys are taken before the dialog's own keyboard handling sees them.
BOOL CVrnComboBox::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd != hwnd) return FALSE;
    switch (msg->message) {
    case WM_CHAR: {
        char c = (char)msg->wParam;
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            MarkFirstStartingWith(c);
            return TRUE;
        }
        return FALSE;
    }
    case WM_KEYDOWN:
        switch (msg->wParam) {
        case VK_RETURN:
            if (open && dropDown) {
                int marked = dropDown->MarkedIndex();
                SendMessageA(hwnd, WM_COMBO_CHOOSE, (WPARAM)marked, 0);
            }
            return TRUE;
        case VK_ESCAPE:
            if (open) {
                Close();
                Redraw();
            }
            return TRUE;
        case VK_F4:
            SendMessageA(hwnd, WM_COMBO_TOGGLE, 0, 0);
            return TRUE;
        case VK_UP:
            StepSelection(-1);
            return TRUE;
        case VK_DOWN:
            StepSelection(1);
            return TRUE;
        }
        return FALSE;
    case WM_SYSKEYDOWN:
        if (msg->wParam == VK_DOWN || msg->wParam == VK_UP) {
            SendMessageA(hwnd, WM_COMBO_TOGGLE, 0, 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

LRESULT CVrnComboBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT painted;
    if (PaintFromBuffer(hwnd, msg, buffer, &painted)) return painted;
    switch (msg) {
    case CB_ADDSTRING: return AddString((const char*)lp);
    case CB_SETCURSEL: return SetCurSel((int)wp);
    case CB_GETCURSEL: return GetCurSel();
    case CB_SELECTSTRING: return SelectString((const char*)lp);
    case CB_GETCOUNT: return count;
    case CB_RESETCONTENT: ResetContent(); return CB_OKAY;
    case CB_GETLBTEXT: {
        const std::string* item = ItemAt((int)wp);
        if (!item) return CB_ERR;
        if (lp) std::memcpy((char*)lp, item->c_str(), item->size() + 1);
        return (LRESULT)item->size();
    }
    case CB_GETLBTEXTLEN: return GetLBTextLen((int)wp);
    case CB_GETTOPINDEX:
        return dropDown && dropDown->List().hwnd ? SendMessageA(dropDown->List().hwnd, LB_GETTOPINDEX, 0, 0) : CB_ERR;
    case CB_SETTOPINDEX:
        return dropDown && dropDown->List().hwnd ? SendMessageA(dropDown->List().hwnd, LB_SETTOPINDEX, wp, 0) : CB_ERR;
    case CB_GETDROPPEDSTATE: return open ? TRUE : FALSE;
    case WM_COMBO_CHOOSE:
        Choose((int)wp);
        return 0;
    case WM_COMBO_CLOSE:
        Close();
        return 0;
    case WM_COMBO_TOGGLE:
        Toggle();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(hwnd);
        state = kStatePressed;
        SendMessageA(hwnd, WM_COMBO_TOGGLE, 0, 0);
        Redraw();
        return 0;
    case WM_LBUTTONUP:
        if (state == kStatePressed) state = tracking ? kStateHover : kStateNormal;
        Redraw();
        return 0;
    case WM_MOUSEMOVE:
        if (!tracking) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd, 0};
            _TrackMouseEvent(&tme);
            tracking = true;
            if (state != kStatePressed) state = kStateHover;
            Redraw();
        }
        return 0;
    case WM_MOUSELEAVE:
        tracking = false;
        state = kStateNormal;
        Redraw();
        return 0;
    case WM_MOUSEWHEEL:
        if (open && dropDown) {
            wheelSum += (short)HIWORD(wp);
            if (wheelSum >= 120) {
                wheelSum = 0;
                dropDown->ScrollBy(-3);
            } else if (wheelSum < -119) {
                wheelSum = 0;
                dropDown->ScrollBy(3);
            }
        }
        return 0;
    case WM_ENABLE:
        Redraw();
        return 0;
    case WM_SETFOCUS:
        Redraw();
        Notify(CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS: {
        // Focus moving into our own drop-down (its list or bar) is not a loss of focus.
        HWND to = (HWND)wp;
        if (dropDown && to && (to == dropDown->hwnd || IsChild(dropDown->hwnd, to))) return 0;
        if (open) Close();
        Redraw();
        Notify(CBN_SELENDCANCEL);
        Notify(CBN_KILLFOCUS);
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SIZE:
        arrowRect = RECT{LOWORD(lp) - 20, 0, LOWORD(lp), HIWORD(lp)};
        RebuildBuffer();
        Redraw();
        return 0;
    case WM_DESTROY:
        if (dropDown) {
            DropDropDown();
            open = false;
        }
        return Default();
    }
    return Default();
}

}  // namespace sona
