// The resize-band zone table of desk items, point by point.
#include <gtest/gtest.h>

#include "items/HitZone.h"

using namespace sona;

namespace {

struct ZoneCase {
    int x, y;
    int32_t code;
    ZoneCursor cursor;
};

// A 400 by 300 client area: thresholds right 335, bottom 235, right edge x > 340.
const ZoneCase kCases400x300[] = {
    {5, 100, kHitLeft, ZoneCursor::kSizeWE},
    {19, 26, kHitLeft, ZoneCursor::kSizeWE},
    {19, 234, kHitLeft, ZoneCursor::kSizeWE},
    {5, 5, kHitTopLeft, ZoneCursor::kSizeNWSE},
    {24, 19, kHitTopLeft, ZoneCursor::kSizeNWSE},
    {5, 290, kHitBottomLeft, ZoneCursor::kSizeNESW},
    {10, 236, kHitBottomLeft, ZoneCursor::kSizeNESW},
    {200, 5, kHitTop, ZoneCursor::kSizeNS},
    {26, 19, kHitTop, ZoneCursor::kSizeNS},
    {334, 0, kHitTop, ZoneCursor::kSizeNS},
    {200, 295, kHitBottom, ZoneCursor::kSizeNS},
    {26, 299, kHitBottom, ZoneCursor::kSizeNS},
    {390, 5, kHitTopRight, ZoneCursor::kSizeNESW},
    {336, 10, kHitTopRight, ZoneCursor::kSizeNESW},
    {390, 290, kHitBottomRight, ZoneCursor::kSizeNWSE},
    {336, 299, kHitBottomRight, ZoneCursor::kSizeNWSE},
    // 10 pixels from the right edge, 240 down: below the bottom threshold, so the corner.
    {390, 240, kHitBottomRight, ZoneCursor::kSizeNWSE},
    {390, 100, kHitRight, ZoneCursor::kSizeWE},
    {380, 26, kHitRight, ZoneCursor::kSizeWE},
    {399, 234, kHitRight, ZoneCursor::kSizeWE},
};

}  // namespace

TEST(HitZone, TableOn400x300) {
    for (const ZoneCase& c : kCases400x300) {
        HitZone z = ResizeZoneAt(c.x, c.y, 400, 300);
        EXPECT_EQ(z.code, c.code) << "(" << c.x << ", " << c.y << ")";
        EXPECT_EQ(z.cursor, c.cursor) << "(" << c.x << ", " << c.y << ")";
    }
}

TEST(HitZone, BottomRightReachesSixtyFivePixelsUpTheRightEdge) {
    EXPECT_EQ(ResizeZoneAt(390, 240, 400, 300).code, kHitBottomRight);
    EXPECT_NE(ResizeZoneAt(390, 240, 400, 300).code, kHitRight);
    EXPECT_EQ(ResizeZoneAt(390, 234, 400, 300).code, kHitRight);
}

TEST(HitZone, BorderPointsMatchNothing) {
    const int points[][2] = {
        {5, 25},     // x < 20, y exactly 25: neither left nor top-left
        {19, 25},
        {25, 5},     // x exactly 25 at the top: neither top-left nor top
        {25, 290},   // x exactly 25 at the bottom
        {335, 5},    // x exactly W - 65 at the top
        {335, 290},  // x exactly W - 65 at the bottom
        {5, 235},    // y exactly H - 65 on the left
        {390, 235},  // y exactly H - 65 on the right
        {390, 25},   // y exactly 25 on the right
        {22, 100},   // x between 20 and 25 is not in the band at mid height
    };
    for (auto& p : points) {
        HitZone z = ResizeZoneAt(p[0], p[1], 400, 300);
        EXPECT_EQ(z.code, kHitNone) << "(" << p[0] << ", " << p[1] << ")";
        EXPECT_EQ(z.cursor, ZoneCursor::kArrow);
    }
}

TEST(HitZone, InnerAreaMovesAndHasNoZone) {
    EXPECT_TRUE(InMoveArea(20, 20, 400, 300));
    EXPECT_TRUE(InMoveArea(379, 279, 400, 300));
    EXPECT_TRUE(InMoveArea(200, 240, 400, 300));
    EXPECT_FALSE(InMoveArea(380, 100, 400, 300));
    EXPECT_FALSE(InMoveArea(100, 280, 400, 300));
    EXPECT_FALSE(InMoveArea(19, 100, 400, 300));
    // The inner area is not in the band, even below the bottom threshold.
    EXPECT_FALSE(InResizeBand(200, 240, 400, 300));
    EXPECT_EQ(ResizeZoneAt(200, 240, 400, 300).code, kHitNone);
    EXPECT_EQ(ResizeZoneAt(200, 150, 400, 300).code, kHitNone);
}

TEST(HitZone, OutsideTheClientAreaIsNoBand) {
    EXPECT_FALSE(InResizeBand(-1, 100, 400, 300));
    EXPECT_FALSE(InResizeBand(400, 100, 400, 300));
    EXPECT_FALSE(InResizeBand(100, 300, 400, 300));
    EXPECT_EQ(ResizeZoneAt(400, 299, 400, 300).code, kHitNone);
}

TEST(HitZone, EveryBandPointOfASmallItemIsAtMostOneZone) {
    // At the 100 by 100 minimum the thresholds are 35; zones still never overlap, and each band
    // point outside the listed borders has a zone.
    int unmatched = 0;
    for (int y = 0; y < 100; y++)
        for (int x = 0; x < 100; x++) {
            if (!InResizeBand(x, y, 100, 100)) continue;
            if (ResizeZoneAt(x, y, 100, 100).code == kHitNone) unmatched++;
        }
    // Unmatched points lie only on the lines x or y equal to 25 or 35, or in the 20..25 gap
    // next to the left edge's vertical limits.
    for (int y = 0; y < 100; y++)
        for (int x = 0; x < 100; x++) {
            if (!InResizeBand(x, y, 100, 100)) continue;
            if (ResizeZoneAt(x, y, 100, 100).code != kHitNone) continue;
            bool border = x == 25 || y == 25 || x == 35 || y == 35 || (x >= 20 && x < 25) ||
                          (y >= 20 && y < 25) || (x > 35 && x <= 40);
            EXPECT_TRUE(border) << "(" << x << ", " << y << ")";
        }
    EXPECT_GT(unmatched, 0);
}

TEST(HitZone, SideAndCornerGroups) {
    EXPECT_TRUE(IsSideZone(kHitLeft));
    EXPECT_TRUE(IsSideZone(kHitRight));
    EXPECT_FALSE(IsSideZone(kHitTop));
    for (int32_t c : {kHitTop, kHitTopLeft, kHitTopRight, kHitBottom, kHitBottomLeft, kHitBottomRight})
        EXPECT_TRUE(IsVerticalOrCornerZone(c));
    EXPECT_FALSE(IsVerticalOrCornerZone(kHitLeft));
    EXPECT_FALSE(IsVerticalOrCornerZone(kHitRight));
    EXPECT_FALSE(IsVerticalOrCornerZone(kHitNone));
}
