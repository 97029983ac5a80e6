#include "app/DeskStrip.h"

namespace sona {

uint32_t DeskStripLayout::ScrollLimit(size_t desks) const {
    size_t s = slots > 0 ? (size_t)slots : 0;
    return desks + 2 > s ? (uint32_t)(desks + 2 - s) : 0;
}

uint32_t DeskStripLayout::FirstVisibleShowing(uint32_t desk, uint32_t first, size_t desks) const {
    if (!Scrolls(desks)) return 0;
    uint32_t cells = (uint32_t)TabCells();
    if (cells == 0) return 0;
    if (desk < first) first = desk;
    else if (desk >= first + cells) first = desk - cells + 1;
    uint32_t limit = ScrollLimit(desks);
    return first > limit ? limit : first;
}

}  // namespace sona
