#include "controls/CMstMenu.h"

#include <cstddef>
#include <map>

namespace sona {

namespace {

int liveEntries = 0;

// Menu handles of live CMstMenu objects: how submenus are recognised and how WM_DRAWITEM, which
// names only the menu handle, finds its menu.
std::map<HMENU, CMstMenu*>& MenuRegistry() {
    static std::map<HMENU, CMstMenu*> registry;
    return registry;
}

// The menu being tracked, which measures entries (WM_MEASUREITEM does not name the menu).
CMstMenu* trackedMenu = nullptr;

// While Track runs, the target window's procedure is chained behind this one.
HWND routedTarget = nullptr;
WNDPROC routedPrevious = nullptr;

LRESULT CALLBACK RouteOwnerDraw(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_MEASUREITEM && CMstMenu::HandleMeasureItem(lp)) return TRUE;
    if (msg == WM_DRAWITEM && CMstMenu::HandleDrawItem(lp)) return TRUE;
    return CallWindowProcA(routedPrevious, h, msg, wp, lp);
}

// The LOGFONT of the system menu font. The structure size is the one every Windows version
// accepts (without the Vista padded-border field), so the call never fails for its size.
LOGFONTA MenuLogFont() {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) return ncm.lfMenuFont;
    LOGFONTA lf{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    return lf;
}

}  // namespace

MenuEntry::MenuEntry(UINT id, const char* label, int h) : commandId(id), text(label ? label : ""), height(h) {
    ++liveEntries;
}

// Frees the icon if an entry ever gets one; the text goes with the object.
MenuEntry::~MenuEntry() {
    if (icon) DestroyIcon(icon);
    marker = 0;
    --liveEntries;
}

MenuEntry* MenuEntry::FromItemData(ULONG_PTR data) {
    auto* entry = reinterpret_cast<MenuEntry*>(data);
    return entry && entry->marker == kMarker ? entry : nullptr;
}

int MenuEntry::LiveCount() { return liveEntries; }

// The colours are read once: a menu lives only while it is shown.
CMstMenu::CMstMenu()
    : backgroundColour(RGB(234, 235, 237)),
      highlightColour(GetSysColor(COLOR_HIGHLIGHT)),
      textColour(GetSysColor(COLOR_MENUTEXT)),
      highlightTextColour(GetSysColor(COLOR_HIGHLIGHTTEXT)),
      grayTextColour(GetSysColor(COLOR_GRAYTEXT)) {
    LOGFONTA lf = MenuLogFont();
    menuFont = CreateFontIndirectA(&lf);
    menu = CreatePopupMenu();
    if (menu) MenuRegistry()[menu] = this;
}

// Frees every entry and submenu the menu was given, then the font and the menu itself.
CMstMenu::~CMstMenu() {
    if (menu) {
        MenuRegistry().erase(menu);
        int count = GetMenuItemCount(menu);
        for (int i = 0; i < count; ++i) {
            MENUITEMINFOA mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_TYPE | MIIM_DATA | MIIM_SUBMENU;
            if (!GetMenuItemInfoA(menu, i, TRUE, &mii)) continue;
            if (mii.fType & MFT_OWNERDRAW) delete MenuEntry::FromItemData(mii.dwItemData);
            if (CMstMenu* sub = mii.hSubMenu ? FromHandle(mii.hSubMenu) : nullptr) {
                // Unhook it first so that DestroyMenu below does not destroy it a second time.
                MENUITEMINFOA unhook{};
                unhook.cbSize = sizeof unhook;
                unhook.fMask = MIIM_SUBMENU;
                SetMenuItemInfoA(menu, i, TRUE, &unhook);
                delete sub;
            }
        }
    }
    if (trackedMenu == this) trackedMenu = nullptr;
    if (menuFont) DeleteObject(menuFont);
    if (menu) DestroyMenu(menu);
}

CMstMenu* CMstMenu::FromHandle(HMENU h) {
    auto& registry = MenuRegistry();
    auto it = registry.find(h);
    return it == registry.end() ? nullptr : it->second;
}

// Pending breaks apply to exactly one entry.
BOOL CMstMenu::AppendEntry(UINT flags, MenuEntry* entry, const char* /*accelerator*/) {
    flags |= MF_OWNERDRAW;
    if (pendingColumnBreak) flags |= MF_MENUBREAK;
    if (pendingBarBreak) flags |= MF_MENUBARBREAK;
    pendingColumnBreak = pendingBarBreak = false;
    return AppendMenuA(menu, flags, entry ? entry->commandId : 0, (LPCSTR)entry);
}

