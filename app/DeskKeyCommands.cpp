// The desk's keyboard, the selection highlight, stacking and undo: the commands that work on the
// desk shown as a whole rather than on one kind of item.
#include <cstdint>

#include "app/DeskIds.h"
#include "app/ItemDispatch.h"
#include "app/MainDeskWindow.h"

namespace sona {

size_t MainDeskWindow::LiveIndexOf(HWND window) const {
    if (!window) return SIZE_MAX;
    for (size_t i = 0; i < liveItems.size(); i++)
        if (liveItems[i] && liveItems[i]->ItemWindow() == window) return i;
    return SIZE_MAX;
}

bool MainDeskWindow::KeyBelongsToDesk(HWND target) const {
    // While any modal dialog runs the main window is disabled: its keys are the dialog's.
    if (!hwnd || !target || !IsWindowEnabled(hwnd)) return false;
    HWND root = GetAncestor(target, GA_ROOT);
    if (root == hwnd) return true;
    // An item, or a window an item floats over itself (a media item's buttons and player), but
    // never a dialog one of them opened: the note editor keeps every key for its text box.
    char cls[16] = {};
    GetClassNameA(root, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0) return false;
    for (HWND w = root; w && w != hwnd; w = GetWindow(w, GW_OWNER)) {
        size_t i = LiveIndexOf(w);
        if (i != SIZE_MAX) return IsWindowEnabled(w) != FALSE;
    }
    return false;
}

void MainDeskWindow::RunDeskKey(DeskKeyCommand key) {
    switch (key.key) {
    case DeskKey::kNone: return;
    case DeskKey::kDelete: OnDeleteItem(); return;
    case DeskKey::kCreateDesk: OnCreateDesk(); return;
    case DeskKey::kShowDesk: SwitchToDesk(key.desk); return;
    case DeskKey::kPreviousDesk: StepDesk(-1); return;
    case DeskKey::kNextDesk: StepDesk(+1); return;
    case DeskKey::kAddText: OnAddText(); return;
    case DeskKey::kImportPicture: OnImportPicture(); return;
    case DeskKey::kCopy: OnCopyItem(); return;
    case DeskKey::kPaste: OnPaste(); return;
    case DeskKey::kUndo: OnUndo(); return;
    }
}

void MainDeskWindow::SwitchToDesk(uint32_t d) {
    if (d >= model.DeskCount()) return;
    SyncCurrentDesk();
    model.SelectDesk(d);
    model.ShowCurrentTab();
    ShowCurrentDesk();
    DesksChanged();
}

void MainDeskWindow::StepDesk(int step) {
    if (model.currentDesk() >= model.DeskCount()) return;
    SyncCurrentDesk();
    if (!model.StepDesk(step)) return;
    ShowCurrentDesk();
    DesksChanged();
}

void MainDeskWindow::StackItemsInRecordOrder() {
    // Items on top of everything or on the desktop stay in their own layer.
    for (auto& item : liveItems)
        if (item && item->ItemWindow() && item->Settings().layer == kLayerNormal)
            SetWindowPos(item->ItemWindow(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateSelection();
}

void MainDeskWindow::StackInRecordOrder(size_t k) {
    HWND w = k < liveItems.size() && liveItems[k] ? liveItems[k]->ItemWindow() : nullptr;
    if (!w) return;
    // Under the nearest item after it in the records, or on top when none is shown.
    HWND after = HWND_TOP;
    for (size_t j = k + 1; j < liveItems.size(); j++)
        if (liveItems[j] && liveItems[j]->ItemWindow() && IsWindowVisible(liveItems[j]->ItemWindow())) {
            after = liveItems[j]->ItemWindow();
            break;
        }
    SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainDeskWindow::RestackItem(HWND window, bool toFront) {
    // Records and windows are reordered together: a desk still being built is finished first.
    FinishDeskBuild();
    size_t i = LiveIndexOf(window);
    if (i == SIZE_MAX || i >= model.RecordCount() || liveItems.size() != model.RecordCount()) return;
    size_t to = toFront ? liveItems.size() - 1 : 0;
    // The windows about to be made anew keep their places and content.
    SyncCurrentDesk();
    if (!model.MoveRecord(i, to)) return;
    std::unique_ptr<DeskItem> moved = std::move(liveItems[i]);
    uint32_t type = liveItemTypes[i];
    liveItems.erase(liveItems.begin() + i);
    liveItemTypes.erase(liveItemTypes.begin() + i);
    liveItems.insert(liveItems.begin() + to, std::move(moved));
    liveItemTypes.insert(liveItemTypes.begin() + to, type);
    // Pictures and notes are made anew in the new order, as a desk switch makes them. Reordering
    // the old windows is not enough everywhere: under Wine a window the user has clicked becomes
    // one the X window manager stacks, and it can then no longer be ordered against the others.
    // Music and movies keep their windows, so they go on playing.
    SIZE outer = OuterSize();
    for (size_t k = 0; k < liveItems.size(); k++) {
        if (liveItemTypes[k] == kItemMovie || liveItemTypes[k] == kItemMusic) continue;
        RecordView record = model.RecordAt(k);
        if (!record || !liveItems[k] || !liveItems[k]->ItemWindow()) continue;
        bool wasCurrent = liveItems[k]->ItemWindow() == currentItem;
        liveItems[k].reset();
        liveItems[k] = RestoreOnScreen(record, outer, hwnd, ItemText(model.Store(), record));
        if (wasCurrent) currentItem = liveItems[k] ? liveItems[k]->ItemWindow() : nullptr;
    }
    StackItemsInRecordOrder();
    DesksChanged();
}

void MainDeskWindow::UpdateSelection() {
    size_t i = LiveIndexOf(currentItem);
    // An item on the desktop lies under every window; a highlight around it would float over them.
    bool onDesktop = i != SIZE_MAX && liveItems[i] && liveItems[i]->Settings().layer == kLayerDesktop;
    if (i == SIZE_MAX || onDesktop || !IsWindowVisible(hwnd) || IsIconic(hwnd)) {
        selection.Hide();
        return;
    }
    selection.Follow(currentItem, hwnd);
}

void MainDeskWindow::OnUndo() {
    UndoStep step;
    if (!undo.Pop(&step)) return;
    // The item brought back is made current at once: no desk is left half built.
    FinishDeskBuild();
    SyncCurrentDesk();
    uint32_t shown = model.currentDesk();
    if (step.kind == UndoStep::kItem) {
        size_t at = model.PutBackRecord(std::move(step.item));
        if (at == SIZE_MAX) return;
        if (model.currentDesk() == shown && liveItems.size() + 1 == model.RecordCount()) {
            // On the desk shown only the returning item is built: the others (a playing movie)
            // carry on as they are.
            RecordView record = model.RecordAt(at);
            liveItems.insert(liveItems.begin() + at, RestoreOnScreen(record, OuterSize(), hwnd, ItemText(model.Store(), record)));
            liveItemTypes.insert(liveItemTypes.begin() + at, record.type());
        } else {
            ShowCurrentDesk();
            FinishDeskBuild();
        }
        if (at < liveItems.size() && liveItems[at]) currentItem = liveItems[at]->ItemWindow();
        StackInRecordOrder(at);
    } else {
        // The desk comes back as a desk switch shows one: its windows a few per turn.
        model.PutBackDesk(std::move(step.desk));
        ShowCurrentDesk();
    }
    RedrawDeskView(0);
    UpdateSelection();
    DesksChanged();
}

}  // namespace sona
