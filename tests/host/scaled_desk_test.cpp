// A desk's item rectangles on a main window whose outer size follows the display's scale: the
// stored relative form does not change, items come back in proportion at another scale, and an
// item nobody touched is written back bit for bit through a restart at another scale and back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/DisplayScale.h"
#include "store/RelativeRect.h"

namespace sona {
namespace {

bool SameBits(const RelativeRect& a, const RelativeRect& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Items as a user lays them out at 100 %: inside the window, across its edges and beside it.
std::vector<RelativeRect> DeskLaidOutAt100() {
    const PixelRect shown[] = {
        {20, 60, 380, 330}, {400, 70, 712, 225}, {-150, -90, 250, 210}, {790, 480, 1100, 760},
        {333, 111, 334, 112}, {-801, 499, -1, 999},
    };
    std::vector<RelativeRect> desk;
    for (const PixelRect& r : shown) desk.push_back(SyncRelative(RelativeRect{0, 0, 0, 0}, r, 800, 500));
    return desk;
}

const int kDpis[] = {96, 120, 144, 168, 192, 240, 288};

// At every scale each side lies where the 100 % side lies times the scale, to the nearest pixel.
TEST(ScaledDesk, ItemsComeBackInProportionAtEveryScale) {
    std::vector<RelativeRect> desk = DeskLaidOutAt100();
    for (int dpi : kDpis) {
        DisplayScale s(dpi);
        int w = s.Px(800), h = s.Px(500);
        for (const RelativeRect& rel : desk) {
            PixelRect at100 = RectFromRelative(rel, 800, 500), scaled = RectFromRelative(rel, w, h);
            const int32_t one[] = {at100.left, at100.top, at100.right, at100.bottom};
            const int32_t got[] = {scaled.left, scaled.top, scaled.right, scaled.bottom};
            for (int i = 0; i < 4; i++)
                EXPECT_LE(std::abs(got[i] - s.Px(one[i])), 1) << "side " << i << " at " << dpi << " DPI";
        }
    }
}

// Shown at 150 % (and every other scale), written back untouched, then shown at 100 % again: the
// stored floats never change, so neither do the pixels at 100 %.
TEST(ScaledDesk, UntouchedItemsKeepTheirFloatsThroughAnotherScaleAndBack) {
    std::vector<RelativeRect> desk = DeskLaidOutAt100();
    for (int dpi : kDpis) {
        DisplayScale s(dpi);
        int w = s.Px(800), h = s.Px(500);
        for (const RelativeRect& stored : desk) {
            RelativeRect after = SyncRelative(stored, RectFromRelative(stored, w, h), w, h);
            EXPECT_TRUE(SameBits(after, stored)) << dpi << " DPI";
            RelativeRect back = SyncRelative(after, RectFromRelative(after, 800, 500), 800, 500);
            EXPECT_TRUE(SameBits(back, stored)) << dpi << " DPI, back at 100 %";
        }
    }
}

// An item moved at 150 % is stored for its new place there, and shows at 100 % where that place
// lies in proportion.
TEST(ScaledDesk, AnItemMovedAtAnotherScaleIsStoredInProportion) {
    DisplayScale s(144);
    int w = s.Px(800), h = s.Px(500);
    RelativeRect stored = DeskLaidOutAt100()[0];
    PixelRect moved = RectFromRelative(stored, w, h);
    moved.left += 30;
    moved.right += 30;
    RelativeRect after = SyncRelative(stored, moved, w, h);
    EXPECT_EQ(std::memcmp(&after.top, &stored.top, sizeof(float)), 0);
    EXPECT_EQ(std::memcmp(&after.bottom, &stored.bottom, sizeof(float)), 0);
    PixelRect at100 = RectFromRelative(after, 800, 500);
    EXPECT_EQ(at100.left, 20 + 20);  // 30 pixels at 150 % are 20 at 100 %
    EXPECT_EQ(at100.right, 380 + 20);
}

}  // namespace
}  // namespace sona
