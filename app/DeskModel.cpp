#include "app/DeskModel.h"

namespace sona {

DeskStripLayout DeskModel::Layout() const {
    int h = CellSize();
    return DeskStripLayout{h > 0 ? (kStrip.right - kStrip.left) / h : 0};
}

StripHit DeskModel::HitAt(int x, int y) const {
    int h = CellSize();
    if (h <= 0 || y < kStrip.top || y >= kStrip.bottom || x < kStrip.left) return {};
    int cell = (x - kStrip.left) / h;
    int slots = Slots();
    if (cell >= slots) return {};
    bool scrolls = Scrolls();
    if (scrolls && cell == 0) return StripHit{StripHit::kLeftArrow, 0};
    if (scrolls && cell == slots - 1) return StripHit{StripHit::kRightArrow, 0};
    size_t d = scrolls ? firstVisible + (size_t)(cell - 1) : (size_t)cell;
    if (d >= DeskCount()) return {};
    return StripHit{StripHit::kTab, (uint32_t)d};
}

bool DeskModel::Scroll(int step) {
    if (step < 0 && firstVisible > 0) {
        firstVisible--;
        return true;
    }
    if (step > 0 && firstVisible < ScrollLimit()) {
        firstVisible++;
        return true;
    }
    return false;
}

void DeskModel::ShowCurrentTab() { firstVisible = Layout().FirstVisibleShowing(store.currentDesk, firstVisible, DeskCount()); }

void DeskModel::CreateDesk() {
    store.desks.emplace_back();
    store.deskTypes.emplace_back();
    store.currentDesk = (uint32_t)DeskCount() - 1;
    if (Scrolls()) firstVisible = ScrollLimit();
}

void DeskModel::RemoveCurrentDesk() {
    if (!HasCurrentDesk()) return;
    uint32_t d = store.currentDesk;
    store.desks[d].clear();
    store.deskTypes[d].clear();
    if (DeskCount() > 1) {
        store.desks.erase(store.desks.begin() + d);
        store.deskTypes.erase(store.deskTypes.begin() + d);
    }
    if (store.currentDesk >= DeskCount() && store.currentDesk > 0) store.currentDesk--;
    // No tab cell may name a desk that is gone, and the shown desk's tab stays in view.
    ShowCurrentTab();
}

bool DeskModel::SelectDesk(uint32_t d) {
    if (d >= DeskCount()) return false;
    store.currentDesk = d;
    return true;
}

void DeskModel::ClampCurrentDesk() { sona::ClampCurrentDesk(&store); }

void DeskModel::Clear() { ClearAllDesks(&store); }

size_t DeskModel::RecordCount() const { return HasCurrentDesk() ? store.desks[store.currentDesk].size() : 0; }

RecordView DeskModel::RecordAt(size_t index) {
    if (index >= RecordCount()) return RecordView();
    return ViewRecord(store.deskTypes[store.currentDesk][index], store.desks[store.currentDesk][index].get());
}

uint32_t DeskModel::TypeAt(size_t index) const {
    return index < RecordCount() ? store.deskTypes[store.currentDesk][index] : 0;
}

void DeskModel::AppendRecord(uint32_t type, RecordPtr record) {
    if (!HasCurrentDesk()) return;
    store.desks[store.currentDesk].push_back(std::move(record));
    store.deskTypes[store.currentDesk].push_back(type);
}

bool DeskModel::RemoveRecord(size_t index) {
    if (index >= RecordCount()) return false;
    DeskRecords& records = store.desks[store.currentDesk];
    DeskTypes& types = store.deskTypes[store.currentDesk];
    records.erase(records.begin() + index);
    types.erase(types.begin() + index);
    return true;
}

PixelRect DeskModel::PlaceOf(const RecordView& record, int32_t w, int32_t h) {
    const RelativeRect* rel = record.rect();
    return rel ? RectFromRelative(*rel, w, h) : PixelRect{0, 0, 0, 0};
}

void DeskModel::SyncPlace(const RecordView& record, const PixelRect& now, int32_t w, int32_t h) {
    if (RelativeRect* rel = record.rect()) *rel = SyncRelative(*rel, now, w, h);
}

void DeskModel::SetPlace(const RecordView& record, const PixelRect& now, int32_t w, int32_t h) {
    if (RelativeRect* rel = record.rect())
        *rel = RelativeRect{ToRelative(now.left, w), ToRelative(now.top, h), ToRelative(now.right, w),
                            ToRelative(now.bottom, h)};
}

}  // namespace sona
