#include "items/LayeredItemWindow.h"

#include "items/ItemIds.h"
#include "controls/CMstMenu.h"
#include "items/LayeredUpdate.h"

namespace sona {

LayeredItemWindow::~LayeredItemWindow() = default;

// Makes the popup, binds the layered update and shows the first picture.
BOOL LayeredItemWindow::Create(const RECT& rect, HWND ownerWindow, UINT id) {
    const char* cls = RegisterWindowClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW),
                                          SharedWhiteBrush(), nullptr);
    owner = ownerWindow;
    // A popup takes its owner through the parent argument; the id is kept for parity with
    // child windows, where it names the control (popups ignore it).
    (void)id;
    // Made hidden and shown once its first pixels are in place: nothing unpainted ever flashes,
    // and showing it without activation leaves the keyboard with the main window. (An activated
    // popup also becomes a managed X window under Wine, whose every close then waits two seconds
    // for a window manager that a bare X server does not have.)
    creating = true;
    bool made = CreateEx(WS_EX_TOOLWINDOW, cls, "", WS_POPUP, rect.left, rect.top, rect.right - rect.left,
                         rect.bottom - rect.top, ownerWindow, 0);
    creating = false;
    if (!made) {
        owner = nullptr;
        return FALSE;
    }
    Render();
    ShowWindow(hwnd, SW_SHOWNA);
    return TRUE;
}

// One full redraw: a new transparent surface, the item's drawing, then the screen.
void LayeredItemWindow::Render() {
    if (!hwnd) return;
    RECT rc = ClientRect();
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0 || !surface.CreateAlpha(w, h)) return;
    {
        GdipPtr<Gdiplus::Bitmap> canvas = WrapAlphaSurface(surface);
        if (canvas) {
            Gdiplus::Graphics g(canvas.get());
            DrawContent(g, w, h);
        }
    }
    PushToScreen();
}

// The update itself; kept apart so the drawing above never touches the window's own DC.
void LayeredItemWindow::PushToScreen() { UpdateLayered(hwnd, surface, ConstantAlpha()); }

// Full opacity keeps the constant alpha 254 every item has always been drawn with.
BYTE LayeredItemWindow::ConstantAlpha() const { return (BYTE)((254 * settings.opacity + 50) / 100); }

namespace {

// True while the button that clicks is still held (the primary one, which may be the right).
bool PrimaryButtonHeld() {
    return (GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) != 0;
}

struct PartSearch {
    HWND item;
    std::vector<HWND>* parts;
};

BOOL CALLBACK CollectOwnedPart(HWND w, LPARAM lp) {
    PartSearch* search = (PartSearch*)lp;
    if (GetWindow(w, GW_OWNER) != search->item) return TRUE;
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    // Tooltips come and go with the pointer and have their own look.
    if (lstrcmpiA(cls, "tooltips_class32") != 0) search->parts->push_back(w);
    return TRUE;
}

BOOL CALLBACK CollectChildPart(HWND w, LPARAM lp) {
    PartSearch* search = (PartSearch*)lp;
    if (GetParent(w) == search->item) search->parts->push_back(w);
    return TRUE;
}

}  // namespace

std::vector<HWND> LayeredItemWindow::Parts() const {
    std::vector<HWND> parts;
    if (!hwnd) return parts;
    PartSearch search{hwnd, &parts};
    EnumWindows(CollectOwnedPart, (LPARAM)&search);
    EnumChildWindows(hwnd, CollectChildPart, (LPARAM)&search);
    return parts;
}

// Each setting is put into effect only when it changes, so restoring an item with the defaults
// costs nothing.
void LayeredItemWindow::ApplySettings(const ItemSettings& s) {
    if (!hwnd) {
        settings = s;
        return;
    }
    ItemSettings old = settings;
    settings = s;
    if (old.opacity != s.opacity) Render();
    if (old.clickThrough != s.clickThrough) {
        LONG ex = GetWindowLongA(hwnd, GWL_EXSTYLE);
        SetWindowLongA(hwnd, GWL_EXSTYLE, s.clickThrough ? (ex | WS_EX_TRANSPARENT) : (ex & ~WS_EX_TRANSPARENT));
    }
    if (old.opacity != s.opacity || old.clickThrough != s.clickThrough) ApplyPartLook();
    if (old.layer != s.layer) ApplyLayer(s.layer);
}

