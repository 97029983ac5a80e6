#include "app/MainDeskWindow.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include <commctrl.h>

#include "app/DeskApplication.h"
#include "app/DeskIds.h"
#include "app/DeskKeyboard.h"
#include "app/DeskMessages.h"
#include "app/StartNotices.h"
#include "dialogs/CDlgAbout.h"
#include "items/ItemIds.h"
#include "items/PictureItem.h"
#include "platform/UserMessage.h"
#include "res/resource.h"
#include "store/DataFolder.h"
#include "store/LanguagePack.h"

namespace sona {

namespace {

struct CommandButtonSpec {
    UINT id;
    RECT rect;
    // Pressed and disabled look like normal.
    UINT normal, hover;
    const char* tooltip;
    bool visible;
};

const CommandButtonSpec kCommandButtons[8] = {
    {ID_IMPORT_MOVIE, {339, 444, 403, 494}, IDP_CMD_MOVIE, IDP_CMD_MOVIE_HOVER, "Import Movie Files", false},
    {ID_IMPORT_MUSIC, {403, 444, 467, 494}, IDP_CMD_MUSIC, IDP_CMD_MUSIC_HOVER, "Import Music Files", true},
    {ID_IMPORT_PICTURE, {467, 444, 531, 494}, IDP_CMD_PICTURE, IDP_CMD_PICTURE_HOVER, "Import Picture Files", true},
    {ID_ADD_TEXT, {531, 444, 595, 494}, IDP_CMD_ADD_TEXT, IDP_CMD_ADD_TEXT_HOVER, "Add Text to Desk", true},
    {ID_DELETE_ITEM, {595, 444, 659, 494}, IDP_CMD_DELETE, IDP_CMD_DELETE_HOVER, "Delete", true},
    {ID_CREATE_DESK, {670, 450, 732, 494}, IDP_CMD_CREATE_DESK, IDP_CMD_CREATE_DESK_HOVER, "Create New Desk", true},
    {ID_REMOVE_DESK, {734, 450, 796, 494}, IDP_CMD_REMOVE_DESK, IDP_CMD_REMOVE_DESK_HOVER, "Remove Current Desk", true},
    {ID_EXIT, {807, 450, 851, 494}, IDP_CMD_EXIT, IDP_CMD_EXIT_HOVER, "Exit", false},
};

struct CaptionButtonSpec {
    UINT id;
    POINT place;
    UINT bitmaps[4];
};

const CaptionButtonSpec kCaptionButtons[3] = {
    {ID_CAPTION_CLOSE, {770, 14}, {IDB_CLOSE, IDB_CLOSE_HOVER, IDB_CLOSE_PRESSED, IDB_CLOSE}},
    {ID_CAPTION_SPARE, {750, 14}, {IDB_SPARE, IDB_SPARE_HOVER, IDB_SPARE_PRESSED, IDB_SPARE}},
    {ID_CAPTION_MINIMIZE, {730, 14}, {IDB_MINIMIZE, IDB_MINIMIZE_HOVER, IDB_MINIMIZE_PRESSED, IDB_MINIMIZE}},
};

}  // namespace

MainDeskWindow::MainDeskWindow() : Dialog(IDD_MAIN_DESK) {
    icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SONADESK));
    // Another desk shows: the tabs change at once, the items come over the next turns.
    live.onShow = [this] { RedrawDeskView(0); };
    live.onBuilt = [this] {
        RedrawDeskView(0);
        UpdateSelection();
        PostMessageA(hwnd, WM_DESK_RAISE_ITEMS, 0, 0);
    };
}

MainDeskWindow::~MainDeskWindow() = default;

// ---------------------------------------------------------------------------------------------
// Initialisation

