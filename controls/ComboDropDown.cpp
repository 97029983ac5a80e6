#include "controls/ComboDropDown.h"

#include <algorithm>


namespace sona {

namespace {

// The drop-down windows' one background brush, kept for the life of the process.
HBRUSH DropDownBrush() {
    static HBRUSH brush = CreateSolidBrush(RGB(200, 200, 210));
    return brush;
}

// Fixed row height of the list: the GUI font's line plus a little air.
int RowHeight() {
    HDC dc = GetDC(nullptr);
    TEXTMETRICA tm{};
    {
        SelectScope font(dc, GetStockObject(DEFAULT_GUI_FONT));
        GetTextMetricsA(dc, &tm);
    }
    ReleaseDC(nullptr, dc);
    return tm.tmHeight + 3;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// DropDownList

DropDownList::~DropDownList() = default;

BOOL DropDownList::Create(const RECT& r, HWND parent, UINT id, HWND comboWindow, SkinScrollBar* scrollBar) {
    combo = comboWindow;
    bar = scrollBar;
    return CreateEx(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT, r.left,
                    r.top, r.right - r.left, r.bottom - r.top, parent, id);
}

int DropDownList::ItemHeight() const {
    int h = hwnd ? (int)SendMessageA(hwnd, LB_GETITEMHEIGHT, 0, 0) : 0;
    return h > 0 ? h : 1;
}

int DropDownList::TopIndex() const { return hwnd ? (int)SendMessageA(hwnd, LB_GETTOPINDEX, 0, 0) : 0; }

const ComboItem* DropDownList::ItemAt(int index) const {
    int count = (int)SendMessageA(hwnd, LB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count) return nullptr;
    LRESULT data = SendMessageA(hwnd, LB_GETITEMDATA, (WPARAM)index, 0);
    if (data == LB_ERR) return nullptr;
    return (const ComboItem*)data;
}

// The bar shows where the list is whenever the list has scrolled by itself.
void DropDownList::FollowTopIndex() {
    int top = TopIndex();
    if (top != lastTopIndex) {
        lastTopIndex = top;
        if (bar && bar->hwnd) bar->SetPosition(top);
    }
}

void DropDownList::SelectIndex(int index) {
    int count = (int)SendMessageA(hwnd, LB_GETCOUNT, 0, 0);
    if (count <= 0) return;
    int current = (int)SendMessageA(hwnd, LB_GETCURSEL, 0, 0);
    int step = index < current ? -1 : 1;
    int i = index;
    while (i >= 0 && i < count && ItemAt(i) && ItemAt(i)->unselectable) i += step;
    const ComboItem* item = ItemAt(i);
    if (!item || item->unselectable) return;
    SendMessageA(hwnd, LB_SETCURSEL, (WPARAM)i, 0);
    FollowTopIndex();
}

LRESULT DropDownList::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        LRESULT r = Default();
        if (r == -1) return -1;
        SendMessageA(hwnd, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
        return r;
    }
    case WM_MOUSEMOVE: {
        int y = (short)HIWORD(lp);
        int index = TopIndex() + (y >= 0 ? y / ItemHeight() : -1);
        const ComboItem* item = ItemAt(index);
        if (item && !item->unselectable && index != (int)SendMessageA(hwnd, LB_GETCURSEL, 0, 0))
            SelectIndex(index);
        FollowTopIndex();
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        int y = (short)HIWORD(lp);
        int index = TopIndex() + (y >= 0 ? y / ItemHeight() : -1);
        const ComboItem* item = ItemAt(index);
        if (item && item->unselectable) return 0;
        int current = (int)SendMessageA(hwnd, LB_GETCURSEL, 0, 0);
        const ComboItem* chosen = ItemAt(current);
        if (chosen && !chosen->unselectable) PostMessageA(combo, WM_COMBO_CHOOSE, (WPARAM)current, 0);
        ReleaseCapture();
        PostMessageA(combo, WM_COMBO_CLOSE, 0, 0);
        return 0;
    }
    case WM_LBUTTONUP:
        return 0;
    case WM_DROPDOWN_RELEASE_CAPTURE:
        ReleaseCapture();
        return 0;
    }
    return Default();
}

// ---------------------------------------------------------------------------------------------
// ComboDropDown

ComboDropDown::~ComboDropDown() {
    if (hwnd && GetCapture() == hwnd) ReleaseCapture();
}

BOOL ComboDropDown::Create(HWND comboWindow, const std::list<std::string>& source, const RECT& r) {
    combo = comboWindow;
    items.clear();
    for (const std::string& s : source) items.push_back(ComboItem{s, 0});
    const char* cls = RegisterWindowClass(CS_CLASSDC | CS_SAVEBITS | CS_HREDRAW | CS_VREDRAW, nullptr, DropDownBrush());
    if (!CreateEx(0, cls, "", 0x40801001, r.left, r.top, r.right - r.left, r.bottom - r.top, GetDesktopWindow(), 0))
        return FALSE;
    RECT client = ClientRect();
    barRect = RECT{client.right - ScrollModel::kWidth, 0, client.right, client.bottom};
    listRect = RECT{0, 0, client.right - ScrollModel::kWidth, client.bottom};
    bar.Create(barRect, hwnd, kBarId);
    bar.SetLineSize(20);
    ShowWindow(bar.hwnd, SW_SHOW);
    list.Create(listRect, hwnd, kListId, combo, &bar);
    ShowWindow(list.hwnd, SW_SHOW);
    for (ComboItem& item : items) SendMessageA(list.hwnd, LB_ADDSTRING, 0, (LPARAM)&item);
    AttachListToBar();
    SetCapture(hwnd);
    return TRUE;
}

// The bar appears only when the list holds more than fits.
void ComboDropDown::AttachListToBar() {
    bar.AttachList(list.hwnd);
    int itemHeight = list.ItemHeight();
    int fits = (listRect.bottom - listRect.top) / itemHeight;
    int range = ScrollModel::RangeFor((int)items.size(), fits);
    if (range < 1) {
        ShowWindow(bar.hwnd, SW_HIDE);
    } else {
        bar.SetRange(range);
        bar.SetPosition(list.TopIndex());
        ShowWindow(bar.hwnd, SW_SHOW);
    }
    bar.SetLineSize(itemHeight);
}

void ComboDropDown::MarkIndex(int index) {
    if (!list.hwnd) return;
    SendMessageA(list.hwnd, LB_SETCURSEL, (WPARAM)index, 0);
    if (bar.hwnd) bar.SetPosition(list.TopIndex());
}

int ComboDropDown::MarkedIndex() const { return list.hwnd ? (int)SendMessageA(list.hwnd, LB_GETCURSEL, 0, 0) : -1; }

void ComboDropDown::ScrollBy(int delta) {
    if (!list.hwnd) return;
    int top = list.TopIndex() + delta;
    top = std::max(top, 0);
    top = std::min(top, (int)items.size());
    SendMessageA(list.hwnd, LB_SETTOPINDEX, (WPARAM)top, 0);
    if (bar.hwnd) bar.SetPosition(list.TopIndex());
}

void ComboDropDown::SetListFont(HFONT font) {
    if (list.hwnd) SendMessageA(list.hwnd, WM_SETFONT, (WPARAM)font, TRUE);
}

void ComboDropDown::DrawItem(const DRAWITEMSTRUCT* dis) {
    if ((int)dis->itemID < 0) return;
    const ComboItem* item = (const ComboItem*)dis->itemData;
    if (!item) return;
    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    HDC dc = dis->hDC;
    FillRect(dc, &dis->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    COLORREF text = item->unselectable ? GetSysColor(COLOR_GRAYTEXT)
                    : selected        ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                      : GetSysColor(COLOR_WINDOWTEXT);
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);
    SelectScope font(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT r = dis->rcItem;
    r.left += 2;
    DrawTextA(dc, item->text.c_str(), (int)item->text.size(), &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

// Mouse messages arrive here because of the capture; the list and the bar get theirs in their
// own coordinates, and a press anywhere else ends the drop-down.
bool ComboDropDown::RouteMouse(UINT msg, WPARAM wp, LPARAM lp) {
    POINT pt{(short)LOWORD(lp), (short)HIWORD(lp)};
    bool inList = PtInRect(&listRect, pt) != FALSE;
    bool inStrip = PtInRect(&barRect, pt) != FALSE;
    bool inBar = inStrip && IsWindowVisible(bar.hwnd);
    HWND target = nullptr;
    if (msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        if (inBar)
            target = bar.hwnd;
        else if (inList)
            target = list.hwnd;
        else if (inStrip)
            return true;  // a short list's empty strip is still part of the drop-down
        else if (msg != WM_MOUSEMOVE) {
            PostMessageA(combo, WM_COMBO_CLOSE, 0, 0);
            return true;
        }
    } else if (msg == WM_LBUTTONUP && inBar) {
        target = bar.hwnd;
    }
    if (!target) return true;
    SetFocus(target);
    MapWindowPoints(hwnd, target, &pt, 1);
    SendMessageA(target, msg, wp, PackPoint(pt.x, pt.y));
    return true;
}

LRESULT ComboDropDown::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        LRESULT r = Default();
        if (r == -1) return -1;
        SetWindowLongA(hwnd, GWL_EXSTYLE, GetWindowLongA(hwnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
        CREATESTRUCTA* cs = (CREATESTRUCTA*)lp;
        SetWindowPos(hwnd, HWND_TOPMOST, cs->x, cs->y, cs->cx, cs->cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
        return r;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        RouteMouse(msg, wp, lp);
        return 0;
    case WM_DROPDOWN_RECAPTURE:
        SetCapture(hwnd);
        return 0;
    case WM_SCROLL_ACTION:
        return 0;
    case WM_ACTIVATEAPP:
        if (!wp) PostMessageA(combo, WM_COMBO_CLOSE, 0, 0);
        return Default();
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* mis = (MEASUREITEMSTRUCT*)lp;
        mis->itemHeight = RowHeight();
        return TRUE;
    }
    case WM_DRAWITEM:
        DrawItem((const DRAWITEMSTRUCT*)lp);
        return TRUE;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    }
    return Default();
}

}  // namespace sona
