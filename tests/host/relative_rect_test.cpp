// Item rectangles through the record's relative form and back.
#include <gtest/gtest.h>

#include <cstring>

#include "store/RelativeRect.h"

namespace sona {
namespace {

uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

// Every whole coordinate from -2 to +2 window sizes comes back exactly, for the sizes a main
// window has (800x500, odd sizes, a screen-sized one, a minimal one).
TEST(RelativeRect, EveryCoordinateWrittenComesBackExactly) {
    const int32_t extents[] = {1, 7, 160, 500, 513, 800, 801, 1024, 1920, 4096};
    for (int32_t e : extents) {
        int wrong = 0;
        for (int32_t x = -2 * e; x <= 2 * e; x++)
            if (FromRelative(ToRelative(x, e), e) != x && ++wrong < 5) ADD_FAILURE() << x << " at " << e;
        EXPECT_EQ(wrong, 0) << "extent " << e;
    }
}

// What the program itself writes for x 360 on an 800-wide window, and values a truncating
// restore got wrong.
TEST(RelativeRect, StoredValuesRoundToTheNearestPixel) {
    struct Case {
        float rel;
        int32_t extent, pixel;
    } cases[] = {
        {0.45f, 800, 360}, {0.3f, 500, 150}, {0.7f, 500, 350}, {0.29f, 800, 232}, {-0.45f, 800, -360},
        {0.0f, 800, 0},    {1.0f, 500, 500}, {0.4999f, 2, 1},  {1e30f, 800, 1000000000},
    };
    for (const Case& c : cases) EXPECT_EQ(FromRelative(c.rel, c.extent), c.pixel) << c.rel << " x " << c.extent;
    float nan;
    uint32_t nanBits = 0x7FC00000;
    std::memcpy(&nan, &nanBits, sizeof nan);
    EXPECT_EQ(FromRelative(nan, 800), 0);
}

// An untouched window writes back the very floats it was built from, even floats that no
// coordinate at this size would produce (written by a window of another size); a side that moved
// is written anew; a zero-sized main window keeps the record.
TEST(RelativeRect, SyncKeepsUntouchedSidesBitForBit) {
    const RelativeRect stored{0.4537f, 0.3011f, 0.7512f, 0.6623f};
    const int32_t w = 800, h = 500;
    PixelRect shown = RectFromRelative(stored, w, h);
    RelativeRect same = SyncRelative(stored, shown, w, h);
    EXPECT_EQ(Bits(same.left), Bits(stored.left));
    EXPECT_EQ(Bits(same.top), Bits(stored.top));
    EXPECT_EQ(Bits(same.right), Bits(stored.right));
    EXPECT_EQ(Bits(same.bottom), Bits(stored.bottom));

    PixelRect moved = shown;
    moved.left += 1;
    moved.bottom -= 3;
    RelativeRect after = SyncRelative(stored, moved, w, h);
    EXPECT_EQ(FromRelative(after.left, w), moved.left);
    EXPECT_EQ(FromRelative(after.bottom, h), moved.bottom);
    EXPECT_EQ(Bits(after.top), Bits(stored.top));
    EXPECT_EQ(Bits(after.right), Bits(stored.right));

    RelativeRect kept = SyncRelative(stored, PixelRect{1, 2, 3, 4}, 0, 0);
    EXPECT_EQ(std::memcmp(&kept, &stored, sizeof kept), 0);
}

// Two hundred visits of a desk (restore, then sync) leave an item where it was: no creep.
TEST(RelativeRect, RepeatedVisitsDoNotCreep) {
    RelativeRect rel{ToRelative(259, 800), ToRelative(131, 500), ToRelative(499, 800), ToRelative(311, 500)};
    const RelativeRect first = rel;
    for (int i = 0; i < 200; i++) rel = SyncRelative(rel, RectFromRelative(rel, 800, 500), 800, 500);
    EXPECT_EQ(std::memcmp(&rel, &first, sizeof rel), 0);
    PixelRect r = RectFromRelative(rel, 800, 500);
    EXPECT_EQ(r.left, 259);
    EXPECT_EQ(r.right - r.left, 240);
    EXPECT_EQ(r.bottom - r.top, 180);
}

}  // namespace
}  // namespace sona