BOOL MainDeskWindow::OnInitDialog() {
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, (LPARAM)icon);
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    if (Application::Current()) Application::Current()->mainWindow = hwnd;

    dataFolder = GetDataFolder();
    std::string pack;
    bool packThere = WriteStartFiles(dataFolder, &pack);

    SetWindowTextA(hwnd, "Varnel Sonadesk");
    MoveWindow(hwnd, 0, 0, 800, 500, TRUE);
    {
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - 800) / 2,
                     work.top + (work.bottom - work.top - 500) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    SetPropA(hwnd, InstanceName, (HANDLE)1);

    if (packThere) {
        if (auto* app = static_cast<DeskApplication*>(Application::Current()))
            if (LanguageTextPtr text{DecodeLanguagePack(pack.c_str())}) app->SetLanguageText(std::move(text));
    }

    BringWindowToTop(hwnd);

    topBand.reset(LoadBitmapResource(IDB_TOP_BAND));
    bottomBand.reset(LoadBitmapResource(IDB_BOTTOM_BAND));
    deskTile.reset(LoadBitmapResource(IDB_DESK_TILE));
    tabImage.Load(IDP_TAB);
    selectedTabImage.Load(IDP_TAB_SELECTED);
    leftArrowImage.Load(IDP_ARROW_LEFT);
    rightArrowImage.Load(IDP_ARROW_RIGHT);

    PrepareButtons();

    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    style = (style & ~WS_CAPTION) | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    SetWindowLongA(hwnd, GWL_STYLE, style);

    CreateBackBuffer();

    storeStartup.Load(dataFolder, &model.Store());
    if (storeStartup.Damaged()) PostMessageA(hwnd, WM_DESK_REPORT_DAMAGED, 0, 0);
    model.ClampCurrentDesk();
    if (model.DeskCount() == 0) OnCreateDesk();
    model.ShowCurrentTab();
    RedrawDeskView(0);
    // The window shows with its bands, tabs and buttons, painted with USER32 and GDI alone;
    // GDI+, COM, the tooltip and the desk's items follow the first paint.
    startupPending = true;
    // Building the desk is not a change of it: nothing needs saving yet.
    saver.Forget();
    // Accepting dropped files is this style bit (what DragAcceptFiles sets).
    SetWindowLongA(hwnd, GWL_EXSTYLE, GetWindowLongA(hwnd, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
    SetTimer(hwnd, TIMER_FIRST_PAINT, 500, nullptr);
    return TRUE;
}

namespace {
RECT CaptionButtonRect(const CaptionButtonSpec& s) {
    return RECT{s.place.x, s.place.y, s.place.x + 16, s.place.y + 16};
}
}  // namespace

// The buttons' pictures and states; their windows come after the first paint (CreateButtons).
void MainDeskWindow::PrepareButtons() {
    for (int i = 0; i < 3; i++) {
        const CaptionButtonSpec& s = kCaptionButtons[i];
        captionButtons[i].SetBitmaps(s.bitmaps[0], s.bitmaps[1], s.bitmaps[2], s.bitmaps[3]);
        if (s.id == ID_CAPTION_SPARE) captionButtons[i].Enable(FALSE);
    }
    for (int i = 0; i < 8; i++) {
        const CommandButtonSpec& s = kCommandButtons[i];
        commandButtons[i].SetImages(s.normal, s.hover, s.normal, s.normal);
    }
}

// Until their windows are made, the view shows the buttons' faces itself, so the first frame is
// whole without waiting for eleven child windows.
void MainDeskWindow::PaintButtonFaces(HDC dc) {
    for (int i = 0; i < 3; i++)
        if (!captionButtons[i].hwnd) captionButtons[i].PaintFaceAt(dc, CaptionButtonRect(kCaptionButtons[i]));
    for (int i = 0; i < 8; i++)
        if (!commandButtons[i].hwnd && kCommandButtons[i].visible)
            commandButtons[i].PaintFaceAt(dc, kCommandButtons[i].rect);
}

// Gives the keyboard to the first button when the active main window has no focus at all, where
// the dialog manager puts it in a dialog with controls: the buttons came after the window showed,
// so the manager found none to give it to.
void MainDeskWindow::TakeKeyboard() {
    if (GetActiveWindow() != hwnd || GetFocus()) return;
    if (HWND first = GetNextDlgGroupItem(hwnd, nullptr, FALSE))
        SendMessageA(hwnd, WM_NEXTDLGCTL, (WPARAM)first, TRUE);
    else
        SetFocus(hwnd);
}

void MainDeskWindow::CreateButtons() {
    for (int i = 0; i < 3; i++)
        captionButtons[i].Create(CaptionButtonRect(kCaptionButtons[i]), hwnd, kCaptionButtons[i].id);
    for (int i = 0; i < 8; i++) {
        const CommandButtonSpec& s = kCommandButtons[i];
        commandButtons[i].Create(s.rect, hwnd, s.id);
        if (!s.visible) ShowWindow(commandButtons[i].hwnd, SW_HIDE);
    }
    TakeKeyboard();
}

namespace {

// The messages that find the rest of start-up done before they are handled: its own timers (the
// one the first paint sets, and the first-paint timer for a window that was never painted), and
// any click, command, desk key or dropped file that comes before them.
bool NeedsWholeStartup(UINT msg, WPARAM wp) {
    switch (msg) {
    case WM_TIMER: return wp == TIMER_FINISH_STARTUP || wp == TIMER_FIRST_PAINT;
    case WM_LBUTTONDOWN:
    case WM_COMMAND:
    case WM_DROPFILES:
    case WM_DESK_KEY:
    case WM_DESK_SHOW_ABOUT: return true;
    }
    return false;
}

}  // namespace

// The rest of start-up, once the first frame is on the screen: the buttons' windows, GDI+, COM
// and the common controls, the hidden About window, the tooltip, the notification-area icon, the
// hot key and the desk's items. Its one entry is the top of WndProc (NeedsWholeStartup).
void MainDeskWindow::FinishStartup() {
    startupPending = false;
    CreateButtons();
    StartDeskServices();
    ole = std::make_unique<ComSession>(ComSession::kOle);
    // Made after the main window is up, the hidden About window would keep the activation its
    // dialog manager gives it with the focus for its button: whichever window had it takes it
    // back. That is the main window, or a message box already up (a damaged store reported
    // before this ran), which hands the activation back to the main window when it closes.
    HWND active = GetActiveWindow();
    about = std::make_unique<CDlgAbout>();
    if (about->Create(hwnd)) ShowWindow(about->hwnd, SW_HIDE);
    if (active && ::IsWindow(active) && GetActiveWindow() != active) SetActiveWindow(active);
    tooltip.Create(hwnd, TTS_ALWAYSTIP);
    for (int i = 0; i < 8; i++) tooltip.AddTool(commandButtons[i].hwnd, kCommandButtons[i].tooltip);
    AddTrayIcon();
    RegisterShowHideKey();
    // The items are made a few per turn, as on a desk switch, so the window answers while a full
    // desk comes up. Items already up (added by a command that came first) stay as they are.
    if (live.Count() == 0 && model.RecordCount() > 0) live.Show();
    PostMessageA(hwnd, WM_DESK_START_NOTICES, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Messages

BOOL MainDeskWindow::PreTranslateMessage(MSG* msg) {
    tooltip.RelayEvent(msg);
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1) {
        // Help, the Windows way: F1 anywhere in the program shows the About window.
        SendMessageA(hwnd, WM_DESK_SHOW_ABOUT, 0, 0);
        return TRUE;
    }
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN)) return TRUE;
    if (msg->message == WM_MOUSEWHEEL && IsWindowEnabled(hwnd) && OnCtrlWheel(*msg)) return TRUE;
    DeskKeyCommand key = DeskKeyOf(*msg, hwnd, live);
    if (key.key != DeskKey::kNone) {
        PostMessageA(hwnd, WM_DESK_KEY, (WPARAM)key.key, (LPARAM)key.desk);
        return TRUE;
    }
    return Dialog::PreTranslateMessage(msg);
}

