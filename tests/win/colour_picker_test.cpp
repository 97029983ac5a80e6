// The colour picker and its popup: what each way of ending a choice reports, the chosen cell's
// marking, the keyboard ring through the grid and boxes, and the cells' tooltips.
#include <gtest/gtest.h>

#include <vector>

#include "controls/CVrnColourPicker.h"

#include <commctrl.h>

using namespace sona;

namespace {

struct Note {
    UINT msg;
    WPARAM colour;
    LPARAM id;
};

// A hidden host that keeps the picker's WM_COLOUR_* messages in order.
class PickerHost : public Window {
public:
    std::vector<Note> notes;
    bool Create() {
        const char* cls = RegisterWindowClass(CS_DBLCLKS, LoadCursorA(nullptr, IDC_ARROW), SharedWhiteBrush());
        return CreateEx(0, cls, "picker host", WS_POPUP, 100, 100, 300, 200, nullptr, 0);
    }
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg >= WM_COLOUR_CHANGED && msg <= WM_COLOUR_CANCELLED) {
            notes.push_back(Note{msg, wp, lp});
            return 0;
        }
        return Default();
    }
    std::vector<UINT> Messages() const {
        std::vector<UINT> m;
        for (const Note& n : notes) m.push_back(n.msg);
        return m;
    }
};

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create());
        ASSERT_TRUE(picker.Create("Text Color", WS_CHILD | WS_VISIBLE, RECT{120, 60, 280, 80}, host.hwnd, 10053));
        picker.SetDefaultText("Color");
        picker.SetCustomText("Custom Color");
        picker.mode = CVrnColourPicker::kTextMode;
        picker.SetBackgroundColour(0xFFFFFF);
    }
    ColourPopup* Open(COLORREF initial) {
        picker.SetColour(initial);
        picker.DropDown();
        return picker.Popup();
    }
    static LPARAM Centre(const GridRect& r) { return PackPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
    static BOOL Key(ColourPopup* p, WPARAM vk) {
        MSG m{p->hwnd, WM_KEYDOWN, vk, 0};
        return p->PreTranslateMessage(&m);
    }
    PickerHost host;
    CVrnColourPicker picker;
};

}  // namespace

TEST_F(PickerTest, TheDefaultBoxReturnsClrDefault) {
    ColourPopup* p = Open(RGB(1, 2, 3));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(GetCapture(), p->hwnd);
    LPARAM at = Centre(p->Layout().defaultBox);
    SendMessageA(p->hwnd, WM_MOUSEMOVE, 0, at);
    EXPECT_EQ(p->CurrentCell(), kCellDefaultBox);
    SendMessageA(p->hwnd, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(picker.Popup(), nullptr);
    EXPECT_FALSE(picker.PopupActive());
    EXPECT_EQ(host.Messages(),
              (std::vector<UINT>{WM_COLOUR_DROPPED, WM_COLOUR_CHANGED, WM_COLOUR_CLOSED, WM_COLOUR_CHOSEN}));
    EXPECT_EQ(host.notes[0].colour, RGB(1, 2, 3));
    EXPECT_EQ(host.notes[1].colour, 0xFF000000u);
    EXPECT_EQ(host.notes[2].colour, 0xFF000000u);
    EXPECT_EQ(host.notes[3].colour, 0xFF000000u);
    for (const Note& n : host.notes) EXPECT_EQ(n.id, 10053);
    EXPECT_EQ(picker.GetColour(), 0xFF000000u);
}

TEST_F(PickerTest, ATableColourIsMarkedSunkenAndAnOtherColourMarksTheCustomBox) {
    ColourPopup* p = Open(RGB(255, 0, 0));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->ChosenCell(), 16);
    EXPECT_EQ(p->CurrentCell(), kCellNone);
    // A sunken edge darkens the cell's top-left corner; other cells keep the popup's colour there.
    HDC dc = p->Surface().dc();
    GridRect red = p->Layout().CellRect(16), next = p->Layout().CellRect(17);
    EXPECT_EQ(GetPixel(dc, red.left, red.top), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, red.right - 1, red.bottom - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, next.left, next.top), RGB(200, 200, 210));
    SendMessageA(p->hwnd, WM_LBUTTONUP, 0, PackPoint(-30, -30));
    ASSERT_EQ(picker.Popup(), nullptr);

    p = Open(RGB(1, 2, 3));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->ChosenCell(), kCellCustomBox);
    SendMessageA(p->hwnd, WM_LBUTTONUP, 0, PackPoint(-30, -30));
}

