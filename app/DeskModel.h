// The desks without a window: every desk's records, which desk is shown, the tab strip's
// arithmetic and scroll position, and the conversion between an item's pixels and the relative
// rectangle its record keeps. Portable: no windows.h. The main window owns one and adds the
// live item windows, the messages and the painting.
#pragma once
#include <cstddef>
#include <cstdint>

#include "app/DeskStrip.h"
#include "app/UndoStack.h"
#include "store/DeskStore.h"
#include "store/RelativeRect.h"

namespace sona {

// What a button-down on the tab strip lands on.
struct StripHit {
    enum Kind { kNothing, kLeftArrow, kRightArrow, kTab } kind = kNothing;
    uint32_t desk = 0;  // kTab: the desk whose tab was hit
};

class DeskModel {
public:
    // The strip in client pixels; its cells are squares as tall as the strip.
    static constexpr PixelRect kStrip{16, 9, 336, 43};

    // One DeskRecords per desk (each record with its type code), the desk shown and the desk in
    // the strip's first tab cell.
    const std::vector<DeskRecords>& desks() const { return store.desks; }
    uint32_t currentDesk() const { return store.currentDesk; }
    uint32_t firstVisibleDesk() const { return firstVisible; }
    size_t DeskCount() const { return store.desks.size(); }
    // What is loaded from and saved to the store files.
    DeskCollection& Store() { return store; }
    const DeskCollection& Store() const { return store; }

    // Strip geometry.
    int CellSize() const { return kStrip.bottom - kStrip.top; }
    int Slots() const { return Layout().slots; }
    bool Scrolls() const { return Layout().Scrolls(DeskCount()); }
    uint32_t ScrollLimit() const { return Layout().ScrollLimit(DeskCount()); }
    // Whose tab, or which arrow, is under client point (x, y).
    StripHit HitAt(int x, int y) const;
    // One step left (-1) or right (+1) while the strip scrolls; false when it cannot move.
    bool Scroll(int step);
    // Moves the strip, if it scrolls, as little as needed to show the current desk's tab.
    void ShowCurrentTab();

    // Desks. A new desk is appended, shown, and its tab scrolled into view.
    void CreateDesk();
    // Empties the shown desk and takes it out unless it is the only one; the desk after it (or
    // before it, at the end) is shown and the strip stays in range.
    void RemoveCurrentDesk();
    // Shows desk d; false (nothing changes) when there is no such desk.
    bool SelectDesk(uint32_t d);
    // Shows the desk `step` places before (-1) or after (+1) the shown one and scrolls its tab into
    // view; false (nothing changes) past the first or the last desk.
    bool StepDesk(int step);
    // Takes the shown desk out as RemoveCurrentDesk does and hands back what it held, so that
    // PutBackDesk can return it whole.
    RemovedDesk TakeCurrentDesk();
    // Returns a desk taken out to its place in the strip (its records before any added since,
    // when it was the only desk and so only emptied) and shows it.
    void PutBackDesk(RemovedDesk desk);
    // Brings the shown desk below the number of desks.
    void ClampCurrentDesk();
    // Frees every desk; the shown desk's number is kept.
    void Clear();

    // Records of the shown desk (none when no desk is shown).
    size_t RecordCount() const;
    RecordView RecordAt(size_t index);
    // Takes click-through off every record of every desk; true when one had it.
    bool ClearClickThrough();
    uint32_t TypeAt(size_t index) const;
    void AppendRecord(uint32_t type, RecordPtr record);
    // False when there is no record at index.
    bool RemoveRecord(size_t index);
    // Takes record `index` of the shown desk out, its bytes untouched; an empty item when there
    // is no such record.
    RemovedItem TakeRecord(size_t index);
    // Puts a taken record back on its desk at its index (the end, if the desk has fewer records
    // now), shows that desk and returns the index it went to. A desk that is gone takes it to
    // the last desk; with no desk at all nothing happens and the result is SIZE_MAX.
    size_t PutBackRecord(RemovedItem item);
    // Moves record `from` of the shown desk to index `to`, the others keeping their order. Records
    // are drawn in order, so the last one lies on top. False when either index is out of range.
    bool MoveRecord(size_t from, size_t to);

    // An item's rectangle on a main window of outer size w x h, from its record.
    static PixelRect PlaceOf(const RecordView& record, int32_t w, int32_t h);
    // Writes a window now at `now` into the record: a side still where the record puts it keeps
    // its stored value bit for bit (SyncRelative).
    static void SyncPlace(const RecordView& record, const PixelRect& now, int32_t w, int32_t h);
    // Writes `now` into the record afresh (a new item).
    static void SetPlace(const RecordView& record, const PixelRect& now, int32_t w, int32_t h);

private:
    DeskStripLayout Layout() const;
    bool HasCurrentDesk() const { return store.currentDesk < store.desks.size(); }

    DeskCollection store;
    uint32_t firstVisible = 0;
};

}  // namespace sona
