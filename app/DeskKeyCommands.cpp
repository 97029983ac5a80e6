// The desk's keyboard, the selection highlight, stacking and undo: the commands that work on the
// desk shown as a whole rather than on one kind of item.
#include <cstdint>

#include "app/DeskIds.h"
#include "app/MainDeskWindow.h"

namespace sona {

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
        if (live.IndexOf(w) != SIZE_MAX) return IsWindowEnabled(w) != FALSE;
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
    live.SelectDesk(d);
    model.ShowCurrentTab();
    DesksChanged();
}

void MainDeskWindow::StepDesk(int step) {
    if (live.StepDesk(step)) DesksChanged();
}

void MainDeskWindow::RestackItem(HWND window, bool toFront) {
    size_t i = live.IndexOf(window);
    if (!live.Move(i, toFront ? live.Count() - 1 : 0)) return;
    UpdateSelection();
    DesksChanged();
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
    DesksChanged();
}

}  // namespace sona
