#include "items/HitZone.h"

namespace sona {

// Tells whether a client point falls inside the deflated rectangle that drags the window.
bool InMoveArea(int x, int y, int w, int h) {
    const int b = kResizeBandWidth;
    return x >= b && x < w - b && y >= b && y < h - b;
}

// Tells whether a client point falls in the outer band that resizes the window.
bool InResizeBand(int x, int y, int w, int h) {
    bool inClient = x >= 0 && x < w && y >= 0 && y < h;
    return inClient && !InMoveArea(x, y, w, h);
}

// Classifies a band point into one of the eight resize zones.
HitZone ResizeZoneAt(int x, int y, int w, int h) {
    HitZone zone;
    if (!InResizeBand(x, y, w, h)) return zone;
    // The right and bottom thresholds sit 65 pixels in (the deflated size minus 25), so the lower
    // and right corners reach further along the edges than the upper-left ones. Each test stands
    // on its own and a later match wins; the conditions never overlap, and points on the
    // borders between them (x < 20 with y == 25, for one) stay unmatched on purpose.
    const int right = w - 65, bottom = h - 65;
    if (x < 20 && y > 25 && y < bottom) zone = {kHitLeft, ZoneCursor::kSizeWE};
    if (x < 25 && y < 25) zone = {kHitTopLeft, ZoneCursor::kSizeNWSE};
    if (x < 25 && y > bottom) zone = {kHitBottomLeft, ZoneCursor::kSizeNESW};
    if (x > 25 && x < right && y < 20) zone = {kHitTop, ZoneCursor::kSizeNS};
    if (x > 25 && x < right && y > bottom) zone = {kHitBottom, ZoneCursor::kSizeNS};
    if (x > right && y < 25) zone = {kHitTopRight, ZoneCursor::kSizeNESW};
    if (x > right && y > bottom) zone = {kHitBottomRight, ZoneCursor::kSizeNWSE};
    if (x > w - 60 && y > 25 && y < bottom) zone = {kHitRight, ZoneCursor::kSizeWE};
    return zone;
}

}  // namespace sona
