// The arithmetic of the combo drop-down's vertical scroll bar: thumb length from the range,
// thumb place from the position, positions from a dragged thumb, and the scroll actions.
// Portable (no windows.h) so that the numbers can be checked on the host.
#pragma once

namespace sona {

// The actions of WM_SCROLL_ACTION (wParam).
enum ScrollAction : int {
    kScrollLineUp = 0,
    kScrollLineDown = 1,
    kScrollPageUp = 2,
    kScrollPageDown = 3,
    kScrollTo = 4,
    kScrollThumbTo = 5,
    kScrollStart = 6,
    kScrollEnd = 7,
};

class ScrollModel {
public:
    static constexpr int kWidth = 17;
    static constexpr int kArrowHeight = 16;
    static constexpr int kPageItems = 10;

    // The client height of the bar; the track is what the two arrows leave of it.
    void SetHeight(int h) { height = h; }
    int Height() const { return height; }
    int TrackLength() const { return height - 2 * kArrowHeight; }

    void SetLineSize(int size) { lineSize = size; }
    int LineSize() const { return lineSize; }

    // A range below 1 means nothing to scroll; otherwise the thumb shrinks as the range grows.
    void SetRange(int r);
    int Range() const { return range; }

    // Positions outside 0..range are ignored; with range 0 the position becomes 0.
    void SetPosition(int p);
    int Position() const { return position; }

    int ThumbLength() const { return thumbLength; }
    int ThumbTop() const { return thumbTop; }
    double PixelsPerPosition() const { return pixelsPerPosition; }

    // Where the thumb's top lands for a drag that began at startY with the thumb at
    // startThumbTop and is now at y, kept inside the track.
    int DraggedThumbTop(int startThumbTop, int startY, int y) const;
    // The position a thumb top stands for (may fall outside 0..range; callers check).
    int PositionForThumbTop(int top) const;

    // The top index an action leads to from top index t, within 0..range.
    int ApplyAction(int action, int t, int target) const;

    // What the part of the bar under y is.
    enum class Part { kUpArrow, kDownArrow, kThumb, kTrackAbove, kTrackBelow };
    Part PartAt(int y) const;

    // How far a list of `count` items scrolls when `visible` of them fit (may be below 1).
    static int RangeFor(int count, int visible) { return count - visible; }

private:
    int height = 0;
    int range = 0;
    int position = 0;
    int lineSize = 1;
    int thumbLength = 16;
    int thumbTop = 16;
    double pixelsPerPosition = 0;
};

}  // namespace sona
