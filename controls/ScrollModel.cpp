#include "controls/ScrollModel.h"

#include <algorithm>
#include <cmath>

namespace sona {

// Longer lists get shorter thumbs, but never shorter than 20 pixels of track.
void ScrollModel::SetRange(int r) {
    if (r < 1) {
        range = 0;
        return;
    }
    range = r;
    int t = TrackLength();
    int weight = (int)std::floor(std::sqrt((double)lineSize * (double)r));
    weight = std::min(weight, 100);
    thumbLength = t - (t - 20) * weight / 100;
}

// Keeps the thumb where the position says.
void ScrollModel::SetPosition(int p) {
    if (range == 0) {
        position = 0;
        return;
    }
    if (p < 0 || p > range) return;
    position = p;
    pixelsPerPosition = (double)(TrackLength() - thumbLength) / range;
    thumbTop = (int)std::floor(p * pixelsPerPosition) + kArrowHeight;
}

// The thumb follows the pointer but stays between the arrows.
int ScrollModel::DraggedThumbTop(int startThumbTop, int startY, int y) const {
    int top = startThumbTop - startY + y;
    int lowest = height - kArrowHeight - thumbLength;
    top = std::min(top, lowest);
    top = std::max(top, (int)kArrowHeight);
    return top;
}

// Computed in whole numbers: the division by pixels-per-position in floating point can land a
// hair below the range when the thumb sits at the very bottom.
int ScrollModel::PositionForThumbTop(int top) const {
    int free = TrackLength() - thumbLength;
    if (range < 1 || free <= 0) return 0;
    long long offset = top - kArrowHeight;
    long long scaled = offset * range;
    // Floor toward minus infinity for thumbs above the track.
    long long p = scaled >= 0 ? scaled / free : -((-scaled + free - 1) / free);
    return (int)p;
}

int ScrollModel::ApplyAction(int action, int t, int target) const {
    switch (action) {
    case kScrollLineUp: return t > 0 ? t - 1 : t;
    case kScrollLineDown: return t < range ? t + 1 : t;
    case kScrollPageUp: return std::max(t - kPageItems, 0);
    case kScrollPageDown: return std::min(t + kPageItems, range);
    case kScrollTo:
    case kScrollThumbTo: return target;
    case kScrollStart: return 0;
    case kScrollEnd: return range;
    default: return t;
    }
}

ScrollModel::Part ScrollModel::PartAt(int y) const {
    if (y < kArrowHeight) return Part::kUpArrow;
    if (y >= height - kArrowHeight) return Part::kDownArrow;
    if (y >= thumbTop && y < thumbTop + thumbLength) return Part::kThumb;
    return y < thumbTop ? Part::kTrackAbove : Part::kTrackBelow;
}

}  // namespace sona