BOOL CMstMenu::AppendSeparator() {
    pendingColumnBreak = pendingBarBreak = false;
    auto* entry = new MenuEntry(0, "", 16);
    entry->separator = true;
    return AppendMenuA(menu, MF_OWNERDRAW | MF_SEPARATOR, 0, (LPCSTR)entry);
}

BOOL CMstMenu::AppendSubMenu(UINT flags, CMstMenu* submenu, MenuEntry* entry) {
    if (!submenu || !submenu->menu) return FALSE;
    flags |= MF_OWNERDRAW | MF_POPUP;
    if (pendingColumnBreak) flags |= MF_MENUBREAK;
    if (pendingBarBreak) flags |= MF_MENUBARBREAK;
    pendingColumnBreak = pendingBarBreak = false;
    return AppendMenuA(menu, flags, (UINT_PTR)submenu->menu, (LPCSTR)entry);
}

void CMstMenu::BreakColumn(bool bar) {
    if (bar)
        pendingBarBreak = true;
    else
        pendingColumnBreak = true;
}

// The system sends WM_MEASUREITEM and WM_DRAWITEM to the window that tracks the menu; chaining
// a small procedure in front of the target's for the length of the call lets the target stay the
// owner (it still gets the menu notifications and the posted WM_COMMAND) without knowing about us.
UINT CMstMenu::Track(HWND target, POINT screen, UINT flags) {
    if (!menu || !target || routedTarget) return 0;
    CMstMenu* savedTracked = trackedMenu;
    trackedMenu = this;
    routedTarget = target;
    routedPrevious = (WNDPROC)SetWindowLongPtrA(target, GWLP_WNDPROC, (LONG_PTR)RouteOwnerDraw);
    UINT result = (UINT)TrackPopupMenu(menu, flags, screen.x, screen.y, 0, target, nullptr);
    if (::IsWindow(target) && (WNDPROC)GetWindowLongPtrA(target, GWLP_WNDPROC) == RouteOwnerDraw)
        SetWindowLongPtrA(target, GWLP_WNDPROC, (LONG_PTR)routedPrevious);
    routedTarget = nullptr;
    routedPrevious = nullptr;
    trackedMenu = savedTracked;
    return result;
}

BOOL CMstMenu::HandleMeasureItem(LPARAM lp) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
    if (!mis || mis->CtlType != ODT_MENU || !MenuEntry::FromItemData(mis->itemData)) return FALSE;
    CMstMenu* measurer = trackedMenu;
    if (!measurer && !MenuRegistry().empty()) measurer = MenuRegistry().begin()->second;
    if (!measurer) return FALSE;
    measurer->MeasureItem(mis);
    return TRUE;
}

BOOL CMstMenu::HandleDrawItem(LPARAM lp) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    if (!dis || dis->CtlType != ODT_MENU || !MenuEntry::FromItemData(dis->itemData)) return FALSE;
    CMstMenu* owner = FromHandle((HMENU)dis->hwndItem);
    if (!owner) owner = trackedMenu;
    if (!owner) return FALSE;
    owner->DrawItem(dis);
    return TRUE;
}

