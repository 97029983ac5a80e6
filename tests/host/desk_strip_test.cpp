// The desk strip's scrolling arithmetic.
#include <gtest/gtest.h>

#include "app/DeskStrip.h"

namespace sona {
namespace {

TEST(DeskStrip, ScrollLimitsForOneToThirtyDesks) {
    DeskStripLayout strip{9};
    for (size_t n = 1; n <= 30; n++) {
        EXPECT_EQ(strip.Scrolls(n), n > 9) << n;
        if (strip.Scrolls(n)) EXPECT_EQ(strip.ScrollLimit(n), n - 7) << n;  // last desk in the last tab cell
    }
}

TEST(DeskStrip, FirstVisibleKeepsTheGivenTabInView) {
    DeskStripLayout strip{9};
    struct Case {
        uint32_t desk, first;
        size_t desks;
        uint32_t want;
    } cases[] = {
        {3, 5, 9, 0},     // nine desks: no scrolling, always 0
        {9, 0, 10, 3},    // the tenth desk stored as current: strip scrolls to show it
        {9, 3, 10, 3},    // already shown
        {0, 3, 10, 0},    // before the strip: it becomes the first tab
        {6, 0, 12, 0},    // the last tab cell already
        {7, 0, 12, 1},    // one past: move by one
        {11, 0, 12, 5},   // the last desk: the scroll limit
        {4, 20, 12, 4},   // a first desk past the limit (desks removed) comes back into range
        {10, 9, 11, 4},   // after a removal the limit shrank: clamped, the tab still shows
    };
    for (const Case& c : cases) {
        uint32_t first = strip.FirstVisibleShowing(c.desk, c.first, c.desks);
        EXPECT_EQ(first, c.want) << c.desk << " " << c.first << " " << c.desks;
        if (strip.Scrolls(c.desks)) {
            EXPECT_GE(c.desk, first);
            EXPECT_LT(c.desk, first + 7);
            EXPECT_LE(first, strip.ScrollLimit(c.desks));
        }
    }
}

}  // namespace
}  // namespace sona