// The parts fade with the item and let the mouse through with it. A part that draws itself with
// a layered update (a button) takes the item's constant alpha; any other part is faded as a whole
// window, which also makes it layered so that the mouse can pass through it.
void LayeredItemWindow::ApplyPartLook() {
    BYTE wholeAlpha = (BYTE)((255 * settings.opacity + 50) / 100);
    bool fade = settings.opacity < 100 || settings.clickThrough;
    for (HWND part : Parts()) {
        LONG ex = GetWindowLongA(part, GWL_EXSTYLE);
        ex = settings.clickThrough ? (ex | WS_EX_TRANSPARENT) : (ex & ~WS_EX_TRANSPARENT);
        SetWindowLongA(part, GWL_EXSTYLE, ex);
        if (SendMessageA(part, WM_DESKITEM_PART_ALPHA, ConstantAlpha(), 0) == 1) continue;
        // Windows before 8 have no layered child windows.
        if ((GetWindowLongA(part, GWL_STYLE) & WS_CHILD) && !LayeredChildWindowsWork()) continue;
        if (fade) {
            SetWindowLongA(part, GWL_EXSTYLE, ex | WS_EX_LAYERED);
            SetLayeredWindowAttributes(part, 0, wholeAlpha, LWA_ALPHA);
        } else if (ex & WS_EX_LAYERED) {
            SetWindowLongA(part, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
            RedrawWindow(part, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
    }
}

// The parts go where the item goes: above it, in the same band.
void LayeredItemWindow::ApplyLayer(uint8_t layer) {
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (desktopHost != DesktopHost::kNone && layer != kLayerDesktop) {
        TakeOffDesktop(hwnd, desktopHost, owner);
        desktopHost = DesktopHost::kNone;
    }
    std::vector<HWND> parts = Parts();
    switch (layer) {
    case kLayerTop:
        SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, keep);
        for (HWND part : parts)
            if (!(GetWindowLongA(part, GWL_STYLE) & WS_CHILD)) SetWindowPos(part, HWND_TOPMOST, 0, 0, 0, 0, keep);
        break;
    case kLayerDesktop:
        if (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, keep);
        for (HWND part : parts)
            if (!(GetWindowLongA(part, GWL_STYLE) & WS_CHILD)) SetWindowPos(part, HWND_NOTOPMOST, 0, 0, 0, 0, keep);
        desktopHost = PutOnDesktop(hwnd);
        if (desktopHost == DesktopHost::kBottomMost) {
            // The active window stays on top under Wine whatever its place says: the activation goes
            // back to the main window (the item stays its current one), then the item goes down.
            if (GetActiveWindow() == hwnd && owner) SetActiveWindow(owner);
            SinkToBottom();
            // Once more when the menu that asked for it has closed and the activation has settled.
            PostMessageA(hwnd, WM_DESKITEM_SINK, 0, 0);
        }
        break;
    default:
        SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, keep);
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, keep);
        for (HWND part : parts)
            if (!(GetWindowLongA(part, GWL_STYLE) & WS_CHILD)) {
                SetWindowPos(part, HWND_NOTOPMOST, 0, 0, 0, 0, keep);
                SetWindowPos(part, HWND_TOP, 0, 0, 0, 0, keep);
            }
        break;
    }
}

// A moment after a bottom-most item lost the activation: it goes down once more.
void CALLBACK LayeredItemWindow::SinkTimerProc(HWND w, UINT, UINT_PTR id, DWORD) {
    KillTimer(w, id);
    PostMessageA(w, WM_DESKITEM_SINK, 0, 0);
}

// Parts first, then the item under them: the whole card lies at the bottom.
void LayeredItemWindow::SinkToBottom() {
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    for (HWND part : Parts())
        if (!(GetWindowLongA(part, GWL_STYLE) & WS_CHILD)) SetWindowPos(part, HWND_BOTTOM, 0, 0, 0, 0, keep);
    SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, keep);
}

// Hidden with the item, shown with it: only the parts that were showing (a music card's sliders
// never show).
void LayeredItemWindow::ShowItem(bool shown) {
    if (!hwnd) return;
    if (!shown) {
        if (!IsWindowVisible(hwnd)) return;
        hiddenParts.clear();
        for (HWND part : Parts())
            if (IsWindowVisible(part)) hiddenParts.push_back(part);
        for (HWND part : hiddenParts) ShowWindow(part, SW_HIDE);
        ShowWindow(hwnd, SW_HIDE);
        return;
    }
    if (IsWindowVisible(hwnd)) return;
    ShowWindow(hwnd, SW_SHOWNA);
    for (HWND part : hiddenParts)
        if (::IsWindow(part)) ShowWindow(part, SW_SHOWNA);
    hiddenParts.clear();
}

