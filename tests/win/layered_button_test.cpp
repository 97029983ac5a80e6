// The layered image button: per-pixel alpha output, the state pictures and its tooltip.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "items/LayeredImageButton.h"
#include "items/MediaItem.h"
#include "items/LayeredUpdate.h"
#include "res/resource.h"
#include "tests/win/ControlHarness.h"

namespace sona::test {
namespace {

class LayeredImageButtonTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(button.Create(RECT{600, 300, 635, 335}, owner.hwnd, IDC_MOVIE_PLAY)); }

    RecordingWindow owner;
    LayeredImageButton button;
};

TEST_F(LayeredImageButtonTest, IsAnOwnedToolPopup) {
    EXPECT_EQ(owner.hwnd, GetWindow(button.hwnd, GW_OWNER));
    LONG ex = GetWindowLongA(button.hwnd, GWL_EXSTYLE);
    LONG style = GetWindowLongA(button.hwnd, GWL_STYLE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_EQ((LONG)(WS_POPUP | WS_VISIBLE), style & (WS_POPUP | WS_VISIBLE | WS_CHILD));
}

TEST_F(LayeredImageButtonTest, NothingIsDrawnBeforeItHasImages) {
    Play(button.hwnd, owner.hwnd, {{WM_MOUSEMOVE, 5, 5}});
    EXPECT_FALSE(button.Surface());
    EXPECT_FALSE(GetWindowLongA(button.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(LayeredImageButtonTest, RendersThroughTheLayeredUpdate) {
    button.SetImages(IDP_MOVIE_PLAY, IDP_MOVIE_PLAY_HOVER, IDP_MOVIE_PLAY, IDP_MOVIE_PLAY);
    EXPECT_TRUE(GetWindowLongA(button.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    ASSERT_TRUE(button.Surface());
    EXPECT_EQ(35, button.Surface().width());
    EXPECT_EQ(35, button.Surface().height());
    // The play picture is opaque in the middle and transparent at its corners.
    EXPECT_EQ(255, AlphaAt(button.Surface(), 17, 17));
    EXPECT_EQ(0, AlphaAt(button.Surface(), 0, 0));
}

// Each state shows its own picture: hover and normal differ, a missing picture draws nothing.
TEST_F(LayeredImageButtonTest, EachStateShowsItsPicture) {
    button.SetImages(IDP_MOVIE_PLAY, IDP_MOVIE_PLAY_HOVER, kMissingResource, IDP_MOVIE_PLAY);
    DWORD normal = PixelAt(button.Surface(), 17, 17);
    Play(button.hwnd, owner.hwnd, {{WM_MOUSEMOVE, 5, 5}});
    DWORD hover = PixelAt(button.Surface(), 17, 17);
    EXPECT_NE(normal, hover);
    Play(button.hwnd, owner.hwnd, {{WM_LBUTTONDOWN, 5, 5}});
    EXPECT_EQ(1, button.GetState());
    EXPECT_EQ(0, AlphaAt(button.Surface(), 17, 17));
    Play(button.hwnd, owner.hwnd, {{WM_LBUTTONUP, 5, 5}});
    EXPECT_EQ(normal, PixelAt(button.Surface(), 17, 17));
}

TEST_F(LayeredImageButtonTest, SetImagesWhileHoveredShowsTheNewHoverPicture) {
    button.SetImages(IDP_MOVIE_PLAY, kMissingResource, IDP_MOVIE_PLAY, IDP_MOVIE_PLAY);
    Play(button.hwnd, owner.hwnd, {{WM_MOUSEMOVE, 5, 5}});
    EXPECT_EQ(0, AlphaAt(button.Surface(), 17, 17));
    button.SetImages(IDP_MOVIE_PAUSE, IDP_MOVIE_PAUSE_HOVER, IDP_MOVIE_PAUSE, IDP_MOVIE_PAUSE);
    EXPECT_EQ(16, button.GetState());
    EXPECT_EQ(255, AlphaAt(button.Surface(), 17, 17));
}

// Reads the text of the button's one tool.
std::string ToolText(HWND tip, HWND button) {
    char text[80] = {};
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = GetWindow(button, GW_OWNER);
    ti.uId = (UINT_PTR)button;
    ti.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, (LPARAM)&ti);
    return text;
}

TEST_F(LayeredImageButtonTest, SetTooltipAddsOnceThenReplacesTheText) {
    HWND tip = button.TooltipWindow();
    ASSERT_TRUE(tip);
    button.SetTooltip("Play");
    EXPECT_EQ(1, (int)SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ("Play", ToolText(tip, button.hwnd));
    button.SetTooltip("Pause");
    EXPECT_EQ(1, (int)SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ("Pause", ToolText(tip, button.hwnd));
}

TEST(LayeredUpdate, RefusesAnEmptySurface) {
    RecordingWindow w;
    OffscreenSurface empty;
    EXPECT_FALSE(UpdateLayered(w.hwnd, empty));
}

}  // namespace
}  // namespace sona::test
