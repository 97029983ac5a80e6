// The About window in-process: shape, size, placement, keyboard filter, close button, drag and
// picture, against the program's real template and bitmaps.
#include <gtest/gtest.h>

#include "dialogs/CDlgAbout.h"
#include "platform/App.h"
#include "res/resource.h"

namespace sona {
namespace {

// A visible owner standing in for the main window.
class AboutTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 150, 120, 800, 500, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(owner);
        about = std::make_unique<CDlgAbout>();
        ASSERT_TRUE(about->Create(owner));
        ShowWindow(about->hwnd, SW_HIDE);
    }
    void TearDown() override {
        about.reset();
        if (owner) ::DestroyWindow(owner);
        Drain();
    }
    static void Drain() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    // Runs a key press through the program's message filters, as its loops do.
    BOOL Key(HWND target, WPARAM vk) {
        MSG m{};
        m.hwnd = target;
        m.message = WM_KEYDOWN;
        m.wParam = vk;
        m.lParam = 1;
        return Application::FilterMessage(&m);
    }

    HWND owner = nullptr;
    std::unique_ptr<CDlgAbout> about;
};

TEST_F(AboutTest, IsCreatedHiddenCaptionlessTopmostAnd355By120) {
    HWND h = about->hwnd;
    EXPECT_FALSE(IsWindowVisible(h));
    RECT r = about->WindowRect();
    EXPECT_EQ(r.right - r.left, 355);
    EXPECT_EQ(r.bottom - r.top, 120);
    RECT c = about->ClientRect();
    EXPECT_EQ(c.right, 355);
    EXPECT_EQ(c.bottom, 120);
    LONG style = GetWindowLongA(h, GWL_STYLE);
    LONG ex = GetWindowLongA(h, GWL_EXSTYLE);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(h, GW_OWNER), owner);
}

TEST_F(AboutTest, IsCentredOnItsOwner) {
    RECT o, r = about->WindowRect();
    GetWindowRect(owner, &o);
    EXPECT_LE(std::abs((r.left + r.right) / 2 - (o.left + o.right) / 2), 1);
    EXPECT_LE(std::abs((r.top + r.bottom) / 2 - (o.top + o.bottom) / 2), 1);
}

TEST_F(AboutTest, HasARoundedRegionWithSixteenPixelCorners) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(about->hwnd, rgn);
    EXPECT_TRUE(kind == COMPLEXREGION || kind == SIMPLEREGION);
    RECT box;
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_GE(box.right, 354);
    EXPECT_GE(box.bottom, 119);
    // The corners are cut, the middle and the edges' middles are in.
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, 353, 0));
    EXPECT_FALSE(PtInRegion(rgn, 0, 118));
    EXPECT_FALSE(PtInRegion(rgn, 353, 118));
    EXPECT_TRUE(PtInRegion(rgn, 177, 60));
    EXPECT_TRUE(PtInRegion(rgn, 177, 0));
    EXPECT_TRUE(PtInRegion(rgn, 0, 60));
    EXPECT_TRUE(PtInRegion(rgn, 8, 8));
    DeleteObject(rgn);
}

TEST_F(AboutTest, CloseButtonSitsTopRightAndHidesTheWindow) {
    SkinButton& b = about->CloseButton();
    ASSERT_TRUE(b.hwnd);
    EXPECT_EQ(GetParent(b.hwnd), about->hwnd);
    EXPECT_EQ(b.CommandId(), 10039u);
    RECT r = b.WindowRect();
    MapWindowPoints(nullptr, about->hwnd, (POINT*)&r, 2);
    EXPECT_EQ(r.left, 355 - 23);
    EXPECT_EQ(r.top, 7);
    EXPECT_EQ(r.right, 355 - 12);
    EXPECT_EQ(r.bottom, 18);
    EXPECT_EQ(b.GetState(), kStateNormal);

    ShowWindow(about->hwnd, SW_SHOW);
    ASSERT_TRUE(IsWindowVisible(about->hwnd));
    SendMessageA(b.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 5));
    SendMessageA(b.hwnd, WM_LBUTTONUP, 0, PackPoint(5, 5));
    EXPECT_FALSE(IsWindowVisible(about->hwnd));
    EXPECT_TRUE(IsWindow(about->hwnd));
}

