#include "items/ItemSettings.h"

namespace sona {

ItemSettings SettingsFromTag(const ItemTag& tag) {
    ItemSettings s;
    s.layer = tag.layer <= kLayerDesktop ? tag.layer : kLayerNormal;
    s.opacity = tag.opacity >= 1 && tag.opacity <= 100 ? tag.opacity : 100;
    s.clickThrough = (tag.flags & kItemClickThrough) != 0;
    return s;
}

// Only the settings' own bits change: the extension key and any flag this program does not know
// stay as they were read.
ItemTag TagWithSettings(ItemTag tag, const ItemSettings& s) {
    tag.layer = s.layer;
    tag.opacity = s.opacity;
    tag.flags = uint8_t(s.clickThrough ? (tag.flags | kItemClickThrough) : (tag.flags & ~kItemClickThrough));
    return tag;
}

// An opacity between two steps moves to the next step in the wheel's direction.
uint8_t StepOpacity(uint8_t opacity, int delta) {
    const int n = int(sizeof kOpacitySteps);
    if (delta > 0) {
        for (int i = n - 1; i >= 0; i--)
            if (kOpacitySteps[i] > opacity) return kOpacitySteps[i];
        return kOpacitySteps[0];
    }
    if (delta < 0) {
        for (int i = 0; i < n; i++)
            if (kOpacitySteps[i] < opacity) return kOpacitySteps[i];
        return kOpacitySteps[n - 1];
    }
    return opacity;
}

}  // namespace sona