// What the desk's items ask of the main window; false for any other message.
bool MainDeskWindow::OnItemMessage(UINT msg, WPARAM wp, LPARAM lp) {
    HWND item = (HWND)lp;
    switch (msg) {
    case WM_DESKITEM_CHANGED:
        saver.Changed();
        // The item may have changed its layer: the highlight follows it or goes.
        UpdateSelection();
        return true;
    case WM_DESKITEM_SELECT:
        live.SetCurrent(item);
        UpdateSelection();
        return true;
    case WM_DESKITEM_PLACED:
        // Only the window itself is looked at: this also arrives while an item is being destroyed,
        // when the live list is in the middle of changing.
        if (item && item == selection.Target()) {
            DeskItem* shown = live.At(live.IndexOf(item));
            bool onDesktop = shown && shown->Settings().layer == kLayerDesktop;
            if (IsWindowVisible(item) && !onDesktop)
                selection.Follow(item, hwnd);
            else
                selection.Hide();
        }
        return true;
    case WM_DESKITEM_RESTACK:
        RestackItem(item, wp != 0);
        return true;
    case WM_DESKITEM_REMOVE:
        // The item asked after its own handler; it is no longer on the stack.
        RemoveItem(item);
        return true;
    }
    return false;
}

LRESULT MainDeskWindow::OnTimer(WPARAM id) {
    switch (id) {
    case TIMER_FINISH_STARTUP:
        KillTimer(hwnd, TIMER_FINISH_STARTUP);
        return 0;
    case TIMER_FIRST_PAINT:
        KillTimer(hwnd, TIMER_FIRST_PAINT);
        RedrawDeskView(0);
        // The frame skin is decoded now, while nothing waits, not by the first picture shown.
        PictureItem::PrepareSkins();
        break;
    case TIMER_SCROLL_LEFT:
    case TIMER_SCROLL_RIGHT:
        ScrollTimer(id == TIMER_SCROLL_LEFT);
        break;
    case TIMER_AUTOSAVE:
        saver.OnTimer();
        return 0;
    case TIMER_DESK_BUILD:
        live.LoopTurn(false);
        return 0;
    }
    return Default();
}

