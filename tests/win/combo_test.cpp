// The skinned combo box and its drop-down: notifications, CB_ answers, keyboard, scroll bar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/CVrnComboBox.h"
#include "controls/SkinScrollBar.h"

using namespace sona;

namespace {

// A hidden top-level window that keeps every combo notification it is sent (a shown one costs
// seconds under Wine without a window manager).
class NotifyLog : public Window {
public:
    std::vector<int> codes;
    bool Create() {
        const char* cls = RegisterWindowClass(CS_DBLCLKS, LoadCursorA(nullptr, IDC_ARROW), SharedWhiteBrush());
        return CreateEx(0, cls, "combo host", WS_POPUP, 100, 100, 300, 200, nullptr, 0);
    }
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COMMAND && LOWORD(wp) == 77) {
            codes.push_back(HIWORD(wp));
            return 0;
        }
        return Default();
    }
};

void Pump() {
    MSG m;
    for (int round = 0; round < 3; round++) {
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(10);
    }
}

class ComboTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create());
        ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, RECT{10, 10, 170, 30}, host.hwnd, 77));
    }
    void Fill(int n) {
        for (int i = 0; i < n; i++) combo.AddString(("item " + std::to_string(i)).c_str());
    }
    NotifyLog host;
    CVrnComboBox combo;
};

}  // namespace

