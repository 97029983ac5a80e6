#include "app/LiveDesk.h"

#include <algorithm>

#include "app/DeskMessages.h"
#include "app/ItemDispatch.h"
#include "platform/Stopwatch.h"
#include "platform/UserMessage.h"
#include "store/ItemText.h"

namespace sona {

namespace {

PixelRect WindowPlace(HWND window) {
    RECT r{};
    if (window) GetWindowRect(window, &r);
    return PixelRect{r.left, r.top, r.right, r.bottom};
}

// An item leaves the desk: its player stops, then its window goes while the object is whole.
void DropItem(std::unique_ptr<DeskItem>& item) {
    if (!item) return;
    item->StopIfPlaying();
    if (HWND w = item->ItemWindow()) ::DestroyWindow(w);
    item.reset();
}

bool IsMedia(const DeskItem* item) {
    return item && (item->ItemType() == kItemMovie || item->ItemType() == kItemMusic);
}

}  // namespace

RECT MoveIntoWorkArea(RECT r, const RECT& work) {
    int w = r.right - r.left, h = r.bottom - r.top;
    int x = r.left, y = r.top;
    if (x + w > work.right) x = work.right - w;
    if (x < work.left) x = work.left;
    if (y + h > work.bottom) y = work.bottom - h;
    if (y < work.top) y = work.top;
    return RECT{x, y, x + w, y + h};
}

RECT KeepOnScreen(RECT r) {
    if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) return r;
    MONITORINFO mi{sizeof mi};
    if (!GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi)) return r;
    return MoveIntoWorkArea(r, mi.rcWork);
}

std::unique_ptr<DeskItem> RestoreOnScreen(const RecordView& record, SIZE outer, HWND owner, const std::string& text) {
    PixelRect p = DeskModel::PlaceOf(record, outer.cx, outer.cy);
    RECT stored{p.left, p.top, p.right, p.bottom};
    RECT r = KeepOnScreen(stored);
    std::unique_ptr<DeskItem> item = RestoreDeskItem(record, r, owner, text);
    if (item && item->ItemWindow() && !EqualRect(&r, &stored)) {
        item->placeKept = true;
        GetWindowRect(item->ItemWindow(), &item->shownAt);
    }
    return item;
}