// The program's own messages (DeskMessages.h); false for others.
bool MainDeskWindow::OnDeskMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == DeskTray::TaskbarCreatedMessage() && msg != 0) {
        // Explorer has started again and knows no icon: ours goes back.
        tray.Readd();
        return true;
    }
    switch (msg) {
    case WM_DESK_TRAY: OnTrayMessage(lp); return true;
    case WM_DESK_HOTKEY_TAKEN: ReportShowHideKeyTaken(); return true;
    case WM_DESK_REPORT_DAMAGED: storeStartup.Report(); return true;
    case WM_DESK_START_NOTICES: ShowStartNotices(hwnd); return true;
    case WM_DESK_RAISE_ITEMS: RaiseItems(); return true;
    case WM_DESK_BUILD_TURN: live.LoopTurn(true); return true;
    case WM_DESK_REDRAW: RedrawDeskView(0); return true;
    case WM_DESK_KEY: RunDeskKey(DeskKeyCommand{(DeskKey)wp, (uint32_t)lp}); return true;
    case WM_DESK_SHOW_ABOUT:
        if (about && about->hwnd) ShowWindow(about->hwnd, SW_SHOW);
        return true;
    case WM_DESK_EXIT: OnExit(); return true;
    }
    return false;
}

LRESULT MainDeskWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (startupPending && NeedsWholeStartup(msg, wp)) FinishStartup();
    if (OnItemMessage(msg, wp, lp) || clipboard.OnMessage(msg, wp, lp) || OnDeskMessage(msg, wp, lp)) return 0;
    switch (msg) {
    case WM_HOTKEY:
        if ((int)wp == kShowHideHotKey) ShowItems(live.Hidden());
        return 0;
    case WM_PAINT:
        OnPaint();
        // A timer, not a posted message: it comes once the thread has nothing else to do, and
        // by then the frame has reached the screen (Wine shows a window's pixels when its thread
        // goes idle; start-up work right behind the paint would hold them back).
        if (startupPending) SetTimer(hwnd, TIMER_FINISH_STARTUP, USER_TIMER_MINIMUM, nullptr);
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_QUERYDRAGICON:
        return (LRESULT)icon;
    case WM_TIMER:
        return OnTimer(wp);
    case WM_LBUTTONDOWN: {
        POINT pt{(short)LOWORD(lp), (short)HIWORD(lp)};
        bool stripHit = HandleStripClick(pt);
        PostMessageA(hwnd, WM_DESK_RAISE_ITEMS, 0, 0);
        if (!stripHit && pt.y < 50) PostMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, PackPoint(pt.x, pt.y));
        return Default();
    }
    case WM_LBUTTONUP:
        EndArrowHold();
        return Default();
    case WM_CAPTURECHANGED:
        // The hold of an arrow ends however the capture was lost (Alt+Tab, another window took it);
        // otherwise its timer would go on scrolling with the button drawn pressed.
        if ((HWND)lp != hwnd && (leftArrowHeld || rightArrowHeld)) EndArrowHold();
        return Default();
    case WM_SYSCOMMAND:
        // The view is a fixed 800x500: there is no maximised state (the task bar's menu offers it).
        if ((wp & 0xFFF0) == SC_MAXIMIZE) return 0;
        return Default();
    case WM_ACTIVATE: {
        if (LOWORD(wp) != WA_INACTIVE) PostMessageA(hwnd, WM_DESK_RAISE_ITEMS, 0, 0);
        LRESULT r = Default();
        if (LOWORD(wp) != WA_INACTIVE) TakeKeyboard();
        return r;
    }
    case WM_SIZE:
        if (wp == SIZE_MAXIMIZED) PostMessageA(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        return 0;
    case WM_DROPFILES:
        import.Drop((HDROP)wp);
        return 0;
    case WM_QUERYENDSESSION:
        // Windows is ending the session: save now, the process may not get another chance.
        return saver.OnQueryEndSession();
    case WM_ENDSESSION:
        saver.OnEndSession(wp != 0);
        return 0;
    case WM_DESTROY:
        tray.Remove();
        if (hotKeyRegistered) UnregisterHotKey(hwnd, kShowHideHotKey);
        hotKeyRegistered = false;
        RemovePropA(hwnd, InstanceName);
        ole.reset();
        return Default();
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp))) return 0;
        break;
    }
    return Dialog::WndProc(msg, wp, lp);
}

