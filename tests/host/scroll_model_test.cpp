// The drop-down scroll bar's numbers: range, thumb, drag and actions.
#include <gtest/gtest.h>

#include "controls/ScrollModel.h"

using namespace sona;

namespace {

// A bar beside a list of `count` items of which `visible` fit, set up the way the drop-down does.
ScrollModel BarFor(int count, int visible, int height = 144) {
    ScrollModel m;
    m.SetHeight(height);
    m.SetLineSize(20);
    int range = ScrollModel::RangeFor(count, visible);
    if (range >= 1) {
        m.SetRange(range);
        m.SetPosition(0);
    }
    return m;
}

}  // namespace

TEST(ScrollModel, ThirtyItemsWithEightVisibleGiveRange22) {
    ScrollModel m = BarFor(30, 8);
    EXPECT_EQ(m.Range(), 22);
}

TEST(ScrollModel, PageDownFromTheTopGoesTo10Then20Then22) {
    ScrollModel m = BarFor(30, 8);
    int t = 0;
    t = m.ApplyAction(kScrollPageDown, t, 0);
    EXPECT_EQ(t, 10);
    t = m.ApplyAction(kScrollPageDown, t, 0);
    EXPECT_EQ(t, 20);
    t = m.ApplyAction(kScrollPageDown, t, 0);
    EXPECT_EQ(t, 22);
    t = m.ApplyAction(kScrollPageDown, t, 0);
    EXPECT_EQ(t, 22);
}

TEST(ScrollModel, OtherActionsStayInsideTheRange) {
    ScrollModel m = BarFor(30, 8);
    EXPECT_EQ(m.ApplyAction(kScrollLineUp, 0, 0), 0);
    EXPECT_EQ(m.ApplyAction(kScrollLineUp, 5, 0), 4);
    EXPECT_EQ(m.ApplyAction(kScrollLineDown, 22, 0), 22);
    EXPECT_EQ(m.ApplyAction(kScrollLineDown, 21, 0), 22);
    EXPECT_EQ(m.ApplyAction(kScrollPageUp, 7, 0), 0);
    EXPECT_EQ(m.ApplyAction(kScrollPageUp, 17, 0), 7);
    EXPECT_EQ(m.ApplyAction(kScrollTo, 3, 9), 9);
    EXPECT_EQ(m.ApplyAction(kScrollThumbTo, 3, 11), 11);
    EXPECT_EQ(m.ApplyAction(kScrollStart, 13, 0), 0);
    EXPECT_EQ(m.ApplyAction(kScrollEnd, 1, 0), 22);
}

TEST(ScrollModel, AListThatFitsHasNothingToScroll) {
    EXPECT_LT(ScrollModel::RangeFor(5, 8), 1);
    EXPECT_LT(ScrollModel::RangeFor(8, 8), 1);
    ScrollModel m;
    m.SetHeight(144);
    m.SetRange(0);
    EXPECT_EQ(m.Range(), 0);
    m.SetPosition(3);
    EXPECT_EQ(m.Position(), 0);
}

TEST(ScrollModel, ThumbLengthShrinksWithTheRangeDownTo20) {
    ScrollModel m;
    m.SetHeight(144);  // track 112
    m.SetLineSize(20);
    m.SetRange(22);  // sqrt(440) = 20.97 -> 20: 112 - 92 * 20 / 100 = 112 - 18 = 94
    EXPECT_EQ(m.ThumbLength(), 94);
    m.SetRange(1);  // sqrt(20) -> 4: 112 - 3 = 109
    EXPECT_EQ(m.ThumbLength(), 109);
    m.SetRange(10000);  // weight capped at 100
    EXPECT_EQ(m.ThumbLength(), 20);
}

TEST(ScrollModel, PositionPlacesTheThumbAndOutOfRangeIsIgnored) {
    ScrollModel m = BarFor(30, 8);  // thumb 94 in a 112 track: 18 pixels for 22 positions
    m.SetPosition(22);
    EXPECT_EQ(m.Position(), 22);
    EXPECT_EQ(m.ThumbTop(), 16 + 18);
    m.SetPosition(11);
    EXPECT_EQ(m.ThumbTop(), 16 + 9);
    m.SetPosition(23);
    EXPECT_EQ(m.Position(), 11);
    m.SetPosition(-1);
    EXPECT_EQ(m.Position(), 11);
}

TEST(ScrollModel, DraggingTheThumbToTheBottomGivesTheRange) {
    for (int count : {30, 41, 100, 250}) {
        ScrollModel m = BarFor(count, 8, 160);
        int startY = m.ThumbTop() + 3;
        int top = m.DraggedThumbTop(m.ThumbTop(), startY, 1000);
        EXPECT_EQ(top + m.ThumbLength(), m.Height() - 16) << count;
        EXPECT_EQ(m.PositionForThumbTop(top), m.Range()) << count;
        // Dragging far above the track comes back to the top.
        int up = m.DraggedThumbTop(top, 500, -1000);
        EXPECT_EQ(up, 16);
        EXPECT_EQ(m.PositionForThumbTop(up), 0);
    }
}

TEST(ScrollModel, PartsOfTheBar) {
    ScrollModel m = BarFor(30, 8);
    EXPECT_EQ(m.PartAt(0), ScrollModel::Part::kUpArrow);
    EXPECT_EQ(m.PartAt(15), ScrollModel::Part::kUpArrow);
    EXPECT_EQ(m.PartAt(16), ScrollModel::Part::kThumb);
    EXPECT_EQ(m.PartAt(143), ScrollModel::Part::kDownArrow);
    EXPECT_EQ(m.PartAt(16 + 94 + 1), ScrollModel::Part::kTrackBelow);
    m.SetPosition(22);
    EXPECT_EQ(m.PartAt(20), ScrollModel::Part::kTrackAbove);
}
