// The main window's placement rule for restored items and its start-up helpers.
#include <gtest/gtest.h>

#include "app/DeskApplication.h"
#include "app/DeskIds.h"
#include "app/DeskMessages.h"
#include "app/MainDeskWindow.h"
#include "items/PictureItem.h"
#include "store/RelativeRect.h"

#include <cstring>
#include <vector>

namespace sona {
namespace {

TEST(KeepOnScreen, RectanglesOffEveryMonitorMoveOntoTheNearestWorkAreaOthersStay) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    struct Case {
        RECT in;
        bool moves;
    } cases[] = {
        {{100, 100, 460, 370}, false},                                                  // on screen
        {{work.right - 10, 100, work.right + 350, 370}, false},                         // partly visible
        {{-300, -200, -10, -20}, true},                                                 // above left
        {{work.right + 5000, work.bottom + 5000, work.right + 5360, work.bottom + 5270}, true},  // far away
        {{work.right + 10, 200, work.right + 370, 470}, true},                          // just right
    };
    for (const Case& c : cases) {
        RECT out = KeepOnScreen(c.in);
        EXPECT_EQ(out.right - out.left, c.in.right - c.in.left);
        EXPECT_EQ(out.bottom - out.top, c.in.bottom - c.in.top);
        if (!c.moves) {
            EXPECT_TRUE(EqualRect(&out, &c.in));
        } else {
            EXPECT_GE(out.left, work.left);
            EXPECT_GE(out.top, work.top);
            EXPECT_LE(out.right, work.right);
            EXPECT_LE(out.bottom, work.bottom);
        }
    }
}

TEST(PifHandOver, TakesThePathAfterTheQuotedProgramOnlyForUpperCasePif) {
    struct Case {
        const char* commandLine;
        bool written;
        const char* path;
    } cases[] = {
        {"\"C:\\Sonadesk\\Sonadesk.exe\" C:\\list.PIF", true, "C:\\list.PIF"},
        {"\"C:\\Sonadesk\\Sonadesk.exe\" C:\\list.pif", false, ""},
        {"\"C:\\Sonadesk\\Sonadesk.exe\" C:\\list.Pif", false, ""},
        {"Sonadesk.exe C:\\a.PIF", true, "onadesk.exe C:\\a.PIF"},  // no quote: all but the first character
        {"\"C:\\S.exe\"PIF", true, "IF"},
        {"PI", false, ""},
    };
    for (const Case& c : cases) {
        char out[MAX_PATH] = "unchanged";
        EXPECT_EQ(PifHandOverPath(c.commandLine, out, sizeof out), c.written) << c.commandLine;
        if (c.written) EXPECT_STREQ(out, c.path) << c.commandLine;
    }
}

// An item whose window could not be made keeps its stored record as it was (no zero rectangle, no
// empty path), while a live item beside it is written; both also while the window is minimised.
TEST(MainDeskWindowSync, WindowlessItemsKeepTheirRecordsAndMinimisedSizesAreTheNormalOnes) {
    MainDeskWindow desk;
    ASSERT_TRUE(desk.CreateModeless(nullptr));
    desk.Live().Clear();
    desk.Model().CreateDesk();
    SIZE outer = desk.OuterSize();
    ASSERT_GT(outer.cx, 0);

    RecordPtr lost = NewRecord(kItemPicture);
    auto* lostRec = (PictureItemRecord*)lost.get();
    std::strcpy(lostRec->path, "C:\\gone\\picture.jpg");
    lostRec->rect = RelativeRect{0.4537f, 0.3011f, 0.7512f, 0.6623f};
    std::vector<uint8_t> before(lost.get(), lost.get() + sizeof(PictureItemRecord));
    desk.AppendItem(std::make_unique<PictureItem>(), std::move(lost));  // never created: no window

    auto shown = std::make_unique<PictureItem>();
    ASSERT_TRUE(shown->Create(RECT{123, 145, 363, 325}, desk.hwnd, 0));
    desk.AppendItem(std::move(shown), NewRecord(kItemPicture));

    ShowWindow(desk.hwnd, SW_MINIMIZE);
    desk.Live().Sync();
    EXPECT_EQ(desk.OuterSize().cx, outer.cx);
    EXPECT_EQ(desk.OuterSize().cy, outer.cy);
    const uint8_t* after = desk.Model().desks()[0][0].get();
    EXPECT_EQ(std::memcmp(after, before.data(), before.size()), 0);
    const auto* live = (const PictureItemRecord*)desk.Model().desks()[0][1].get();
    PixelRect r = RectFromRelative(live->rect, outer.cx, outer.cy);
    EXPECT_EQ(r.left, 123);
    EXPECT_EQ(r.top, 145);
    EXPECT_EQ(r.right, 363);
    EXPECT_EQ(r.bottom, 325);
    ShowWindow(desk.hwnd, SW_RESTORE);
    desk.Live().Clear();
    desk.DestroyWindow();
}

// A change marks the view; it is drawn once, at the next paint, however many steps the change
// took (creating a desk used to draw the whole view three times: twice while the desk was shown,
// once more by the command).
TEST(MainDeskWindowPaint, ChangesAreDrawnOnceAtTheNextPaint) {
    MainDeskWindow desk;
    ASSERT_TRUE(desk.CreateModeless(nullptr));
    ShowWindow(desk.hwnd, SW_SHOWNA);
    UpdateWindow(desk.hwnd);
    EXPECT_EQ(desk.DeskViewDraws(), 1u);
    // One desk, whatever the test folder's store held: its first tab is the strip's first cell.
    desk.Live().Clear();
    desk.Model().CreateDesk();
    desk.RedrawDeskView(0);
    UpdateWindow(desk.hwnd);
    ASSERT_EQ(desk.Model().DeskCount(), 1u);
    size_t desks = desk.Model().DeskCount();

    struct Step {
        const char* what;
        void (*act)(MainDeskWindow&);
    } steps[] = {
        {"create a desk", [](MainDeskWindow& d) { SendMessageA(d.hwnd, WM_COMMAND, ID_CREATE_DESK, 0); }},
        {"redraw asked by another window", [](MainDeskWindow& d) { SendMessageA(d.hwnd, WM_DESK_REDRAW, 0, 0); }},
        {"strip, then the whole view", [](MainDeskWindow& d) {
             d.RedrawDeskView(1);
             d.RedrawDeskView(0);
             d.RedrawDeskView(1);
         }},
        {"click on the first tab", [](MainDeskWindow& d) {
             SendMessageA(d.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
             SendMessageA(d.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
         }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        unsigned before = desk.DeskViewDraws();
        s.act(desk);
        EXPECT_EQ(desk.DeskViewDraws(), before);
        UpdateWindow(desk.hwnd);
        EXPECT_EQ(desk.DeskViewDraws(), before + 1);
        UpdateWindow(desk.hwnd);
        EXPECT_EQ(desk.DeskViewDraws(), before + 1);
    }
    EXPECT_EQ(desk.Model().DeskCount(), desks + 1);
    EXPECT_EQ(desk.Model().currentDesk(), 0u);

    desk.Live().Clear();
    desk.DestroyWindow();
}

// The client area as it is on the screen: the window's own pixels and its children's.
static std::vector<COLORREF> ClientPixels(HWND h) {
    RECT rc;
    GetClientRect(h, &rc);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), rc.right, -rc.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC screen = GetDC(h);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, rc.right, rc.bottom, screen, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> out((const COLORREF*)bits, (const COLORREF*)bits + rc.right * rc.bottom);
    for (COLORREF& c : out) c &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(h, screen);
    return out;
}

// The first frame is drawn before any child window exists: the view paints the buttons' faces
// itself. The buttons made just after it show exactly those pixels, so nothing on the screen
// changes when they come.
TEST(MainDeskWindowPaint, TheFirstFrameShowsTheButtonsAsTheirWindowsDoLater) {
    SetCursorPos(0, 0);  // no button is hovered once it exists
    MainDeskWindow desk;
    ASSERT_TRUE(desk.CreateModeless(nullptr));
    ShowWindow(desk.hwnd, SW_SHOWNA);
    UpdateWindow(desk.hwnd);
    ASSERT_EQ(FindWindowExA(desk.hwnd, nullptr, nullptr, nullptr), nullptr);
    std::vector<COLORREF> first = ClientPixels(desk.hwnd);

    // The rest of start-up follows from a timer the first paint set.
    DWORD deadline = GetTickCount() + 5000;
    MSG m;
    while (!FindWindowExA(desk.hwnd, nullptr, nullptr, nullptr) && GetTickCount() < deadline) {
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        Sleep(5);
    }
    int buttons = 0;
    for (HWND c = FindWindowExA(desk.hwnd, nullptr, nullptr, nullptr); c; c = FindWindowExA(desk.hwnd, c, nullptr, nullptr))
        if (IsWindowVisible(c)) buttons++;
    EXPECT_EQ(buttons, 9);  // close, spare, minimise and six commands
    RedrawWindow(desk.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::vector<COLORREF> settled = ClientPixels(desk.hwnd);

    ASSERT_EQ(first.size(), settled.size());
    size_t differing = 0, firstAt = first.size();
    for (size_t i = 0; i < first.size(); i++)
        if (first[i] != settled[i] && differing++ == 0) firstAt = i;
    EXPECT_EQ(differing, 0u) << "first at x " << firstAt % 800 << ", y " << firstAt / 800;

    desk.Live().Clear();
    desk.DestroyWindow();
}

}  // namespace
}  // namespace sona
