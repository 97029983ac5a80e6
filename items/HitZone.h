// Where a click or a pointer move lands on a desk item: the inner area that drags the window, or
// one of the eight resize zones of its outer band. Portable (no windows.h) so the table can be
// checked on the host; the numbers are the Windows hit-test codes.
#pragma once
#include <cstdint>

namespace sona {

// Windows hit-test codes used by the item windows (HTCAPTION, HTLEFT ... HTBOTTOMRIGHT).
enum HitTestCode : int32_t {
    kHitNone = 0,
    kHitCaption = 2,
    kHitLeft = 10,
    kHitRight = 11,
    kHitTop = 12,
    kHitTopLeft = 13,
    kHitTopRight = 14,
    kHitBottom = 15,
    kHitBottomLeft = 16,
    kHitBottomRight = 17,
};

// The system cursor a zone shows; the Windows side maps it to IDC_SIZEWE and friends.
enum class ZoneCursor : int32_t { kArrow, kSizeWE, kSizeNS, kSizeNWSE, kSizeNESW };

struct HitZone {
    int32_t code = kHitNone;  // kHitNone: the point matches no zone
    ZoneCursor cursor = ZoneCursor::kArrow;
};

// Width of the outer band that resizes; the rest of the client area drags.
constexpr int kResizeBandWidth = 20;

// True when (x, y) lies inside the client rectangle (0, 0, w, h) deflated by the band width, with
// the usual half-open rectangle rules. A click there moves the window.
bool InMoveArea(int x, int y, int w, int h);

// True when (x, y) lies in the client rectangle but outside the move area.
bool InResizeBand(int x, int y, int w, int h);

// The resize zone of a band point of a w by h client area. Points outside the band, and the few
// band points on the borders between zones, give kHitNone.
HitZone ResizeZoneAt(int x, int y, int w, int h);

// True for the codes that size from the top or bottom edge or a corner (the aspect lock then
// drives the width from the height).
inline bool IsVerticalOrCornerZone(int32_t code) { return code >= kHitTop && code <= kHitBottomRight; }
// True for the codes that size from the left or right edge (height follows width).
inline bool IsSideZone(int32_t code) { return code == kHitLeft || code == kHitRight; }

}  // namespace sona
