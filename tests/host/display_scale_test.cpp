// Lengths, fonts and art choice at the display densities Windows offers.
#include <gtest/gtest.h>

#include "platform/DisplayScale.h"

namespace sona {
namespace {

TEST(MulDivRound, RoundsHalvesAwayFromZeroLikeWindows) {
    struct Case {
        int value, numerator, denominator, want;
    } cases[] = {
        {800, 144, 96, 1200}, {500, 120, 96, 625}, {34, 120, 96, 43},   // 42.5 rounds up
        {-34, 120, 96, -43},  {17, 144, 96, 26},   {-17, 144, 96, -26}, // -25.5 rounds down
        {1, 144, 96, 2},      {0, 144, 96, 0},     {7, 96, 96, 7},      {5, -3, 2, -8},
        {5, 3, -2, -8},       {-5, -3, 2, 8},      {1, 1, 0, -1},       {0x40000000, 8, 1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDivRound(c.value, c.numerator, c.denominator), c.want)
            << c.value << " * " << c.numerator << " / " << c.denominator;
}

TEST(DisplayScale, MainWindowAndSmallMeasuresAtEachDensity) {
    struct Case {
        int dpi, width, height, tab, oneUnit, font9pt;
    } cases[] = {
        {96, 800, 500, 34, 1, -12},   {120, 1000, 625, 43, 1, -15}, {144, 1200, 750, 51, 2, -18},
        {168, 1400, 875, 60, 2, -21}, {192, 1600, 1000, 68, 2, -24}, {240, 2000, 1250, 85, 3, -30},
        {288, 2400, 1500, 102, 3, -36},
    };
    for (const Case& c : cases) {
        DisplayScale s(c.dpi);
        EXPECT_EQ(s.Px(800), c.width) << c.dpi;
        EXPECT_EQ(s.Px(500), c.height) << c.dpi;
        EXPECT_EQ(s.Px(34), c.tab) << c.dpi;
        EXPECT_EQ(s.Px(1), c.oneUnit) << c.dpi;
        EXPECT_EQ(s.FontHeight(9), c.font9pt) << c.dpi;
        EXPECT_EQ(s.Units(s.Px(800)), 800) << c.dpi;
        EXPECT_EQ(s.Units(s.Px(-360)), -360) << c.dpi;
    }
}

// A failed density query (0) or nonsense gives 100 %, never a zero-sized window.
TEST(DisplayScale, BadDensityCountsAsUnitDensity) {
    for (int bad : {0, -96, -1}) {
        DisplayScale s(bad);
        EXPECT_EQ(s.dpi, kUnitDpi);
        EXPECT_EQ(s.Px(800), 800);
        EXPECT_EQ(s.ArtPercent(), 100);
    }
}

// Drawn scales are used as they are; any other takes the next larger drawn art (reduced), and
// beyond the largest the largest: never a smaller image stretched up.
TEST(DisplayScale, ArtIsTheDrawnScaleOrTheNextLarger) {
    struct Case {
        int dpi, percent;
        bool exact;
    } cases[] = {
        {72, 100, false}, {96, 100, true},  {97, 125, false}, {110, 125, false}, {120, 125, true},
        {121, 150, false}, {144, 150, true}, {168, 175, true}, {180, 200, false}, {192, 200, true},
        {216, 250, false}, {240, 250, true}, {264, 300, false}, {288, 300, true}, {384, 300, false},
    };
    for (const Case& c : cases) {
        DisplayScale s(c.dpi);
        EXPECT_EQ(s.ArtPercent(), c.percent) << c.dpi;
        EXPECT_EQ(s.ArtExact(), c.exact) << c.dpi;
        if (c.dpi <= 288) {
            EXPECT_GE(s.ArtPercent() * kUnitDpi, c.dpi * 100) << c.dpi;
        }
    }
}

// An image drawn for a scale is exactly as large as the window measures at that scale, so the
// art lines up with what the program lays out around it.
TEST(DisplayScale, ArtSizeEqualsTheScaledMeasure) {
    const int dpis[] = {96, 120, 144, 168, 192, 240, 288};
    const int sides[] = {1, 11, 16, 17, 20, 21, 25, 34, 35, 50, 64, 68, 123, 155, 355, 600, 800, 1024};
    for (int dpi : dpis)
        for (int side : sides) EXPECT_EQ(ArtPixels(side, DisplayScale(dpi).ArtPercent()), DisplayScale(dpi).Px(side));
}

}  // namespace
}  // namespace sona
