// Media item geometry: the fit of the video, the satellite windows, the skin pieces and the disc.
#include <gtest/gtest.h>

#include "items/MediaLayout.h"

using namespace sona;

namespace {

MediaRect R(int l, int t, int r, int b) { return MediaRect{l, t, r, b}; }

TEST(FitSize, ZeroAnywhereGivesNothing) {
    EXPECT_EQ(FitSize(0, 10, 10, 10, true).cx, 0);
    EXPECT_EQ(FitSize(10, 0, 10, 10, true).cy, 0);
    EXPECT_EQ(FitSize(10, 10, 0, 10, false).cx, 0);
    EXPECT_EQ(FitSize(10, 10, 10, 0, false).cy, 0);
}

TEST(FitSize, SmallSourceKeepsItsSizeUnlessAlways) {
    MediaSize s = FitSize(100, 50, 400, 300, false);
    EXPECT_EQ(s.cx, 100);
    EXPECT_EQ(s.cy, 50);
    s = FitSize(100, 50, 400, 300, true);
    EXPECT_EQ(s.cx, 400);
    EXPECT_EQ(s.cy, 200);
}

TEST(FitSize, WiderSourceTouchesLeftAndRight) {
    MediaSize s = FitSize(1920, 1080, 341, 254, true);
    EXPECT_EQ(s.cx, 341);
    EXPECT_EQ(s.cy, 1080 * 341 / 1920);
}

TEST(FitSize, EqualOrNarrowerTouchesTopAndBottom) {
    MediaSize s = FitSize(1024, 768, 341, 254, true);
    EXPECT_EQ(s.cx, 338);
    EXPECT_EQ(s.cy, 254);
    s = FitSize(400, 300, 800, 600, true);
    EXPECT_EQ(s.cx, 800);
    EXPECT_EQ(s.cy, 600);
}

TEST(FitSize, LargeProductsDoNotOverflow) {
    MediaSize s = FitSize(40000, 30000, 60000, 50000, true);
    EXPECT_EQ(s.cx, 60000);
    EXPECT_EQ(s.cy, 45000);
}

TEST(MediaLayout, NewMovieOf379By350PlacesTheHostAt23_22To355_270) {
    const int l = 110, t = 160;
    MediaLayoutResult r = Layout(MediaKind::Movie, R(l, t, l + 379, t + 350), kDefaultVideoWidth, kDefaultVideoHeight);
    ASSERT_TRUE(r.hasHost);
    EXPECT_EQ(r.host, R(l + 23, t + 22, l + 355, t + 270));
    MediaRect box = MovieVideoBox(379, 350);
    EXPECT_EQ(box.Width(), 341);
    EXPECT_EQ(box.Height(), 254);
}

TEST(MediaLayout, MovieButtonsAndSlidersHangFromTheBottomCorners) {
    const int l = 10, t = 60, rr = 389, b = 410;
    MediaLayoutResult r = Layout(MediaKind::Movie, R(l, t, rr, b), 320, 240);
    ASSERT_EQ(r.buttonCount, 4);
    EXPECT_EQ(r.buttons[0], R(l + 18, b - 55, l + 53, b - 20));
    EXPECT_EQ(r.buttons[1], R(l + 61, b - 50, l + 82, b - 29));
    EXPECT_EQ(r.buttons[2], R(l + 95, b - 49, l + 116, b - 28));
    EXPECT_EQ(r.buttons[3], R(l + 121, b - 49, l + 142, b - 28));
    ASSERT_TRUE(r.hasSliders);
    EXPECT_EQ(r.positionSlider, R(l + 177, b - 44, rr - 112, b - 33));
    EXPECT_EQ(r.volumeSlider, R(rr - 73, b - 44, rr - 27, b - 33));
}

TEST(MediaLayout, VideoOf720By576IsCentredAcross) {
    // Box 341 x 254; 720/576 = 1.25 < 1.3425, so height-bound: 317 x 254, 12 pixels each side.
    MediaLayoutResult r = Layout(MediaKind::Movie, R(0, 0, 379, 350), 720, 576);
    EXPECT_EQ(r.host, R(19 + 12 + 3, 19 + 3, 19 + 12 + 317 - 3, 19 + 254 - 3));
}

TEST(MediaLayout, ATinyMovieGivesTheHostNoNegativeSize) {
    MediaLayoutResult r = Layout(MediaKind::Movie, R(0, 0, 30, 40), 320, 240);
    EXPECT_GE(r.host.Width(), 0);
    EXPECT_GE(r.host.Height(), 0);
}

TEST(MediaLayout, MusicCardOf260By130) {
    const int l = 210, t = 260;
    MediaLayoutResult r = Layout(MediaKind::Music, R(l, t, l + 260, t + 130), kDefaultVideoWidth, kDefaultVideoHeight);
    ASSERT_EQ(r.buttonCount, 3);
    EXPECT_EQ(r.buttons[0], R(l + 13, t + 28, l + 31, t + 48));
    EXPECT_EQ(r.buttons[1], R(l + 35, t + 28, l + 53, t + 48));
    EXPECT_EQ(r.buttons[2], R(l + 57, t + 28, l + 75, t + 48));
    EXPECT_FALSE(r.hasSliders);
    EXPECT_FALSE(r.hasHost);
    EXPECT_EQ(MusicDisc(260, 130), R(141, 9, 141 + 103, 9 + 103));
    EXPECT_EQ(MusicHighlight(260, 130), R(136, 6, 136 + 117, 6 + 117));
}

TEST(MediaLayout, MusicButtonCornersTruncateTowardZeroOffScreenLeft) {
    // 0.1 * 135 = 13.5: -100 + 13.5 = -86.5 truncates to -86, not -87.
    MediaLayoutResult r = Layout(MediaKind::Music, R(-100, -50, 160, 85), 0, 0);
    EXPECT_EQ(r.buttons[0].left, -86);
    // -50 + 29.7 = -20.3 truncates to -20.
    EXPECT_EQ(r.buttons[0].top, -20);
}

TEST(MediaLayout, MusicDiscAtTheCardsOwnSize) {
    EXPECT_EQ(MusicDisc(312, 155), R(231 - 62, 72 - 62, 231 + 62, 72 + 62));
}

TEST(MediaLayout, MovieFramePiecesInDrawingOrder) {
    SkinPiece p[kMovieFramePieces];
    MovieFrame(400, 300, p);
    const uint32_t ids[] = {211, 207, 214, 208, 212, 216, 215, 213};
    for (int i = 0; i < kMovieFramePieces; i++) EXPECT_EQ(p[i].resource, ids[i]);
    EXPECT_EQ(p[1].rect, R(32, 0, 368, 28));
    EXPECT_EQ(p[3].rect, R(0, 33, 29, 33 + 182));
    EXPECT_EQ(p[4].rect, R(371, 33, 400, 33 + 183));
    EXPECT_EQ(p[6].rect, R(184, 214, 284, 300));
    EXPECT_EQ(p[7].rect, R(284, 216, 400, 300));
    MediaRectF dark = MovieDarkArea(400, 300);
    EXPECT_FLOAT_EQ(dark.w, 344.0f);
    EXPECT_FLOAT_EQ(dark.h, 190.0f);
}

TEST(MediaLayout, PositionRangeIsTenthsAndNeverBelowOne) {
    EXPECT_EQ(PositionRangeFor(30000000), 30);
    EXPECT_EQ(PositionRangeFor(1234567890), 1234);
    EXPECT_EQ(PositionRangeFor(500000), 1);
    EXPECT_EQ(PositionRangeFor(0), 1);
    EXPECT_EQ(PositionRangeFor(-1), 1);
    EXPECT_EQ(TenthsOf(25999999), 25);
}

TEST(MediaLayout, EndOfFile) {
    EXPECT_TRUE(ReachedEnd(15000000, 15000000));
    EXPECT_TRUE(ReachedEnd(15000001, 15000000));
    EXPECT_FALSE(ReachedEnd(14999999, 15000000));
    EXPECT_FALSE(ReachedEnd(0, -1));
    EXPECT_FALSE(ReachedEnd(0, 0));
}

TEST(MediaLayout, FileNamePart) {
    EXPECT_STREQ(FileNamePart("C:\\Music\\song.mp3"), "song.mp3");
    EXPECT_STREQ(FileNamePart("song.mp3"), "song.mp3");
    EXPECT_STREQ(FileNamePart("C:\\dir\\"), "");
}

}  // namespace