// The commands of the layer, opacity and click-through entries; false for any other id.
bool LayeredItemWindow::OnSettingsCommand(UINT id) {
    ItemSettings s = settings;
    const UINT opacityCount = sizeof kOpacitySteps;
    if (id == ID_DESKITEM_ON_TOP)
        s.layer = s.layer == kLayerTop ? kLayerNormal : kLayerTop;
    else if (id == ID_DESKITEM_ON_DESKTOP)
        s.layer = s.layer == kLayerDesktop ? kLayerNormal : kLayerDesktop;
    else if (id == ID_DESKITEM_CLICK_THROUGH)
        s.clickThrough = !s.clickThrough;
    else if (id >= ID_DESKITEM_OPACITY_FIRST && id < ID_DESKITEM_OPACITY_FIRST + opacityCount)
        s.opacity = kOpacitySteps[id - ID_DESKITEM_OPACITY_FIRST];
    else
        return false;
    ApplySettings(s);
    NotifyChanged();
    return true;
}

// Maps a zone's cursor kind to the shared system cursor.
HCURSOR LayeredItemWindow::ZoneCursorHandle(ZoneCursor cursor) {
    switch (cursor) {
    case ZoneCursor::kSizeWE: return LoadCursorA(nullptr, IDC_SIZEWE);
    case ZoneCursor::kSizeNS: return LoadCursorA(nullptr, IDC_SIZENS);
    case ZoneCursor::kSizeNWSE: return LoadCursorA(nullptr, IDC_SIZENWSE);
    case ZoneCursor::kSizeNESW: return LoadCursorA(nullptr, IDC_SIZENESW);
    default: return LoadCursorA(nullptr, IDC_ARROW);
    }
}

// Tells the main window that what it would store of this item may have changed (place, size,
// file or text), so it saves the desks soon. Posted: the item may be gone by the time it arrives.
void LayeredItemWindow::NotifyChanged() {
    if (owner) PostMessageA(owner, WM_DESKITEM_CHANGED, 0, 0);
}

// Tells the main window this item is now its current one, and takes the keyboard.
void LayeredItemWindow::SelectSelf() {
    if (owner) SendMessageA(owner, WM_DESKITEM_SELECT, 0, (LPARAM)hwnd);
    if (hwnd) SetFocus(hwnd);
}

// Starts the system's move or size loop from a click, by posting ourselves the non-client
// button-down it would have got over a caption or a border.
void LayeredItemWindow::OnLeftButtonDown(int x, int y) {
    SelectSelf();
    RECT rc = ClientRect();
    int w = rc.right, h = rc.bottom;
    LPARAM packed = PackPoint(x, y);
    if (!IsResizable() || InMoveArea(x, y, w, h)) {
        PostMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, packed);
        return;
    }
    HitZone zone = ResizeZoneAt(x, y, w, h);
    if (zone.code == kHitNone) return;
    // The aspect lock needs to know which edge is being dragged even when no move came first.
    OnResizeZone(zone.code);
    PostMessageA(hwnd, WM_NCLBUTTONDOWN, (WPARAM)zone.code, packed);
    SetCursor(ZoneCursorHandle(zone.cursor));
}

// Shows which way the band would size before the button goes down.
void LayeredItemWindow::OnPointerMove(int x, int y) {
    if (!IsResizable()) return;
    RECT rc = ClientRect();
    HitZone zone = ResizeZoneAt(x, y, rc.right, rc.bottom);
    if (zone.code == kHitNone) return;
    PostMessageA(hwnd, WM_NCMOUSEMOVE, (WPARAM)zone.code, PackPoint(x, y));
    SetCursor(ZoneCursorHandle(zone.cursor));
    OnResizeZone(zone.code);
}

