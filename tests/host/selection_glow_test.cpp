// The selection's highlight: transparent over the item, a firm outline against it, a glow that
// fades to nothing at the edge of its frame.
#include <gtest/gtest.h>

#include <vector>

#include "app/SelectionGlow.h"

namespace sona {
namespace {

using S = SelectionGlowStyle;

uint32_t Alpha(uint32_t px) { return px >> 24; }

TEST(SelectionGlow, AlphaByDistanceFromTheItem) {
    EXPECT_EQ(SelectionGlowAlpha(-3), 0);
    EXPECT_EQ(SelectionGlowAlpha(-0.1), 0);
    EXPECT_EQ(SelectionGlowAlpha(0), S::kOutlineAlpha);
    EXPECT_EQ(SelectionGlowAlpha(S::kOutline - 0.01), S::kOutlineAlpha);
    EXPECT_EQ(SelectionGlowAlpha(S::kOutline), S::kGlowAlpha);
    EXPECT_EQ(SelectionGlowAlpha(S::kMargin), 0);
    EXPECT_EQ(SelectionGlowAlpha(S::kMargin + 5), 0);
    // The glow only fades outwards.
    for (double d = S::kOutline; d < S::kMargin; d += 0.25) EXPECT_GE(SelectionGlowAlpha(d), SelectionGlowAlpha(d + 0.25)) << d;
}

TEST(SelectionGlow, FramePixels) {
    const int iw = 40, ih = 30, m = S::kMargin;
    const int w = iw + 2 * m, h = ih + 2 * m;
    std::vector<uint32_t> px((size_t)w * h, 0xDEADBEEF);
    PaintSelectionGlow(px.data(), w, h);
    auto at = [&](int x, int y) { return px[(size_t)y * w + x]; };
    // Over the item: nothing at all, so the item shows through and takes the clicks.
    for (int y = m; y < h - m; y++)
        for (int x = m; x < w - m; x++) ASSERT_EQ(at(x, y), 0u) << x << "," << y;
    // Against each side of the item: the outline, opaque enough to see.
    for (auto p : {std::make_pair(m - 1, h / 2), std::make_pair(w - m, h / 2), std::make_pair(w / 2, m - 1),
                   std::make_pair(w / 2, h - m)})
        EXPECT_EQ(Alpha(at(p.first, p.second)), S::kOutlineAlpha) << p.first << "," << p.second;
    // The frame's own edge: faded out; its corners too.
    for (auto p : {std::make_pair(0, h / 2), std::make_pair(w - 1, h / 2), std::make_pair(0, 0), std::make_pair(w - 1, h - 1)})
        EXPECT_LT(Alpha(at(p.first, p.second)), 8u) << p.first << "," << p.second;
    // Premultiplied accent: no channel above alpha, blue the strongest.
    uint32_t o = at(m - 1, h / 2);
    uint32_t a = o >> 24, r = (o >> 16) & 255, g = (o >> 8) & 255, b = o & 255;
    EXPECT_LE(r, a);
    EXPECT_LE(g, a);
    EXPECT_LE(b, a);
    EXPECT_GT(b, r);
    EXPECT_GT(b, g);
}

TEST(SelectionGlow, NothingToPaint) {
    PaintSelectionGlow(nullptr, 10, 10);
    uint32_t one = 7;
    PaintSelectionGlow(&one, 0, 1);
    EXPECT_EQ(one, 7u);
}

}  // namespace
}  // namespace sona