TEST_F(ComboTest, ChoosingSendsSelEndOkCloseUpSelChange) {
    combo.AddString("one");
    combo.AddString("two");
    combo.AddString("three");
    SendMessageA(combo.hwnd, WM_COMBO_TOGGLE, 0, 0);
    ASSERT_TRUE(combo.IsDroppedDown());
    ASSERT_NE(combo.DropDown(), nullptr);
    host.codes.clear();
    SendMessageA(combo.hwnd, WM_COMBO_CHOOSE, 2, 0);
    EXPECT_EQ(host.codes, (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_FALSE(combo.IsDroppedDown());
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_GETCURSEL, 0, 0), 2);
    char text[32] = {};
    GetWindowTextA(combo.hwnd, text, sizeof text);
    EXPECT_STREQ(text, "three");
    // The same item again gives the same three.
    SendMessageA(combo.hwnd, WM_COMBO_TOGGLE, 0, 0);
    host.codes.clear();
    SendMessageA(combo.hwnd, WM_COMBO_CHOOSE, 2, 0);
    EXPECT_EQ(host.codes, (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
}

TEST_F(ComboTest, ChoosingWithTheMouseInTheList) {
    Fill(5);
    SendMessageA(combo.hwnd, WM_COMBO_TOGGLE, 0, 0);
    ComboDropDown* dd = combo.DropDown();
    ASSERT_NE(dd, nullptr);
    int rowH = dd->List().ItemHeight();
    // Pointer over the fourth row, then a press: the drop-down routes both to its list.
    LPARAM at = PackPoint(20, rowH * 3 + rowH / 2);
    SendMessageA(dd->hwnd, WM_MOUSEMOVE, 0, at);
    EXPECT_EQ(dd->MarkedIndex(), 3);
    host.codes.clear();
    SendMessageA(dd->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Pump();
    EXPECT_EQ(host.codes, (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(combo.GetCurSel(), 3);
    EXPECT_EQ(combo.DropDown(), nullptr);
}

TEST_F(ComboTest, OpenAndCloseWithoutChoosing) {
    Fill(3);
    host.codes.clear();
    SendMessageA(combo.hwnd, WM_COMBO_TOGGLE, 0, 0);
    SendMessageA(combo.hwnd, WM_COMBO_TOGGLE, 0, 0);
    EXPECT_EQ(host.codes, (std::vector<int>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
    // A press outside the drop-down closes it the same way.
    SendMessageA(combo.hwnd, WM_COMBO_TOGGLE, 0, 0);
    ComboDropDown* dd = combo.DropDown();
    ASSERT_NE(dd, nullptr);
    EXPECT_EQ(GetCapture(), dd->hwnd);
    host.codes.clear();
    SendMessageA(dd->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(-50, -50));
    Pump();
    EXPECT_EQ(host.codes, (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
    EXPECT_FALSE(combo.IsDroppedDown());
}

TEST_F(ComboTest, SortedComboKeepsByteOrder) {
    CVrnComboBox sorted;
    ASSERT_TRUE(sorted.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT, RECT{10, 40, 170, 60}, host.hwnd, 78));
    SendMessageA(sorted.hwnd, CB_ADDSTRING, 0, (LPARAM) "b");
    SendMessageA(sorted.hwnd, CB_ADDSTRING, 0, (LPARAM) "a");
    SendMessageA(sorted.hwnd, CB_ADDSTRING, 0, (LPARAM) "c");
    ASSERT_EQ(SendMessageA(sorted.hwnd, CB_GETCOUNT, 0, 0), 3);
    const char* expected[] = {"a", "b", "c"};
    for (int i = 0; i < 3; i++) {
        char buf[8] = {};
        EXPECT_EQ(SendMessageA(sorted.hwnd, CB_GETLBTEXT, i, (LPARAM)buf), 1);
        EXPECT_STREQ(buf, expected[i]);
        EXPECT_EQ(SendMessageA(sorted.hwnd, CB_GETLBTEXTLEN, i, 0), 1);
    }
    EXPECT_EQ(SendMessageA(sorted.hwnd, CB_GETLBTEXT, 3, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(sorted.hwnd, CB_GETLBTEXTLEN, -1, 0), CB_ERR);
    // Unsorted keeps the order of adding.
    combo.AddString("b");
    combo.AddString("a");
    std::string first;
    combo.GetLBText(0, &first);
    EXPECT_EQ(first, "b");
}

TEST_F(ComboTest, CurrentSelection) {
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_SETCURSEL, 2, 0), CB_ERR);  // no items yet
    Fill(4);
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_SETCURSEL, 9, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_GETCURSEL, 0, 0), 2);
    SendMessageA(combo.hwnd, WM_COMBO_TOGGLE, 0, 0);
    SendMessageA(combo.hwnd, WM_COMBO_CHOOSE, 1, 0);
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_SETCURSEL, (WPARAM)-1, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_GETCURSEL, 0, 0), CB_ERR);
    SendMessageA(combo.hwnd, CB_SETCURSEL, 3, 0);
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_SELECTSTRING, (WPARAM)-1, (LPARAM) "item 1"), 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    SendMessageA(combo.hwnd, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo.hwnd, CB_GETCOUNT, 0, 0), 0);
    // A duplicate text answers with the earlier item.
    combo.AddString("same");
    combo.AddString("same");
    combo.SetCurSel(1);
    EXPECT_EQ(combo.GetCurSel(), 0);
}

TEST_F(ComboTest, TypingALetterMarksTheFirstItemStartingWithItIgnoringCase) {
    for (const char* s : {"apple", "Banana", "blueberry", "cherry", "Cranberry"}) combo.AddString(s);
    SendMessageA(combo.hwnd, WM_COMBO_TOGGLE, 0, 0);
    ComboDropDown* dd = combo.DropDown();
    ASSERT_NE(dd, nullptr);
    MSG m{combo.hwnd, WM_CHAR, 'b', 0};
    EXPECT_TRUE(combo.PreTranslateMessage(&m));
    EXPECT_EQ(dd->MarkedIndex(), 1);
    m.wParam = 'C';
    combo.PreTranslateMessage(&m);
    EXPECT_EQ(dd->MarkedIndex(), 3);
    // Enter chooses the marked one.
    host.codes.clear();
    MSG enter{combo.hwnd, WM_KEYDOWN, VK_RETURN, 0};
    EXPECT_TRUE(combo.PreTranslateMessage(&enter));
    EXPECT_EQ(combo.GetCurSel(), 3);
    EXPECT_EQ(host.codes, (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
}

TEST_F(ComboTest, ArrowKeysStepTheSelection) {
    Fill(3);
    combo.SetCurSel(0);
    host.codes.clear();
    MSG down{combo.hwnd, WM_KEYDOWN, VK_DOWN, 0};
    combo.PreTranslateMessage(&down);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(host.codes, (std::vector<int>{CBN_SELENDOK, CBN_SELCHANGE}));
    MSG f4{combo.hwnd, WM_KEYDOWN, VK_F4, 0};
    combo.PreTranslateMessage(&f4);
    EXPECT_TRUE(combo.IsDroppedDown());
    MSG esc{combo.hwnd, WM_KEYDOWN, VK_ESCAPE, 0};
    combo.PreTranslateMessage(&esc);
    EXPECT_FALSE(combo.IsDroppedDown());
}

namespace {

// A drop-down of `count` items made exactly tall enough for `visible` rows (plus its border).
std::unique_ptr<ComboDropDown> DropDownWith(HWND combo, int count, int visible) {
    std::list<std::string> items;
    for (int i = 0; i < count; i++) items.push_back("row " + std::to_string(i));
    auto probe = std::make_unique<ComboDropDown>();
    if (!probe->Create(combo, items, RECT{100, 300, 260, 460})) return nullptr;
    int rowH = probe->List().ItemHeight();
    probe.reset();
    ReleaseCapture();
    auto dd = std::make_unique<ComboDropDown>();
    if (!dd->Create(combo, items, RECT{100, 300, 260, 300 + rowH * visible + 2})) return nullptr;
    return dd;
}

}  // namespace

TEST_F(ComboTest, ThirtyItemsWithEightVisibleScrollOver22) {
    auto dd = DropDownWith(combo.hwnd, 30, 8);
    ASSERT_NE(dd, nullptr);
    EXPECT_TRUE(IsWindowVisible(dd->Bar().hwnd));
    EXPECT_EQ(dd->Bar().GetRange(), 22);
    HWND list = dd->List().hwnd;
    int expected[] = {10, 20, 22};
    for (int e : expected) {
        SendMessageA(dd->Bar().hwnd, WM_SCROLL_ACTION, 3, 0);
        EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), e);
        EXPECT_EQ(dd->Bar().GetPosition(), e);
    }
    // A click on the track above the thumb pages back up.
    const ScrollModel& m = dd->Bar().Model();
    int y = m.ThumbTop() - 2;
    SendMessageA(dd->Bar().hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, y));
    SendMessageA(dd->Bar().hwnd, WM_LBUTTONUP, 0, PackPoint(5, y));
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 12);
    ReleaseCapture();
}