// "Open", the item's own entries, "Remove"; the choice comes back as WM_COMMAND on this window.
void LayeredItemWindow::ShowContextMenu(POINT screen) {
    SelectSelf();
    if (screen.x == -1 && screen.y == -1) {
        // From the keyboard (Shift+F10 or the menu key): open at the item's top-left corner.
        screen = POINT{0, 0};
        ClientToScreen(hwnd, &screen);
    }
    CMstMenu menu;
    menu.AppendEntry(0, new MenuEntry(ID_DESKITEM_EDIT, EditCommandText(), 16));
    menu.AppendSeparator();
    for (const ItemMenuEntry& e : MenuEntries()) {
        if (e.id == 0)
            menu.AppendSeparator();
        else
            menu.AppendEntry(e.checked ? MF_CHECKED : 0, new MenuEntry(e.id, e.text, 16));
    }
    menu.AppendSeparator();
    menu.AppendEntry(settings.layer == kLayerTop ? MF_CHECKED : 0, new MenuEntry(ID_DESKITEM_ON_TOP, "Always on Top", 16));
    menu.AppendEntry(settings.layer == kLayerDesktop ? MF_CHECKED : 0,
                     new MenuEntry(ID_DESKITEM_ON_DESKTOP, "On the Desktop", 16));
    CMstMenu* opacity = new CMstMenu;
    for (UINT i = 0; i < sizeof kOpacitySteps; i++) {
        char text[16];
        wsprintfA(text, "%u %%", (unsigned)kOpacitySteps[i]);
        opacity->AppendEntry(settings.opacity == kOpacitySteps[i] ? MF_CHECKED : 0,
                             new MenuEntry(ID_DESKITEM_OPACITY_FIRST + i, text, 16));
    }
    menu.AppendSubMenu(0, opacity, new MenuEntry(0, "Opacity", 16));
    menu.AppendEntry(settings.clickThrough ? MF_CHECKED : 0,
                     new MenuEntry(ID_DESKITEM_CLICK_THROUGH, "Click-Through", 16));
    menu.AppendSeparator();
    menu.AppendEntry(0, new MenuEntry(ID_DESKITEM_TO_FRONT, "Bring to Front", 16));
    menu.AppendEntry(0, new MenuEntry(ID_DESKITEM_TO_BACK, "Send to Back", 16));
    menu.AppendEntry(0, new MenuEntry(ID_DESKITEM_REMOVE, "Remove", 16));
    // The choice is posted back to us, so it arrives after the menu object is gone.
    // A bottom-most item that has just been activated goes down again from a posted message.
    // Under X that restacking hands the now active window to the window manager, which maps it
    // anew and so closes a menu already open: it goes down once the menu is closed.
    MSG pendingSink;
    bool sinkAfter = desktopHost == DesktopHost::kBottomMost &&
                     PeekMessageA(&pendingSink, hwnd, WM_DESKITEM_SINK, WM_DESKITEM_SINK, PM_REMOVE);
    menu.Track(hwnd, screen, TPM_RIGHTBUTTON);
    if (sinkAfter) PostMessageA(hwnd, WM_DESKITEM_SINK, 0, 0);
}