bool MainDeskWindow::OnCommand(UINT id) {
    switch (id) {
    case ID_IMPORT_MOVIE: import.RunDialog(kItemMovie); return true;
    case ID_IMPORT_MUSIC: import.RunDialog(kItemMusic); return true;
    case ID_IMPORT_PICTURE: import.RunDialog(kItemPicture); return true;
    case ID_ADD_TEXT: notes.Add(); return true;
    case ID_DELETE_ITEM: OnDeleteItem(); return true;
    case ID_CREATE_DESK: OnCreateDesk(); return true;
    case ID_REMOVE_DESK: OnRemoveDesk(); return true;
    case ID_EXIT:
    case ID_CAPTION_CLOSE: OnExit(); return true;
    case ID_CAPTION_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); return true;
    }
    return OnTrayCommand(id);
}

bool MainDeskWindow::OnExit() {
    // Asked again while the question about a failed save is up: that question decides.
    if (saver.Exiting()) return true;
    if (!saver.SaveForExit()) return false;
    OnOK();
    return true;
}

void MainDeskWindow::OnCancel() { OnExit(); }

void MainDeskWindow::DestroyWindow() {
    KillTimer(hwnd, TIMER_SCROLL_LEFT);
    KillTimer(hwnd, TIMER_SCROLL_RIGHT);
    selection.Hide();
    live.Clear();
    undo.Clear();
    backBuffer.Reset();
    topBand.reset();
    bottomBand.reset();
    deskTile.reset();
    tabImage.Reset();
    selectedTabImage.Reset();
    leftArrowImage.Reset();
    rightArrowImage.Reset();
    if (about) about->DestroyWindow();
    about.reset();
    Dialog::DestroyWindow();
}

