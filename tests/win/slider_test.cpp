// The skinned slider: clicks jump and notify once, drags notify at the release only, the picture
// places the thumb and the track split where the position says, and the percentage tooltip.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "controls/SkinSlider.h"
#include "res/resource.h"
#include "tests/win/ControlHarness.h"

namespace sona::test {
namespace {

constexpr UINT kSliderId = 7;
constexpr DWORD kWhite = 0xFFFFFF;

// 116 pixels wide, range 100: the geometry the media item's sliders work with.
class SkinSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(0, 0);
        ASSERT_TRUE(slider.Create(RECT{300, 500, 416, 516}, parent.hwnd, kSliderId));
        slider.SetRange(100);
        Pump();
        parent.received.clear();
    }

    // The positions of the notifications posted so far, in order.
    std::vector<LPARAM> Notifications() {
        Pump();
        std::vector<LPARAM> positions;
        for (auto& r : parent.received) {
            if (r.msg != WM_SLIDER_CHANGED) continue;
            EXPECT_EQ((WPARAM)kSliderId, r.wp);
            positions.push_back(r.lp);
        }
        return positions;
    }

    RecordingWindow parent;
    SkinSlider slider;
};

TEST_F(SkinSliderTest, IsAnOwnedToolPopup) {
    EXPECT_EQ(parent.hwnd, GetWindow(slider.hwnd, GW_OWNER));
    EXPECT_TRUE(GetWindowLongA(slider.hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(116, slider.ClientRect().right);
}

struct Gesture {
    const char* name;
    int startPos;
    std::vector<MouseStep> steps;
    std::vector<LPARAM> notified;  // positions posted, in order
    int finalPos;
};

// The thumb starts at 0..16 for position 0 and at 50..66 for position 50.
const std::vector<Gesture> kGestures = {
    {"click on the track", 0, {{WM_LBUTTONDOWN, 58, 5}, {WM_LBUTTONUP, 58, 5}}, {50}, 50},
    {"click at the left edge", 50, {{WM_LBUTTONDOWN, 0, 5}, {WM_LBUTTONUP, 0, 5}}, {0}, 0},
    {"click at the right edge", 0, {{WM_LBUTTONDOWN, 115, 5}, {WM_LBUTTONUP, 115, 5}}, {99}, 99},
    {"click with moves after the release", 0,
     {{WM_LBUTTONDOWN, 29, 5}, {WM_LBUTTONUP, 29, 5}, {WM_MOUSEMOVE, 80, 5}, {WM_MOUSEMOVE, 90, 5}}, {25}, 25},
    {"press on the thumb and release", 0, {{WM_LBUTTONDOWN, 8, 5}, {WM_LBUTTONUP, 8, 5}}, {6, 6}, 6},
    {"drag", 0,
     {{WM_LBUTTONDOWN, 8, 5}, {WM_MOUSEMOVE, 30, 5}, {WM_MOUSEMOVE, 60, 5}, {WM_MOUSEMOVE, 87, 5},
      {WM_LBUTTONUP, 87, 5}},
     {6, 75}, 75},
    {"drag past the right end", 50,
     {{WM_LBUTTONDOWN, 58, 5}, {WM_MOUSEMOVE, 300, 5}, {WM_MOUSEMOVE, 500, 40}, {WM_LBUTTONUP, 500, 40}},
     {50, 100}, 100},
    {"drag past the left end", 50,
     {{WM_LBUTTONDOWN, 58, 5}, {WM_MOUSEMOVE, -20, 5}, {WM_MOUSEMOVE, -300, -40}, {WM_LBUTTONUP, -300, -40}},
     {50, 0}, 0},
};

TEST_F(SkinSliderTest, Gestures) {
    for (const Gesture& g : kGestures) {
        SCOPED_TRACE(g.name);
        slider.SetPos(g.startPos);
        Pump();
        parent.received.clear();
        Play(slider.hwnd, parent.hwnd, g.steps);
        EXPECT_FALSE(slider.IsDragging());
        EXPECT_EQ(g.notified, Notifications());
        EXPECT_EQ(g.finalPos, slider.GetPos());
    }
}

TEST_F(SkinSliderTest, DragNotifiesOnlyAtTheRelease) {
    Play(slider.hwnd, parent.hwnd, {{WM_LBUTTONDOWN, 8, 5}});
    EXPECT_TRUE(slider.IsDragging());
    EXPECT_EQ(slider.hwnd, GetCapture());
    EXPECT_EQ(1u, Notifications().size());
    for (int x = 10; x <= 110; x += 20) {
        Play(slider.hwnd, parent.hwnd, {{WM_MOUSEMOVE, x, 5}});
        EXPECT_EQ(100 * x / 116, slider.GetPos());
    }
    EXPECT_EQ(1u, Notifications().size());
    Play(slider.hwnd, parent.hwnd, {{WM_LBUTTONUP, 110, 5}});
    EXPECT_FALSE(slider.IsDragging());
    EXPECT_NE(slider.hwnd, GetCapture());
    EXPECT_EQ((std::vector<LPARAM>{6, 94}), Notifications());
}

// Row 5 of the picture, as white or not, from x0 to x1 inclusive.
std::string Row(const OffscreenSurface& s, int y, int x0, int x1) {
    std::string row;
    for (int x = x0; x <= x1; ++x) row += PixelAt(s, x, y) == kWhite ? '.' : '#';
    return row;
}

// A missing bitmap leaves white, so drawing one part at a time shows where each part lies.
TEST_F(SkinSliderTest, ThumbAndSplitFollowTheClick) {
    Play(slider.hwnd, parent.hwnd, {{WM_LBUTTONDOWN, 58, 5}, {WM_LBUTTONUP, 58, 5}});
    ASSERT_EQ(50, slider.GetPos());
    const UINT none = kMissingResource;

    slider.SetBitmaps(none, none, IDB_SLIDER_THUMB, IDB_SLIDER_THUMB, IDB_SLIDER_THUMB, 0);
    EXPECT_EQ(".################.", Row(slider.Surface(), 5, 49, 66));  // thumb 50..65
    EXPECT_EQ(".################.", Row(slider.Surface(), 11, 49, 66));
    EXPECT_EQ("..................", Row(slider.Surface(), 12, 49, 66));  // 12 rows high

    slider.SetBitmaps(IDB_SLIDER_TRACK, none, none, none, none, 0);
    EXPECT_EQ("##..", Row(slider.Surface(), 5, 56, 59));  // filled part ends at 58
    EXPECT_EQ("##..", Row(slider.Surface(), 12, 56, 59));
    EXPECT_EQ("....", Row(slider.Surface(), 13, 56, 59));  // 13 rows high

    slider.SetBitmaps(none, IDB_SLIDER_TRACK, none, none, none, 0);
    EXPECT_EQ("..##", Row(slider.Surface(), 5, 56, 59));
    EXPECT_EQ('#', Row(slider.Surface(), 5, 115, 115)[0]);
}

TEST_F(SkinSliderTest, ThumbHoversOnlyOverTheThumb) {
    Play(slider.hwnd, parent.hwnd, {{WM_MOUSEMOVE, 60, 5}});
    EXPECT_EQ(32, slider.GetState());
    Play(slider.hwnd, parent.hwnd, {{WM_MOUSEMOVE, 5, 5}});
    EXPECT_EQ(16, slider.GetState());
    Play(slider.hwnd, parent.hwnd, {{WM_MOUSELEAVE, 0, 0}});
    EXPECT_EQ(32, slider.GetState());
}

TEST_F(SkinSliderTest, TooltipTextIsThePercentage) {
    const struct {
        int range, pos;
        const char* text;
    } cases[] = {{100, 0, "0%"}, {100, 100, "100%"}, {100, 50, "50%"}, {3, 1, "33%"}, {200, 150, "75%"}};
    for (auto& c : cases) {
        slider.SetRange(c.range);
        slider.SetPos(c.pos);
        EXPECT_STREQ(c.text, slider.GetTooltipText());
    }
}

// Reads the shared tooltip's one tool text.
std::string SharedTipText() {
    char text[32] = {};
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.lpszText = text;
    SendMessageA(SkinSlider::SharedTooltip(), TTM_GETTEXTA, sizeof text, (LPARAM)&ti);
    return text;
}

// The text lags one move behind the position, so two moves past an end show the end value.
TEST_F(SkinSliderTest, DragShowsTheSharedTrackingTooltip) {
    slider.SetStyle(0x20);
    Play(slider.hwnd, parent.hwnd, {{WM_LBUTTONDOWN, 8, 5}, {WM_MOUSEMOVE, 400, 5}, {WM_MOUSEMOVE, 401, 5}});
    Pump();
    HWND tip = SkinSlider::SharedTooltip();
    ASSERT_TRUE(tip);
    char cls[64] = {};
    GetClassNameA(tip, cls, sizeof cls);
    EXPECT_STREQ("tooltips_class32", cls);
    EXPECT_EQ("100%", SharedTipText());
    Play(slider.hwnd, parent.hwnd, {{WM_MOUSEMOVE, -5, 5}, {WM_MOUSEMOVE, -6, 5}});
    Pump();
    EXPECT_EQ("0%", SharedTipText());
    Play(slider.hwnd, parent.hwnd, {{WM_LBUTTONUP, -6, 5}});
    Pump();
    EXPECT_FALSE(IsWindowVisible(tip));
}

}  // namespace
}  // namespace sona::test
