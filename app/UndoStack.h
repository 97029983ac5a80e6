// What the removals of a session leave behind so they can be taken back: a removed item with its
// record as it was, a removed desk with all its records. Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>

#include "store/DeskStore.h"

namespace sona {

// One item taken off a desk: where it was and its record, the very bytes it had.
struct RemovedItem {
    uint32_t desk = 0;
    size_t index = 0;
    uint32_t type = 0;
    RecordPtr record;
    explicit operator bool() const { return record != nullptr; }
};

// One desk taken out of the strip, or (the only desk) emptied.
struct RemovedDesk {
    uint32_t desk = 0;
    bool onlyEmptied = false;
    DeskRecords records;
};

// One step back: either an item or a desk.
struct UndoStep {
    enum Kind { kItem, kDesk } kind = kItem;
    RemovedItem item;
    RemovedDesk desk;
};

// The last removals, newest on top; the oldest is forgotten once there are more than kDepth.
class UndoStack {
public:
    static constexpr size_t kDepth = 20;

    void Push(UndoStep step);
    void PushItem(RemovedItem item);
    void PushDesk(RemovedDesk desk);
    // The newest step, taken off; false when there is none.
    bool Pop(UndoStep* out);
    size_t Size() const { return steps.size(); }
    bool Empty() const { return steps.empty(); }
    void Clear() { steps.clear(); }

private:
    std::deque<UndoStep> steps;
};

}  // namespace sona