// ---------------------------------------------------------------------------------------------
// Desk collection

RECT MainDeskWindow::OuterRect(int* w, int* h) const {
    RECT m = WindowRect();
    if (w) *w = m.right - m.left;
    if (h) *h = m.bottom - m.top;
    return m;
}

SIZE MainDeskWindow::OuterSize() const { return NormalOuterSize(hwnd); }

void MainDeskWindow::RaiseItems() {
    // Not while a message is up: under X an item raised now would cover the box (see LiveDesk::LoopTurn).
    if (ShownUserMessage()) return;
    // The items belong above the main window in the order they stand in now (the user's own
    // stacking). Only those that have fallen below it are moved, in one batch, to just above it,
    // keeping their order; when none has, nothing is restacked but the media cards (below), so a
    // click on a desk of hundreds of pictures and notes costs no more than on an empty one.
    struct Shown {
        HWND window;
        bool media;
    };
    std::vector<Shown> above;
    std::vector<HWND> below;
    bool mainSeen = false;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == hwnd) {
            mainSeen = true;
            continue;
        }
        if (GetWindow(w, GW_OWNER) != hwnd || !IsWindowVisible(w)) continue;
        DeskItem* item = live.At(live.IndexOf(w));
        if (!item) continue;
        // Items on top of everything or on the desktop stay in their own layer.
        if (item->Settings().layer != kLayerNormal) continue;
        if (mainSeen) {
            below.push_back(w);
        } else {
            above.push_back({w, item->ItemType() == kItemMovie || item->ItemType() == kItemMusic});
        }
    }
    std::vector<std::pair<HWND, HWND>> moves;  // window, the one it goes under
    // A media card's buttons, sliders and player float over it as windows of their own; under X
    // the window manager may have raised the card over them. Put back in its own place, the card
    // brings them along above it.
    for (size_t k = 0; k < above.size(); k++)
        if (above[k].media) moves.push_back({above[k].window, k == 0 ? HWND_TOP : above[k - 1].window});
    // Each fallen item goes under the one before it: the first under the lowest item still above.
    HWND after = above.empty() ? HWND_TOP : above.back().window;
    for (HWND w : below) {
        moves.push_back({w, after});
        after = w;
    }
    if (!moves.empty()) {
        HDWP batch = BeginDeferWindowPos((int)moves.size());
        for (auto& m : moves)
            if (batch)
                batch = DeferWindowPos(batch, m.first, m.second, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (batch) EndDeferWindowPos(batch);
    }
    UpdateSelection();
}

void MainDeskWindow::AppendItem(std::unique_ptr<DeskItem> item, RecordPtr record) {
    if (!item || model.currentDesk() >= model.DeskCount()) return;
    // A new item shows: so do the others (the user would not know where they went).
    if (live.Hidden()) ShowItems(true);
    live.Append(std::move(item), std::move(record));
    UpdateSelection();
    saver.Changed();
}

// ---------------------------------------------------------------------------------------------
// Commands

void MainDeskWindow::OnCreateDesk() {
    live.CreateDesk();
    RedrawDeskView(0);
    saver.Changed();
}

void MainDeskWindow::OnRemoveDesk() {
    if (model.currentDesk() >= model.DeskCount()) return;
    if (ShowUserMessage("Are you sure to remove current desk?", MB_YESNO) == IDNO) return;
    // Kept whole as it is now, so Ctrl+Z can bring it back.
    undo.PushDesk(live.TakeDesk());
    saver.Changed();
}

void MainDeskWindow::OnDeleteItem() { RemoveItem(live.Current()); }

void MainDeskWindow::RemoveItem(HWND window) {
    size_t i = live.IndexOf(window);
    if (i != SIZE_MAX && model.currentDesk() < model.DeskCount()) {
        // Its record as it would be saved now (place, text, file), kept for Ctrl+Z.
        undo.PushItem(live.Take(i));
        saver.Changed();
    }
    UpdateSelection();
    RedrawDeskView(0);
}

