// An item's place among the other windows on the screen, its opacity and whether the mouse passes
// through it: what the record's tag keeps of them. Portable: no windows.h.
#pragma once
#include <cstdint>

#include "store/DeskRecords.h"

namespace sona {

// How an item sits among the other windows on the screen, as its record's tag keeps it.
struct ItemSettings {
    uint8_t layer = kLayerNormal;  // ItemLayer
    uint8_t opacity = 100;         // percent of the item's own alpha
    bool clickThrough = false;     // the mouse passes to whatever lies below
    bool operator==(const ItemSettings& o) const {
        return layer == o.layer && opacity == o.opacity && clickThrough == o.clickThrough;
    }
    bool operator!=(const ItemSettings& o) const { return !(*this == o); }
};

// The settings a record's tag holds, and the tag with `s` written into it (its other fields, the
// extension key among them, kept).
ItemSettings SettingsFromTag(const ItemTag& tag);
ItemTag TagWithSettings(ItemTag tag, const ItemSettings& s);

// The opacity steps of the item menu and of Ctrl + mouse wheel, most opaque first.
constexpr uint8_t kOpacitySteps[] = {100, 80, 60, 40, 20};
// The step `delta` steps more opaque (positive) or less (negative) than `opacity`, kept in range.
uint8_t StepOpacity(uint8_t opacity, int delta);

}  // namespace sona