TEST_F(PickerTest, EscapeAndAClickOutsideRestoreTheInitialColour) {
    ColourPopup* p = Open(RGB(0, 147, 0));
    ASSERT_NE(p, nullptr);
    SendMessageA(p->hwnd, WM_MOUSEMOVE, 0, Centre(p->Layout().CellRect(30)));
    EXPECT_EQ(p->CurrentColour(), RGB(72, 0, 72));
    host.notes.clear();
    EXPECT_TRUE(Key(p, VK_ESCAPE));
    EXPECT_EQ(host.Messages(), (std::vector<UINT>{WM_COLOUR_CLOSED, WM_COLOUR_CANCELLED}));
    EXPECT_EQ(host.notes[1].colour, RGB(0, 147, 0));
    EXPECT_EQ(picker.GetColour(), RGB(0, 147, 0));
    EXPECT_EQ(picker.Popup(), nullptr);

    p = Open(RGB(0, 147, 0));
    ASSERT_NE(p, nullptr);
    SendMessageA(p->hwnd, WM_MOUSEMOVE, 0, Centre(p->Layout().CellRect(3)));
    host.notes.clear();
    RECT w = p->WindowRect();
    SendMessageA(p->hwnd, WM_LBUTTONUP, 0, PackPoint(w.right - w.left + 40, 5));
    EXPECT_EQ(host.Messages(), (std::vector<UINT>{WM_COLOUR_CLOSED, WM_COLOUR_CANCELLED}));
    EXPECT_EQ(host.notes[1].colour, RGB(0, 147, 0));
}

TEST_F(PickerTest, ArrowKeysRingThroughGridAndBoxes) {
    ColourPopup* p = Open(RGB(1, 2, 3));
    ASSERT_NE(p, nullptr);
    struct Step {
        WPARAM key;
        int cell;
    } steps[] = {
        {VK_DOWN, 0},  {VK_DOWN, 8},  {VK_UP, 0},       {VK_UP, kCellDefaultBox}, {VK_UP, kCellCustomBox},
        {VK_UP, 39},   {VK_RIGHT, kCellCustomBox},      {VK_RIGHT, kCellDefaultBox}, {VK_RIGHT, 0},
        {VK_RIGHT, 1}, {VK_LEFT, 0}, {VK_LEFT, kCellDefaultBox}, {VK_LEFT, kCellCustomBox}, {VK_LEFT, 39},
        {VK_LEFT, 38}, {VK_DOWN, kCellCustomBox}, {VK_DOWN, kCellDefaultBox}, {VK_DOWN, 0},
    };
    for (const Step& s : steps) {
        EXPECT_TRUE(Key(p, s.key));
        EXPECT_EQ(p->CurrentCell(), s.cell);
    }
    // Enter ends with the highlighted colour.
    host.notes.clear();
    Key(p, VK_RETURN);
    EXPECT_EQ(host.Messages(), (std::vector<UINT>{WM_COLOUR_CLOSED, WM_COLOUR_CHOSEN}));
    EXPECT_EQ(host.notes[1].colour, 0u);
}

TEST_F(PickerTest, KeyboardSkipsAbsentBoxes) {
    picker.SetDefaultText("");
    ColourPopup* p = Open(RGB(1, 2, 3));
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->Layout().boxes.hasDefault);
    int expected[] = {0, kCellCustomBox, 39, kCellCustomBox, 0};
    WPARAM keys[] = {VK_DOWN, VK_UP, VK_UP, VK_DOWN, VK_DOWN};
    for (int i = 0; i < 5; i++) {
        Key(p, keys[i]);
        EXPECT_EQ(p->CurrentCell(), expected[i]) << i;
    }
    Key(p, VK_ESCAPE);
    picker.SetCustomText(nullptr);
    p = Open(RGB(1, 2, 3));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->ChosenCell(), kCellNone);
    Key(p, VK_RIGHT);  // from nothing: cell 0
    Key(p, VK_LEFT);   // no boxes: the last cell
    EXPECT_EQ(p->CurrentCell(), 39);
    Key(p, VK_DOWN);  // past the grid with no boxes: cell 0
    EXPECT_EQ(p->CurrentCell(), 0);
    Key(p, VK_ESCAPE);
}

TEST_F(PickerTest, EveryCellHasItsNameAsTooltip) {
    ColourPopup* p = Open(0);
    ASSERT_NE(p, nullptr);
    HWND tip = p->TooltipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 40);
    for (int i : {0, 16, 35, 39}) {
        char text[80] = {};
        TOOLINFOA ti{};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        ti.lpszText = text;
        ASSERT_TRUE(SendMessageA(tip, TTM_ENUMTOOLSA, i, (LPARAM)&ti));
        EXPECT_STREQ(text, ColourTable[i].name);
    }
    Key(p, VK_ESCAPE);
}