// ---------------------------------------------------------------------------------------------
// The desk's keys, stacking and undo

void MainDeskWindow::RunDeskKey(DeskKeyCommand key) {
    switch (key.key) {
    case DeskKey::kNone: return;
    case DeskKey::kDelete: OnDeleteItem(); return;
    case DeskKey::kCreateDesk: OnCreateDesk(); return;
    case DeskKey::kShowDesk: SwitchToDesk(key.desk); return;
    case DeskKey::kPreviousDesk: StepDesk(-1); return;
    case DeskKey::kNextDesk: StepDesk(+1); return;
    case DeskKey::kAddText: notes.Add(); return;
    case DeskKey::kImportPicture: import.RunDialog(kItemPicture); return;
    case DeskKey::kCopy: clipboard.Copy(); return;
    case DeskKey::kPaste: clipboard.Paste(); return;
    case DeskKey::kUndo: OnUndo(); return;
    }
}

void MainDeskWindow::SwitchToDesk(uint32_t d) {
    if (d >= model.DeskCount()) return;
    live.SelectDesk(d);
    model.ShowCurrentTab();
    saver.Changed();
}

void MainDeskWindow::StepDesk(int step) {
    if (live.StepDesk(step)) saver.Changed();
}

void MainDeskWindow::RestackItem(HWND window, bool toFront) {
    size_t i = live.IndexOf(window);
    if (!live.Move(i, toFront ? live.Count() - 1 : 0)) return;
    UpdateSelection();
    saver.Changed();
}

void MainDeskWindow::UpdateSelection() {
    DeskItem* item = live.At(live.IndexOf(live.Current()));
    // An item on the desktop lies under every window; a highlight around it would float over them.
    if (!item || item->Settings().layer == kLayerDesktop || !IsWindowVisible(hwnd) || IsIconic(hwnd)) {
        selection.Hide();
        return;
    }
    selection.Follow(live.Current(), hwnd);
}

void MainDeskWindow::OnUndo() {
    UndoStep step;
    if (!undo.Pop(&step)) return;
    if (step.kind == UndoStep::kItem) {
        if (live.PutBack(std::move(step.item)) == SIZE_MAX) return;
    } else {
        live.PutBackDesk(std::move(step.desk));
    }
    RedrawDeskView(0);
    UpdateSelection();
    saver.Changed();
}

// ---------------------------------------------------------------------------------------------
// Desk strip

bool MainDeskWindow::HandleStripClick(POINT pt) {
    StripHit hit = model.HitAt(pt.x, pt.y);
    switch (hit.kind) {
    case StripHit::kNothing: return false;
    case StripHit::kLeftArrow:
    case StripHit::kRightArrow: {
        bool left = hit.kind == StripHit::kLeftArrow;
        if (model.Scroll(left ? -1 : +1)) {
            SetTimer(hwnd, left ? TIMER_SCROLL_LEFT : TIMER_SCROLL_RIGHT, 200, nullptr);
            SetCapture(hwnd);
            (left ? leftArrowHeld : rightArrowHeld) = true;
            RedrawDeskView(1);
        }
        return true;
    }
    case StripHit::kTab: break;
    }
    live.SelectDesk(hit.desk);
    RedrawDeskView(1);
    saver.Changed();
    return true;
}

void MainDeskWindow::ScrollTimer(bool left) {
    if (model.Scroll(left ? -1 : +1)) RedrawDeskView(1);
}

void MainDeskWindow::EndArrowHold() {
    if (rightArrowHeld) {
        KillTimer(hwnd, TIMER_SCROLL_RIGHT);
        rightArrowHeld = false;
        ReleaseCapture();
    }
    if (leftArrowHeld) {
        KillTimer(hwnd, TIMER_SCROLL_LEFT);
        leftArrowHeld = false;
        ReleaseCapture();
    }
    RedrawDeskView(1);
}

}  // namespace sona
