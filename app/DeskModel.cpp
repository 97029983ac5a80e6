#include "app/DeskModel.h"

#include "items/ItemSettings.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

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
    store.currentDesk = (uint32_t)DeskCount() - 1;
    if (Scrolls()) firstVisible = ScrollLimit();
}

void DeskModel::RemoveCurrentDesk() { TakeCurrentDesk(); }

RemovedDesk DeskModel::TakeCurrentDesk() {
    RemovedDesk out;
    if (!HasCurrentDesk()) return out;
    uint32_t d = store.currentDesk;
    out.desk = d;
    out.records = std::move(store.desks[d]);
    store.desks[d].clear();
    if (DeskCount() > 1) {
        store.desks.erase(store.desks.begin() + d);
    } else {
        out.onlyEmptied = true;
    }
    if (store.currentDesk >= DeskCount() && store.currentDesk > 0) store.currentDesk--;
    // No tab cell may name a desk that is gone, and the shown desk's tab stays in view.
    ShowCurrentTab();
    return out;
}

void DeskModel::PutBackDesk(RemovedDesk desk) {
    uint32_t d;
    if (desk.onlyEmptied && DeskCount() > 0) {
        // It stayed as an empty desk; whatever was put on it since lies above the old items.
        d = desk.desk < DeskCount() ? desk.desk : (uint32_t)DeskCount() - 1;
        DeskRecords& records = store.desks[d];
        records.insert(records.begin(), std::make_move_iterator(desk.records.begin()),
                       std::make_move_iterator(desk.records.end()));
    } else {
        d = desk.desk <= DeskCount() ? desk.desk : (uint32_t)DeskCount();
        store.desks.insert(store.desks.begin() + d, std::move(desk.records));
    }
    store.currentDesk = d;
    ShowCurrentTab();
}

bool DeskModel::StepDesk(int step) {
    if (!HasCurrentDesk() || step == 0) return false;
    int64_t d = (int64_t)store.currentDesk + step;
    if (d < 0 || d >= (int64_t)DeskCount()) return false;
    store.currentDesk = (uint32_t)d;
    ShowCurrentTab();
    return true;
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
    return store.desks[store.currentDesk][index].View();
}

bool DeskModel::ClearClickThrough() {
    bool changed = false;
    for (const DeskRecords& records : store.desks) {
        for (const StoredRecord& stored : records) {
            RecordView record = stored.View();
            ItemTag tag = record.Tag();
            ItemSettings s = SettingsFromTag(tag);
            if (!record || !s.clickThrough) continue;
            s.clickThrough = false;
            record.SetTag(TagWithSettings(tag, s));
            changed = true;
        }
    }
    return changed;
}

uint32_t DeskModel::TypeAt(size_t index) const {
    return index < RecordCount() ? store.desks[store.currentDesk][index].type : 0;
}

void DeskModel::AppendRecord(uint32_t type, RecordPtr record) {
    if (!HasCurrentDesk()) return;
    store.desks[store.currentDesk].push_back(StoredRecord{type, std::move(record)});
}

bool DeskModel::RemoveRecord(size_t index) {
    if (index >= RecordCount()) return false;
    DeskRecords& records = store.desks[store.currentDesk];
    records.erase(records.begin() + index);
    return true;
}

RemovedItem DeskModel::TakeRecord(size_t index) {
    RemovedItem out;
    if (index >= RecordCount()) return out;
    DeskRecords& records = store.desks[store.currentDesk];
    out.desk = store.currentDesk;
    out.index = index;
    out.type = records[index].type;
    out.record = std::move(records[index].bytes);
    records.erase(records.begin() + index);
    return out;
}

size_t DeskModel::PutBackRecord(RemovedItem item) {
    if (!item || DeskCount() == 0) return SIZE_MAX;
    uint32_t d = item.desk < DeskCount() ? item.desk : (uint32_t)DeskCount() - 1;
    DeskRecords& records = store.desks[d];
    size_t at = item.index < records.size() ? item.index : records.size();
    records.insert(records.begin() + at, StoredRecord{item.type, std::move(item.record)});
    store.currentDesk = d;
    ShowCurrentTab();
    return at;
}

bool DeskModel::MoveRecord(size_t from, size_t to) {
    size_t n = RecordCount();
    if (from >= n || to >= n) return false;
    DeskRecords& records = store.desks[store.currentDesk];
    if (from < to)
        std::rotate(records.begin() + from, records.begin() + from + 1, records.begin() + to + 1);
    else if (from > to)
        std::rotate(records.begin() + to, records.begin() + from, records.begin() + from + 1);
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
