// The arithmetic of the desk tab strip: how many cells it has, when it scrolls, how far, and which
// first desk keeps a given tab in view. Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>

namespace sona {

struct DeskStripLayout {
    int slots;  // cells in the strip (its width over its height, whole)

    // More desks than cells: the first and last cells become arrows and 2 cells fewer show tabs.
    bool Scrolls(size_t desks) const { return slots > 0 && desks > (size_t)slots; }
    // The largest first visible desk: the last desk then sits in the last tab cell.
    uint32_t ScrollLimit(size_t desks) const;
    // Tab cells while scrolling.
    int TabCells() const { return slots > 2 ? slots - 2 : 0; }
    // The first visible desk that shows the tab of `desk`, moving the strip as little as possible
    // from `first`, and never past the scroll limit (0 when the strip does not scroll).
    uint32_t FirstVisibleShowing(uint32_t desk, uint32_t first, size_t desks) const;
};

}  // namespace sona
