// The mouse state machine that the program's push buttons share (skin button, image command
// button, layered image button): one table of mouse sequences played against each of them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ImageCommandButton.h"
#include "controls/SkinButton.h"
#include "items/LayeredImageButton.h"
#include "res/resource.h"
#include "tests/win/ControlHarness.h"

namespace sona::test {
namespace {

constexpr UINT kCommand = 4321;

// What differs between the buttons: how they are made, given art and disabled.
template <class B>
struct ButtonKit;

template <>
struct ButtonKit<SkinButton> {
    static constexpr bool kCanDisable = true;
    static BOOL Create(SkinButton& b, HWND parent) { return b.Create(RECT{10, 10, 26, 26}, parent, kCommand); }
    static void SetArt(SkinButton& b, UINT hover) { b.SetBitmaps(IDB_CLOSE, hover, IDB_CLOSE_PRESSED, IDB_CLOSE); }
    static UINT HoverArt() { return IDB_CLOSE_HOVER; }
    static void Disable(SkinButton& b) { b.Enable(FALSE); }
};

template <>
struct ButtonKit<ImageCommandButton> {
    // Nothing can put an image command button into its disabled state.
    static constexpr bool kCanDisable = false;
    static BOOL Create(ImageCommandButton& b, HWND parent) {
        return b.Create(RECT{10, 10, 74, 60}, parent, kCommand);
    }
    static void SetArt(ImageCommandButton& b, UINT hover) {
        b.SetImages(IDP_CMD_MOVIE, hover, IDP_CMD_MOVIE, IDP_CMD_MOVIE);
    }
    static UINT HoverArt() { return IDP_CMD_MOVIE_HOVER; }
    static void Disable(ImageCommandButton&) {}
};

template <>
struct ButtonKit<LayeredImageButton> {
    static constexpr bool kCanDisable = true;
    static BOOL Create(LayeredImageButton& b, HWND owner) {
        return b.Create(RECT{600, 300, 635, 335}, owner, kCommand);
    }
    static void SetArt(LayeredImageButton& b, UINT hover) {
        b.SetImages(IDP_MOVIE_PLAY, hover, IDP_MOVIE_PLAY, IDP_MOVIE_PLAY);
    }
    static UINT HoverArt() { return IDP_MOVIE_PLAY_HOVER; }
    static void Disable(LayeredImageButton& b) { b.Enable(FALSE); }
};

struct Sequence {
    const char* name;
    bool disabled;
    std::vector<MouseStep> steps;
    int commands;
    int finalState;
};

const MouseStep kMove{WM_MOUSEMOVE, 5, 5};
const MouseStep kDown{WM_LBUTTONDOWN, 5, 5};
const MouseStep kUp{WM_LBUTTONUP, 5, 5};
const MouseStep kUpElsewhere{WM_LBUTTONUP, 5, 5, true};
const MouseStep kLeave{WM_MOUSELEAVE, 0, 0};

const std::vector<Sequence> kSequences = {
    {"click", false, {kMove, kDown, kUp}, 1, 32},
    {"hover", false, {kMove}, 0, 16},
    {"press, release elsewhere", false, {kMove, kDown, kUpElsewhere}, 0, 1},
    {"press, release elsewhere, leave", false, {kMove, kDown, kUpElsewhere, kLeave}, 0, 32},
    {"press elsewhere, release over", false, {kMove, kUp}, 1, 32},
    {"two clicks", false, {kMove, kDown, kUp, kDown, kUp}, 2, 32},
    {"moving after a click stays normal", false, {kMove, kDown, kUp, kMove}, 1, 32},
    {"leave and come back hovers again", false, {kMove, kDown, kUp, kLeave, kMove}, 1, 16},
    {"disabled ignores everything", true, {kMove, kDown, kUp, kLeave, kMove, kDown, kUpElsewhere}, 0, 4},
};

template <class B>
class PushButtonTest : public ::testing::Test {
protected:
    RecordingWindow owner;
};

using Buttons = ::testing::Types<SkinButton, ImageCommandButton, LayeredImageButton>;
TYPED_TEST_SUITE(PushButtonTest, Buttons);

TYPED_TEST(PushButtonTest, MouseSequences) {
    using Kit = ButtonKit<TypeParam>;
    for (const Sequence& seq : kSequences) {
        SCOPED_TRACE(seq.name);
        if (seq.disabled && !Kit::kCanDisable) continue;
        this->owner.received.clear();
        TypeParam button;
        ASSERT_TRUE(Kit::Create(button, this->owner.hwnd));
        Kit::SetArt(button, Kit::HoverArt());
        if (seq.disabled) Kit::Disable(button);
        Play(button.hwnd, this->owner.hwnd, seq.steps);
        EXPECT_EQ(seq.commands, this->owner.Count(WM_COMMAND));
        for (auto& r : this->owner.received) {
            if (r.msg != WM_COMMAND) continue;
            EXPECT_EQ(MAKEWPARAM(kCommand, 0), r.wp);
            EXPECT_EQ((LPARAM)button.hwnd, r.lp);
        }
        EXPECT_EQ(seq.finalState, button.GetState());
    }
}

// New images given while the pointer is over the button show at once in the hover picture.
TYPED_TEST(PushButtonTest, NewImagesWhileHoveredShowAtOnce) {
    using Kit = ButtonKit<TypeParam>;
    TypeParam button;
    ASSERT_TRUE(Kit::Create(button, this->owner.hwnd));
    Kit::SetArt(button, kMissingResource);
    Play(button.hwnd, this->owner.hwnd, {kMove});
    ASSERT_EQ(16, button.GetState());
    RECT rc = button.ClientRect();
    int cx = rc.right / 2, cy = rc.bottom / 2;
    DWORD without = PixelAt(button.Surface(), cx, cy);
    Kit::SetArt(button, Kit::HoverArt());
    EXPECT_EQ(16, button.GetState());
    EXPECT_NE(without, PixelAt(button.Surface(), cx, cy));
}

}  // namespace
}  // namespace sona::test