TEST_F(ComboTest, AListThatFitsShowsNoScrollBar) {
    auto dd = DropDownWith(combo.hwnd, 5, 8);
    ASSERT_NE(dd, nullptr);
    EXPECT_FALSE(IsWindowVisible(dd->Bar().hwnd));
    ReleaseCapture();
}

TEST_F(ComboTest, DraggingTheThumbToTheBottomReachesTheRange) {
    auto dd = DropDownWith(combo.hwnd, 30, 8);
    ASSERT_NE(dd, nullptr);
    HWND bar = dd->Bar().hwnd;
    const ScrollModel& m = dd->Bar().Model();
    int y = m.ThumbTop() + 5;
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(8, y));
    EXPECT_EQ(GetCapture(), bar);
    for (int step = 1; step <= 10; step++) SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, PackPoint(8, y + step * 30));
    SendMessageA(bar, WM_LBUTTONUP, 0, PackPoint(8, y + 300));
    EXPECT_EQ(SendMessageA(dd->List().hwnd, LB_GETTOPINDEX, 0, 0), 22);
    EXPECT_EQ(dd->Bar().GetPosition(), 22);
    // The bar gives the capture back to the drop-down.
    EXPECT_EQ(GetCapture(), dd->hwnd);
    ReleaseCapture();
}

TEST_F(ComboTest, WheelScrollsTheOpenList) {
    Fill(40);
    SendMessageA(combo.hwnd, WM_COMBO_TOGGLE, 0, 0);
    ComboDropDown* dd = combo.DropDown();
    ASSERT_NE(dd, nullptr);
    HWND list = dd->List().hwnd;
    SendMessageA(combo.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-120), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 3);
    SendMessageA(combo.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 3);
    SendMessageA(combo.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
    SendMessageA(combo.hwnd, WM_COMBO_CLOSE, 0, 0);
}

TEST_F(ComboTest, AShortListIgnoresPressesInTheEmptyScrollBarStrip) {
    Fill(3);
    SendMessageA(combo.hwnd, WM_COMBO_TOGGLE, 0, 0);
    ComboDropDown* dd = combo.DropDown();
    ASSERT_NE(dd, nullptr);
    ASSERT_FALSE(IsWindowVisible(dd->Bar().hwnd));
    const RECT strip = dd->BarRect();
    struct Case {
        UINT msg;
        int x, y;
    } presses[] = {
        {WM_LBUTTONDOWN, strip.left, strip.top},
        {WM_LBUTTONDOWN, (strip.left + strip.right) / 2, (strip.top + strip.bottom) / 2},
        {WM_LBUTTONDOWN, strip.right - 1, strip.bottom - 1},
        {WM_LBUTTONDBLCLK, strip.left + 3, strip.top + 5},
    };
    host.codes.clear();
    for (const Case& c : presses) {
        SendMessageA(dd->hwnd, c.msg, MK_LBUTTON, PackPoint(c.x, c.y));
        SendMessageA(dd->hwnd, WM_LBUTTONUP, 0, PackPoint(c.x, c.y));
        Pump();
        ASSERT_TRUE(combo.IsDroppedDown()) << c.x << "," << c.y;
        EXPECT_EQ(combo.DropDown(), dd);
        EXPECT_EQ(GetCapture(), dd->hwnd);
    }
    EXPECT_EQ(host.codes, std::vector<int>{});
    // Just outside the strip still closes it without a choice.
    SendMessageA(dd->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(strip.right + 2, strip.top + 5));
    Pump();
    EXPECT_FALSE(combo.IsDroppedDown());
    EXPECT_EQ(host.codes, (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
}