// Shared message handling; the item's specifics arrive through the virtuals.
LRESULT LayeredItemWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        LRESULT r = Default();
        if (r == -1) return -1;
        BindLayeredUpdate();
        LoadSkins();
        return 0;
    }
    case WM_MOUSEACTIVATE:
        // A click brings the item to the front, as activation does on Windows. Raised here,
        // before it is active: Wine does not restack on activation, and under X a window that is
        // restacked while active is handed to the window manager, which then stacks it itself.
        // An item on the desktop stays under everything; one on top is above everything already.
        if (settings.layer == kLayerNormal)
            SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return Default();
    case WM_WINDOWPOSCHANGING:
        // A bottom-most item refuses every raise, whoever asks (a click, the main window, the
        // system's activation).
        if (desktopHost == DesktopHost::kBottomMost) {
            WINDOWPOS* pos = (WINDOWPOS*)lp;
            if (!(pos->flags & SWP_NOZORDER)) pos->hwndInsertAfter = HWND_BOTTOM;
        }
        return Default();
    case WM_DESKITEM_SINK:
        if (desktopHost == DesktopHost::kBottomMost) SinkToBottom();
        return 0;
    case WM_ACTIVATE:
        // Activation raises a window; a bottom-most item goes back down, and again a moment
        // after it has lost the activation (under X the window manager restacks the window that
        // had the focus after the program has let it go).
        if (desktopHost == DesktopHost::kBottomMost) {
            PostMessageA(hwnd, WM_DESKITEM_SINK, 0, 0);
            if (LOWORD(wp) == WA_INACTIVE) SetTimer(hwnd, TIMER_DESKITEM_SINK, 800, SinkTimerProc);
        }
        return Default();
    case WM_SYSCOMMAND:
        // Show Desktop and the like must not take an item off the desktop.
        if (settings.layer == kLayerDesktop && (wp & 0xFFF0) == SC_MINIMIZE) return 0;
        return Default();
    case WM_MOUSEWHEEL:
        // Ctrl + wheel steps the opacity: up more opaque, down less.
        if (LOWORD(wp) & MK_CONTROL) {
            ItemSettings s = settings;
            s.opacity = StepOpacity(s.opacity, (short)HIWORD(wp) > 0 ? +1 : -1);
            if (s != settings) {
                ApplySettings(s);
                NotifyChanged();
            }
            return 0;
        }
        return Default();
    case WM_LBUTTONDOWN:
        OnLeftButtonDown((short)LOWORD(lp), (short)HIWORD(lp));
        return Default();
    case WM_NCLBUTTONDOWN:
        // The move or size a click asked for starts only while the button is still down. Under X
        // an item the window manager has taken on (any item once activated, every item on the
        // desktop) is moved by the window manager, which would wait for the next click, wherever
        // it comes, and carry the item there; that click would be lost to the program too.
        if (!PrimaryButtonHeld()) return 0;
        return Default();
    case WM_MOUSEMOVE:
        OnPointerMove((short)LOWORD(lp), (short)HIWORD(lp));
        return Default();
    case WM_CONTEXTMENU:
        ShowContextMenu(POINT{(short)LOWORD(lp), (short)HIWORD(lp)});
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case ID_DESKITEM_EDIT:
            OnEditCommand();
            return 0;
        case ID_DESKITEM_REMOVE:
            // Posted: the owner destroys the item when the request arrives, after this handler
            // has returned. A disabled item is running its own dialog (whose loop would deliver
            // the request while that handler is still on the stack), so it asks nothing then.
            if (IsWindowEnabled(hwnd)) PostMessageA(owner, WM_DESKITEM_REMOVE, 0, (LPARAM)hwnd);
            return 0;
        case ID_DESKITEM_TO_FRONT:
        case ID_DESKITEM_TO_BACK:
            // The owner keeps the order (its records are stacked the same way), so it restacks.
            PostMessageA(owner, WM_DESKITEM_RESTACK, LOWORD(wp) == ID_DESKITEM_TO_FRONT, (LPARAM)hwnd);
            return 0;
        default:
            if (OnSettingsCommand(LOWORD(wp))) return 0;
            if (OnItemCommand(LOWORD(wp))) return 0;
        }
        return Default();
    case WM_GETMINMAXINFO:
        if (IsResizable()) {
            MINMAXINFO* mm = (MINMAXINFO*)lp;
            SIZE min = MinimumSize();
            mm->ptMinTrackSize = POINT{min.cx, min.cy};
            POINT max{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYMAXIMIZED)};
            mm->ptMaxTrackSize = max;
            mm->ptMaxSize = max;
            return 0;
        }
        return Default();
    case WM_SIZE:
        OnSized();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT: {
        // Every pixel comes from the layered update; painting only validates.
        PaintDC dc(hwnd);
        return 0;
    }
    case WM_MOVE:
        return 0;
    case WM_WINDOWPOSCHANGED: {
        // Sent, not posted: whatever follows the item on screen (the selection) keeps up with a
        // drag instead of trailing it.
        LRESULT r = Default();
        if (owner) SendMessageA(owner, WM_DESKITEM_PLACED, 0, (LPARAM)hwnd);
        return r;
    }
    case WM_ENABLE:
        // An item is disabled while its Open or Edit dialog runs; enabled again, the dialog is
        // over and the item's file or text may have changed.
        if (wp) NotifyChanged();
        return Default();
    case WM_EXITSIZEMOVE:
        // A drag or a resize has ended: the main window's copy of the layout is now out of date.
        NotifyChanged();
        return Default();
    case WM_MEASUREITEM:
        if (CMstMenu::HandleMeasureItem(lp)) return TRUE;
        return Default();
    case WM_DRAWITEM:
        if (CMstMenu::HandleDrawItem(lp)) return TRUE;
        return Default();
    }
    return Default();
}

// Esc and Enter would end dialogs, Alt+F4 would close the item: none of them may reach the
// default handling. (The application's own filter has already turned Alt+F4 into Exit.)
BOOL LayeredItemWindow::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN)) return TRUE;
    bool keyMessage = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    if (keyMessage && msg->wParam == VK_F4 && (GetAsyncKeyState(VK_MENU) & 0x8000)) return TRUE;
    return FALSE;
}

}  // namespace sona