SIZE NormalOuterSize(HWND window) {
    // While the window is minimised its window rectangle is the small iconic one, and item
    // rectangles measured against that would be many times too large.
    WINDOWPLACEMENT wp{sizeof wp};
    if (window && GetWindowPlacement(window, &wp)) {
        const RECT& n = wp.rcNormalPosition;
        if (n.right > n.left && n.bottom > n.top) return SIZE{n.right - n.left, n.bottom - n.top};
    }
    RECT r{};
    if (window) GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

double LiveDesk::turnMs = 25.0;

LiveDesk::LiveDesk(DeskModel& m, const Window& o) : model(m), owner(o) {}

LiveDesk::~LiveDesk() = default;

size_t LiveDesk::IndexOf(HWND window) const {
    if (!window) return SIZE_MAX;
    for (size_t i = 0; i < items.size(); i++)
        if (items[i] && items[i]->ItemWindow() == window) return i;
    return SIZE_MAX;
}

// ---------------------------------------------------------------------------------------------
// Showing a desk

// Twenty picture windows take Wine a second or more to make and as long to take down, so neither
// happens in one go: the old desk's windows are hidden, then the new desk's are made in order, a
// few per turn of the message loop, then the hidden ones are destroyed the same way. The user sees
// what a one-go rebuild shows (the old items go, the new ones come in their order) while the main
// window keeps answering. The list gets its full length at once, windows still to come as empty
// entries, so entry i stays record i throughout.
void LiveDesk::Show() {
    // The new desk's items come visible: hiding was of the desk that was shown.
    hidden = false;
    for (auto& item : items) {
        if (!item) continue;
        item->StopIfPlaying();
        leaving.push_back(std::move(item));
    }
    items.clear();
    if (onShow) onShow();
    items.resize(model.RecordCount());
    nextToBuild = 0;
    remakeEnd = 0;
    building = true;
    // The click that switched has already drawn the desk view: the windows wait for the next turn.
    BuildTurn(false);
}

// One turn: hide the old windows, else make new ones, else destroy the hidden ones, each for
// about turnMs; then the next turn is asked for, behind any input that waits.
void LiveDesk::BuildTurn(bool mayBuild) {
    Stopwatch turn;
    auto spent = [&] { return turn.ElapsedMs(); };
    bool hiding = false;
    for (auto& item : leaving) {
        HWND w = item ? item->ItemWindow() : nullptr;
        if (!w || !IsWindowVisible(w)) continue;
        if (hiding && spent() >= turnMs) break;
        ShowWindow(w, SW_HIDE);
        hiding = true;
    }
    bool oldStillShown = false;
    for (auto& item : leaving)
        if (item && item->ItemWindow() && IsWindowVisible(item->ItemWindow())) oldStillShown = true;
    if (!oldStillShown && building && mayBuild) {
        while (BuildNext())
            if (spent() >= turnMs) break;
        if (nextToBuild >= items.size()) {
            building = false;
            if (onBuilt) onBuilt();
        }
    }
    if (!oldStillShown && !building) {
        while (!leaving.empty()) {
            leaving.pop_back();
            if (spent() >= turnMs) break;
        }
    }
    if (!building && leaving.empty()) return;
    // A posted message comes before input, so a chain of them would hold the user's clicks back
    // until the desk is done; a timer comes after them.
    if (GetQueueStatus(QS_INPUT) >> 16) {
        SetTimer(owner.hwnd, TIMER_DESK_BUILD, USER_TIMER_MINIMUM, nullptr);
    } else if (!turnPosted) {
        turnPosted = PostMessageA(owner.hwnd, WM_DESK_BUILD_TURN, 0, 0) != FALSE;
    }
}

// Item windows made while a message box is up would come above it: under X they are windows the
// window manager does not stack, and a new one goes on top of everything. The desk waits for the
// answer (the box is modal; nothing else can happen meanwhile).
void LiveDesk::LoopTurn(bool posted) {
    if (posted)
        turnPosted = false;
    else
        KillTimer(owner.hwnd, TIMER_DESK_BUILD);
    if (ShownUserMessage())
        SetTimer(owner.hwnd, TIMER_DESK_BUILD, 100, nullptr);
    else
        BuildTurn();
}

bool LiveDesk::BuildNext() {
    while (nextToBuild < items.size()) {
        size_t i = nextToBuild++;
        if (!model.RecordAt(i)) continue;
        if (items[i]) {
            // Added while the desk was being built.
            if (i >= remakeEnd) continue;
            if (!Remade(items[i].get())) {
                // A card of a reordered desk keeps its window: it goes on top now, so that the
                // windows made after it come above it.
                HWND w = items[i]->ItemWindow();
                if (w && items[i]->Settings().layer == kLayerNormal)
                    SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                continue;
            }
            Remake(i, Outer());
            return true;
        }
        items[i] = Restore(i, Outer());
        return true;
    }
    return false;
}

bool LiveDesk::Remade(const DeskItem* item) { return item && item->ItemWindow() && !IsMedia(item); }

void LiveDesk::Remake(size_t i, SIZE outer) {
    bool wasCurrent = items[i]->ItemWindow() == current;
    // The new window comes first, so the item never leaves the screen: the old one goes after.
    std::unique_ptr<DeskItem> fresh = Restore(i, outer);
    DropItem(items[i]);
    items[i] = std::move(fresh);
    if (wasCurrent) current = items[i] ? items[i]->ItemWindow() : nullptr;
}

std::unique_ptr<DeskItem> LiveDesk::Restore(size_t i, SIZE outer) {
    RecordView record = model.RecordAt(i);
    if (!record) return nullptr;
    return RestoreOnScreen(record, outer, owner.hwnd, ItemText(model.Store(), record));
}

void LiveDesk::FinishBuild() {
    while (Building()) BuildTurn();
    if (owner.hwnd) KillTimer(owner.hwnd, TIMER_DESK_BUILD);
}

// ---------------------------------------------------------------------------------------------
// Desks

void LiveDesk::CreateDesk() {
    Sync();
    model.CreateDesk();
    Show();
}

bool LiveDesk::SelectDesk(uint32_t d) {
    Sync();
    bool selected = model.SelectDesk(d);
    Show();
    return selected;
}

bool LiveDesk::StepDesk(int step) {
    if (model.currentDesk() >= model.DeskCount()) return false;
    Sync();
    if (!model.StepDesk(step)) return false;
    Show();
    return true;
}

RemovedDesk LiveDesk::TakeDesk() {
    // Kept whole as it is now; its windows go a few at a time.
    Sync();
    RemovedDesk desk = model.TakeCurrentDesk();
    Show();
    return desk;
}

void LiveDesk::PutBackDesk(RemovedDesk desk) {
    FinishBuild();
    Sync();
    // The desk comes back as a desk switch shows one: its windows a few per turn.
    model.PutBackDesk(std::move(desk));
    Show();
}

// ---------------------------------------------------------------------------------------------
// Items

void LiveDesk::Append(std::unique_ptr<DeskItem> item, RecordPtr record) {
    if (!item || model.currentDesk() >= model.DeskCount()) return;
    uint32_t type = item->ItemType();
    if (item->ItemWindow()) {
        current = item->ItemWindow();
        SIZE outer = Outer();
        DeskModel::SetPlace(ViewRecord(type, record.get()), WindowPlace(item->ItemWindow()), outer.cx, outer.cy);
    }
    items.push_back(std::move(item));
    model.AppendRecord(type, std::move(record));
    if (model.RecordCount() > 0) KeepItemText(*items.back(), model.RecordAt(model.RecordCount() - 1));
}

RemovedItem LiveDesk::Take(size_t i) {
    if (i >= items.size() || !items[i] || model.currentDesk() >= model.DeskCount()) return RemovedItem{};
    // Its record as it would be saved now (place, text, file).
    SyncItem(i);
    DropItem(items[i]);
    items.erase(items.begin() + i);
    if (i < nextToBuild) nextToBuild--;
    if (i < remakeEnd) remakeEnd--;
    return model.TakeRecord(i);
}

size_t LiveDesk::PutBack(RemovedItem item) {
    // The item brought back is made current at once: no desk is left half built.
    FinishBuild();
    Sync();
    uint32_t shown = model.currentDesk();
    size_t at = model.PutBackRecord(std::move(item));
    if (at == SIZE_MAX) return at;
    if (model.currentDesk() == shown && items.size() + 1 == model.RecordCount()) {
        // On the desk shown only the returning item is built: the others (a playing movie)
        // carry on as they are.
        items.insert(items.begin() + at, Restore(at, Outer()));
    } else {
        Show();
        FinishBuild();
    }
    if (at < items.size() && items[at]) current = items[at]->ItemWindow();
    StackInRecordOrder(at);
    return at;
}

bool LiveDesk::Move(size_t from, size_t to) {
    // Records and windows are reordered together: a desk still being built is finished first.
    FinishBuild();
    if (from >= items.size() || from >= model.RecordCount() || items.size() != model.RecordCount()) return false;
    // The windows about to be made anew keep their places and content.
    Sync();
    if (!model.MoveRecord(from, to)) return false;
    std::unique_ptr<DeskItem> moved = std::move(items[from]);
    items.erase(items.begin() + from);
    items.insert(items.begin() + to, std::move(moved));
    // Pictures and notes are made anew in the new order, as a desk switch makes them. Reordering
    // the old windows is not enough everywhere: under Wine a window the user has clicked becomes
    // one the X window manager stacks, and it can then no longer be ordered against the others.
    // A new window comes above the others, so only the moved item and those above it are made
    // anew, bottom first: one window for Bring to Front, the whole desk for Send to Back. The
    // moved one is made now; the rest a few per turn of the loop, as a desk switch builds, each
    // old window showing until its successor is up. Music and movies keep their windows, so they
    // go on playing.
    if (Remade(items[to].get())) Remake(to, Outer());
    if (to + 1 < items.size()) {
        nextToBuild = to + 1;
        remakeEnd = items.size();
        building = true;
        BuildTurn();
    } else {
        // On top now; a card, which kept its window, goes there too.
        StackInRecordOrder(to);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Records from windows

void LiveDesk::Sync() {
    SIZE outer = Outer();
    if (outer.cx <= 0 || outer.cy <= 0) return;
    for (size_t i = 0; i < items.size() && i < model.RecordCount(); i++) SyncItem(i, outer);
}

void LiveDesk::SyncItem(size_t i) { SyncItem(i, Outer()); }

void LiveDesk::SyncItem(size_t i, SIZE outer) {
    if (i >= items.size() || outer.cx <= 0 || outer.cy <= 0) return;
    DeskItem* item = items[i].get();
    // An item whose window could not be made has nothing to tell: its record stays as stored.
    RecordView record = model.RecordAt(i);
    if (!item || !item->ItemWindow() || !record) return;
    PixelRect now = WindowPlace(item->ItemWindow());
    RECT nowRect{now.left, now.top, now.right, now.bottom};
    if (item->placeKept && !EqualRect(&item->shownAt, &nowRect)) item->placeKept = false;
    if (!item->placeKept) DeskModel::SyncPlace(record, now, outer.cx, outer.cy);
    item->WriteRecord(record);
    KeepItemText(*item, record);
    // The settings go into the tag beside the extension key (just written above, and kept as it
    // is here); a record whose settings are unchanged keeps its bytes exactly.
    ItemTag tag = record.Tag();
    ItemSettings live = item->Settings();
    if (SettingsFromTag(tag) != live) record.SetTag(TagWithSettings(tag, live));
}

// The item's whole path or note text goes with its record: a field that cannot mislead and,
// where the field cannot hold it, the store's extension.
void LiveDesk::KeepItemText(const DeskItem& item, const RecordView& record) {
    std::string text;
    if (item.FullText(&text)) SetItemText(&model.Store(), record, text);
}

std::string LiveDesk::TextAt(size_t i) {
    RecordView record = model.RecordAt(i);
    if (!record) return std::string();
    return ItemText(model.Store(), record);
}

// ---------------------------------------------------------------------------------------------
// Windows as a whole

void LiveDesk::ShowAll(bool shown) {
    hidden = !shown;
    for (auto& item : items)
        if (item) item->ShowItem(shown);
}

void LiveDesk::StackInRecordOrder() {
    // Items on top of everything or on the desktop stay in their own layer.
    for (auto& item : items)
        if (item && item->ItemWindow() && item->Settings().layer == kLayerNormal)
            SetWindowPos(item->ItemWindow(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void LiveDesk::StackInRecordOrder(size_t k) {
    HWND w = k < items.size() && items[k] ? items[k]->ItemWindow() : nullptr;
    if (!w) return;
    // Under the nearest item after it in the records, or on top when none is shown.
    HWND after = HWND_TOP;
    for (size_t j = k + 1; j < items.size(); j++)
        if (items[j] && items[j]->ItemWindow() && IsWindowVisible(items[j]->ItemWindow())) {
            after = items[j]->ItemWindow();
            break;
        }
    SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void LiveDesk::TakeDown() {
    for (auto& item : items) DropItem(item);
    items.clear();
    leaving.clear();
    building = false;
    nextToBuild = 0;
    remakeEnd = 0;
    if (owner.hwnd) KillTimer(owner.hwnd, TIMER_DESK_BUILD);
}

void LiveDesk::Clear() {
    TakeDown();
    model.Clear();
}

}  // namespace sona