HFONT CMstMenu::CreateBoldMenuFont() const {
    LOGFONTA lf{};
    GetObjectA(menuFont, sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    return CreateFontIndirectA(&lf);
}

// Text is measured in bold although it is drawn regular, so the default item fits too.
void CMstMenu::MeasureItem(MEASUREITEMSTRUCT* mis) {
    if (!mis || mis->CtlType != ODT_MENU) return;
    MenuEntry* entry = MenuEntry::FromItemData(mis->itemData);
    if (!entry) return;
    int width, height;
    if (entry->separator) {
        height = GetSystemMetrics(SM_CYMENUCHECK) / 2;
        width = 0;
    } else {
        HDC screen = GetDC(nullptr);
        HFONT bold = CreateBoldMenuFont();
        HGDIOBJ old = SelectObject(screen, bold);
        RECT text{0, 0, 0, 0};
        DrawTextA(screen, entry->text.c_str(), (int)entry->text.size(), &text, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
        SelectObject(screen, old);
        DeleteObject(bold);
        ReleaseDC(nullptr, screen);
        int textHeight = text.bottom - text.top;
        height = textHeight > entry->height + 4 ? textHeight : entry->height + 4;
        width = (text.right - text.left) + 2 * entry->height + 12;
    }
    // The system adds the check-mark width to owner-drawn items; the check column is drawn by us.
    width += 1 - GetSystemMetrics(SM_CXMENUCHECK);
    mis->itemWidth = (UINT)width;
    mis->itemHeight = (UINT)height;
}

void CMstMenu::DrawItem(DRAWITEMSTRUCT* dis) {
    if (!dis || dis->CtlType != ODT_MENU || !dis->itemData) return;
    MenuEntry* entry = MenuEntry::FromItemData(dis->itemData);
    if (!entry) return;
    HDC dc = dis->hDC;
    RECT r = dis->rcItem;
    if (entry->separator) {
        DrawBackground(dc, r, false, false);
        RECT lower{r.left, r.top + (r.bottom - r.top) / 2, r.right, r.bottom};
        DrawEdge(dc, &lower, EDGE_ETCHED, BF_TOP);
        return;
    }
    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    bool grayed = (dis->itemState & ODS_GRAYED) != 0;
    bool checked = (dis->itemState & ODS_CHECKED) != 0;
    bool isDefault = (dis->itemState & ODS_DEFAULT) != 0;
    DrawBackground(dc, r, selected, grayed);
    int side = r.bottom - r.top;
    RECT square{r.left, r.top, r.left + side, r.bottom};
    if (checked) {
        DrawCheckFrame(dc, square, selected, grayed, checked);
        InflateRect(&square, -2, -2);
        DrawCheckMark(dc, square);
    }
    RECT text{r.left + side + 2, r.top, r.right - entry->height, r.bottom};
    DrawEntryText(dc, text, entry->text.c_str(), selected, grayed, isDefault);
}

void CMstMenu::DrawBackground(HDC dc, const RECT& rect, bool selected, bool grayed) {
    HBRUSH fill = CreateSolidBrush(selected ? highlightColour : backgroundColour);
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    PatBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, PATCOPY);
    SelectObject(dc, oldBrush);
    DeleteObject(fill);
    if (selected && !grayed) {
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        HGDIOBJ hollow = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
        SelectObject(dc, hollow);
        SelectObject(dc, oldPen);
    }
}

// A checked square that is not selected stands out in the 3D highlight colour.
void CMstMenu::DrawCheckFrame(HDC dc, const RECT& square, bool selected, bool grayed, bool checked) {
    HBRUSH fill = CreateSolidBrush(checked && !selected ? GetSysColor(COLOR_3DHILIGHT) : backgroundColour);
    FillRect(dc, &square, fill);
    DeleteObject(fill);
    if (!grayed && (selected || checked)) {
        RECT edge = square;
        DrawEdge(dc, &edge, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
}

// Three stacked strokes of a tick, black in every state.
void CMstMenu::DrawCheckMark(HDC dc, const RECT& square) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    int x0 = square.left + (square.right - square.left - 8) / 2;
    int y0 = square.top + (square.bottom - square.top - 8) / 2;
    for (int k = 0; k < 3; ++k) {
        MoveToEx(dc, x0, y0 + 3 + k, nullptr);
        LineTo(dc, x0 + 2, y0 + 5 + k);
        LineTo(dc, x0 + 7, y0 + k);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// Grayed text is engraved: a light copy one pixel down-right under the grey one.
void CMstMenu::DrawEntryText(HDC dc, const RECT& rect, const char* text, bool selected, bool grayed,
                             bool isDefault) {
    HFONT bold = isDefault ? CreateBoldMenuFont() : nullptr;
    HGDIOBJ oldFont = SelectObject(dc, bold ? bold : menuFont);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    if (grayed) {
        if (!selected) {
            RECT shifted = rect;
            OffsetRect(&shifted, 1, 1);
            DrawLabel(dc, shifted, text, highlightTextColour);
        }
        DrawLabel(dc, rect, text, grayTextColour);
    } else {
        DrawLabel(dc, rect, text, selected ? highlightTextColour : textColour);
    }
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    if (bold) DeleteObject(bold);
}

// A tab splits the label from its right-aligned shortcut text.
void CMstMenu::DrawLabel(HDC dc, const RECT& rect, const char* text, COLORREF colour) {
    std::string label = text ? text : "";
    size_t tab = label.find('\t');
    SetTextColor(dc, colour);
    RECT r = rect;
    std::string left = tab == std::string::npos ? label : label.substr(0, tab);
    DrawTextA(dc, left.c_str(), (int)left.size(), &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (tab != std::string::npos && tab > 0) {
        std::string right = label.substr(tab + 1);
        r = rect;
        DrawTextA(dc, right.c_str(), (int)right.size(), &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
}

}  // namespace sona