TEST_F(AboutTest, EscapeHidesAndIsSwallowed) {
    ShowWindow(about->hwnd, SW_SHOW);
    EXPECT_TRUE(Key(about->hwnd, VK_ESCAPE));
    EXPECT_FALSE(IsWindowVisible(about->hwnd));
    EXPECT_TRUE(IsWindow(about->hwnd));
    // Also when the close button has the keyboard.
    ShowWindow(about->hwnd, SW_SHOW);
    EXPECT_TRUE(Key(about->CloseButton().hwnd, VK_ESCAPE));
    EXPECT_FALSE(IsWindowVisible(about->hwnd));
}

TEST_F(AboutTest, EnterIsSwallowedAndDoesNothing) {
    ShowWindow(about->hwnd, SW_SHOW);
    RECT before = about->WindowRect();
    EXPECT_TRUE(Key(about->hwnd, VK_RETURN));
    EXPECT_TRUE(Key(about->CloseButton().hwnd, VK_RETURN));
    // Even a dialog-manager OK or Cancel does not end it.
    SendMessageA(about->hwnd, WM_COMMAND, IDOK, 0);
    SendMessageA(about->hwnd, WM_COMMAND, IDCANCEL, 0);
    Drain();
    EXPECT_TRUE(IsWindow(about->hwnd));
    EXPECT_TRUE(IsWindowVisible(about->hwnd));
    RECT after = about->WindowRect();
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(AboutTest, ShowsAgainWhereItWasLeft) {
    ShowWindow(about->hwnd, SW_SHOW);
    SetWindowPos(about->hwnd, nullptr, 40, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND first = about->hwnd;
    Key(about->hwnd, VK_ESCAPE);
    ASSERT_FALSE(IsWindowVisible(first));
    ShowWindow(about->hwnd, SW_SHOW);
    EXPECT_EQ(about->hwnd, first);
    RECT r = about->WindowRect();
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 70);
    EXPECT_TRUE(GetWindowLongA(about->hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(AboutTest, ButtonDownPostsACaptionDragWithTheClientPoint) {
    MSG m;
    while (PeekMessageA(&m, about->hwnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE)) {
    }
    SendMessageA(about->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(120, 45));
    // Taken off the queue before the system's move loop could start on it.
    ASSERT_TRUE(PeekMessageA(&m, about->hwnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(m.wParam, (WPARAM)HTCAPTION);
    EXPECT_EQ(m.lParam, PackPoint(120, 45));
    EXPECT_FALSE(PeekMessageA(&m, about->hwnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
}

TEST_F(AboutTest, PictureIsPreDrawnFromBitmap229) {
    const OffscreenSurface& s = about->Surface();
    ASSERT_TRUE(s);
    EXPECT_EQ(s.width(), 355);
    EXPECT_EQ(s.height(), 120);
    Bitmap picture(LoadBitmapResource(IDB_ABOUT_PICTURE));
    ASSERT_TRUE(picture);
    BITMAP bm{};
    GetObject(picture, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 355);
    EXPECT_EQ(bm.bmHeight, 120);
    HDC dc = CreateCompatibleDC(s.dc());
    HGDIOBJ old = SelectObject(dc, picture);
    int same = 0, notGrey = 0, total = 0;
    for (int y = 2; y < 120; y += 13)
        for (int x = 3; x < 355; x += 17) {
            COLORREF want = GetPixel(dc, x, y);
            COLORREF got = GetPixel(s.dc(), x, y);
            ++total;
            if (want == got) ++same;
            if (got != RGB(230, 230, 230)) ++notGrey;
        }
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(same, total);
    EXPECT_GT(notGrey, total / 10);
}

TEST_F(AboutTest, PaintCopiesThePictureToTheWindow) {
    ShowWindow(about->hwnd, SW_SHOW);
    RedrawWindow(about->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Drain();
    const OffscreenSurface& s = about->Surface();
    HDC wdc = GetDC(about->hwnd);
    int same = 0, total = 0;
    for (int y = 30; y < 110; y += 20)
        for (int x = 20; x < 320; x += 37) {
            ++total;
            if (GetPixel(wdc, x, y) == GetPixel(s.dc(), x, y)) ++same;
        }
    ReleaseDC(about->hwnd, wdc);
    EXPECT_EQ(same, total);
    // Background erasing draws nothing over it.
    EXPECT_EQ(SendMessageA(about->hwnd, WM_ERASEBKGND, 0, 0), 1);
}

TEST_F(AboutTest, DestroyReleasesTheSurface) {
    HWND h = about->hwnd;
    about->DestroyWindow();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(about->Surface());
}

}  // namespace
}  // namespace sona
