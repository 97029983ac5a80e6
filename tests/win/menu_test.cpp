// The owner-drawn menu: entry sizes, the picture of each kind of entry, ownership of the entries
// and the routing of the owner-draw messages while the menu is tracked.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "items/ItemIds.h"
#include "controls/CMstMenu.h"
#include "tests/win/ControlHarness.h"

namespace sona::test {
namespace {

// Size of `text` in the bold menu font, measured the way the menu is documented to measure it.
SIZE BoldMenuTextSize(const char* text) {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0));
    ncm.lfMenuFont.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectA(&ncm.lfMenuFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bold);
    RECT r{};
    DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(bold);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

MEASUREITEMSTRUCT Measure(CMstMenu& menu, ULONG_PTR data, UINT ctlType = ODT_MENU) {
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ctlType;
    mis.itemWidth = 1234;
    mis.itemHeight = 5678;
    mis.itemData = data;
    menu.MeasureItem(&mis);
    return mis;
}

// Records the drawing steps the menu takes, then draws as usual.
class RecordingMenu : public CMstMenu {
public:
    struct Label {
        std::string text;
        COLORREF colour;
        RECT rect;
    };
    std::vector<Label> labels;
    int measured = 0;
    int drawn = 0;

    COLORREF Background() const { return backgroundColour; }
    COLORREF Highlight() const { return highlightColour; }
    COLORREF HighlightText() const { return highlightTextColour; }
    COLORREF GrayText() const { return grayTextColour; }
    COLORREF Text() const { return textColour; }

    void MeasureItem(MEASUREITEMSTRUCT* mis) override {
        ++measured;
        CMstMenu::MeasureItem(mis);
    }
    void DrawItem(DRAWITEMSTRUCT* dis) override {
        ++drawn;
        CMstMenu::DrawItem(dis);
    }

protected:
    void DrawLabel(HDC dc, const RECT& rect, const char* text, COLORREF colour) override {
        labels.push_back({text, colour, rect});
        CMstMenu::DrawLabel(dc, rect, text, colour);
    }
};

class CMstMenuTest : public ::testing::Test {
protected:
    // Paints entry `entry` with `state` onto a fresh 120 x h surface and returns it.
    void Paint(MenuEntry* entry, UINT state, int h = 20) {
        WindowDC screen(nullptr);
        ASSERT_TRUE(surface.CreateCompatible(screen, 120, h));
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_MENU;
        dis.itemState = state;
        dis.hwndItem = (HWND)menu.GetHandle();
        dis.hDC = surface.dc();
        dis.rcItem = RECT{0, 0, 120, h};
        dis.itemData = (ULONG_PTR)entry;
        menu.DrawItem(&dis);
    }
    static DWORD Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

    RecordingMenu menu;
    OffscreenSurface surface;
};

TEST_F(CMstMenuTest, StandardEntriesMeasureTextPlusColumns) {
    const char* texts[] = {"Open", "Remove", "Play\tSpace", "A much longer entry label", "W"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        auto* entry = new MenuEntry(ID_DESKITEM_EDIT, text);
        menu.AppendEntry(0, entry);
        SIZE size = BoldMenuTextSize(text);
        RecordProperty(std::string("text height ") + text, (int)size.cy);
        ASSERT_LE(size.cy, 20) << "the menu font is taller than the entry";
        MEASUREITEMSTRUCT mis = Measure(menu, (ULONG_PTR)entry);
        EXPECT_EQ(20u, mis.itemHeight);
        EXPECT_EQ((UINT)(size.cx + 44 + 1 - GetSystemMetrics(SM_CXMENUCHECK)), mis.itemWidth);
    }
}

TEST_F(CMstMenuTest, TallTextSetsTheHeight) {
    auto* entry = new MenuEntry(1, "Tall", 0);  // 0 + 4 is below any text height
    menu.AppendEntry(0, entry);
    SIZE size = BoldMenuTextSize("Tall");
    ASSERT_GT(size.cy, 4);
    MEASUREITEMSTRUCT mis = Measure(menu, (ULONG_PTR)entry);
    EXPECT_EQ((UINT)size.cy, mis.itemHeight);
    EXPECT_EQ((UINT)(size.cx + 12 + 1 - GetSystemMetrics(SM_CXMENUCHECK)), mis.itemWidth);
}

TEST_F(CMstMenuTest, SeparatorMeasuresHalfTheCheckHeight) {
    menu.AppendSeparator();
    MENUITEMINFOA mii{sizeof mii, MIIM_TYPE | MIIM_DATA};
    ASSERT_TRUE(GetMenuItemInfoA(menu.GetHandle(), 0, TRUE, &mii));
    EXPECT_TRUE(mii.fType & MFT_OWNERDRAW);
    EXPECT_TRUE(mii.fType & MFT_SEPARATOR);
    MenuEntry* entry = MenuEntry::FromItemData(mii.dwItemData);
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->separator);
    EXPECT_EQ(0u, entry->commandId);
    MEASUREITEMSTRUCT mis = Measure(menu, mii.dwItemData);
    EXPECT_EQ((UINT)(GetSystemMetrics(SM_CYMENUCHECK) / 2), mis.itemHeight);
    EXPECT_EQ((UINT)(1 - GetSystemMetrics(SM_CXMENUCHECK)), mis.itemWidth);
}

TEST_F(CMstMenuTest, ForeignItemsAreNotMeasured) {
    struct {
        void* vtable;
        uint32_t marker;
    } foreign{nullptr, 0x12345678};
    auto* entry = new MenuEntry(1, "Open");
    menu.AppendEntry(0, entry);
    const struct {
        ULONG_PTR data;
        UINT ctlType;
    } cases[] = {{(ULONG_PTR)&foreign, ODT_MENU}, {0, ODT_MENU}, {(ULONG_PTR)entry, ODT_BUTTON}};
    for (auto& c : cases) {
        MEASUREITEMSTRUCT mis = Measure(menu, c.data, c.ctlType);
        EXPECT_EQ(1234u, mis.itemWidth);
        EXPECT_EQ(5678u, mis.itemHeight);
    }
}

TEST_F(CMstMenuTest, AppendEntryMakesOwnerDrawnItemsAndConsumesBreaks) {
    menu.AppendEntry(MF_CHECKED, new MenuEntry(10, "One"));
    menu.BreakColumn();
    menu.AppendEntry(0, new MenuEntry(11, "Two"));
    menu.AppendEntry(0, new MenuEntry(12, "Three"));
    menu.BreakColumn(true);
    menu.AppendSeparator();
    menu.AppendEntry(0, new MenuEntry(13, "Four"));
    menu.BreakColumn(true);
    menu.AppendEntry(MF_GRAYED, new MenuEntry(14, "Five"));
    // State flags of the separator are the system's business (Wine reports it grayed).
    const UINT anyState = ~0u;
    const struct {
        UINT id, type, state;
    } want[] = {{10, MFT_OWNERDRAW, MF_CHECKED},
                {11, MFT_OWNERDRAW | MFT_MENUBREAK, 0},
                {12, MFT_OWNERDRAW, 0},
                {0, MFT_OWNERDRAW | MFT_SEPARATOR, anyState},
                {13, MFT_OWNERDRAW, 0},
                {14, MFT_OWNERDRAW | MFT_MENUBARBREAK, MF_GRAYED}};
    ASSERT_EQ(6, GetMenuItemCount(menu.GetHandle()));
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        MENUITEMINFOA mii{sizeof mii, MIIM_TYPE | MIIM_ID | MIIM_STATE | MIIM_DATA};
        ASSERT_TRUE(GetMenuItemInfoA(menu.GetHandle(), i, TRUE, &mii));
        EXPECT_EQ(want[i].id, mii.wID);
        EXPECT_EQ(want[i].type, mii.fType & (MFT_OWNERDRAW | MFT_SEPARATOR | MFT_MENUBREAK | MFT_MENUBARBREAK));
        if (want[i].state != anyState) EXPECT_EQ(want[i].state, mii.fState & (MF_CHECKED | MF_GRAYED));
        EXPECT_TRUE(MenuEntry::FromItemData(mii.dwItemData));
    }
}

TEST_F(CMstMenuTest, DestroyingTheMenuFreesEveryEntry) {
    int before = MenuEntry::LiveCount();
    {
        CMstMenu outer;
        outer.AppendEntry(0, new MenuEntry(ID_DESKITEM_EDIT, "Open"));
        outer.AppendSeparator();
        outer.AppendEntry(MF_CHECKED, new MenuEntry(ID_MEDIA_MUTE, "Mute"));
        auto* sub = new CMstMenu;
        sub->AppendEntry(0, new MenuEntry(20, "Inner"));
        sub->AppendSeparator();
        outer.AppendSubMenu(0, sub, new MenuEntry(0, "More"));
        outer.AppendSeparator();
        outer.AppendEntry(0, new MenuEntry(ID_DESKITEM_REMOVE, "Remove"));
        EXPECT_EQ(before + 8, MenuEntry::LiveCount());
        EXPECT_EQ(sub, CMstMenu::FromHandle(sub->GetHandle()));
    }
    EXPECT_EQ(before, MenuEntry::LiveCount());
}

TEST_F(CMstMenuTest, PlainEntryIsTheFlatBackgroundWithText) {
    auto* entry = new MenuEntry(1, "Open");
    menu.AppendEntry(0, entry);
    Paint(entry, 0);
    EXPECT_EQ(Rgb(menu.Background()), PixelAt(surface, 0, 0));
    EXPECT_EQ(Rgb(menu.Background()), PixelAt(surface, 119, 19));
    ASSERT_EQ(1u, menu.labels.size());
    EXPECT_EQ(menu.Text(), menu.labels[0].colour);
    // Text starts past the check column and stops one entry height short of the right edge.
    EXPECT_EQ(22, menu.labels[0].rect.left);
    EXPECT_EQ(104, menu.labels[0].rect.right);
}

TEST_F(CMstMenuTest, SelectedEntryIsHighlightedInABlackFrame) {
    auto* entry = new MenuEntry(1, "Open");
    menu.AppendEntry(0, entry);
    Paint(entry, ODS_SELECTED);
    EXPECT_EQ(0u, PixelAt(surface, 0, 0));
    EXPECT_EQ(0u, PixelAt(surface, 119, 10));
    EXPECT_EQ(Rgb(menu.Highlight()), PixelAt(surface, 118, 1));
    ASSERT_EQ(1u, menu.labels.size());
    EXPECT_EQ(menu.HighlightText(), menu.labels[0].colour);
}

TEST_F(CMstMenuTest, GrayedEntriesAreEngravedAndUnframed) {
    auto* entry = new MenuEntry(1, "Open");
    menu.AppendEntry(MF_GRAYED, entry);
    Paint(entry, ODS_GRAYED);
    ASSERT_EQ(2u, menu.labels.size());
    EXPECT_EQ(menu.HighlightText(), menu.labels[0].colour);
    EXPECT_EQ(menu.labels[1].rect.left + 1, menu.labels[0].rect.left);
    EXPECT_EQ(menu.labels[1].rect.top + 1, menu.labels[0].rect.top);
    EXPECT_EQ(menu.GrayText(), menu.labels[1].colour);
    menu.labels.clear();
    Paint(entry, ODS_GRAYED | ODS_SELECTED);
    ASSERT_EQ(1u, menu.labels.size());
    EXPECT_EQ(menu.GrayText(), menu.labels[0].colour);
    EXPECT_EQ(Rgb(menu.Highlight()), PixelAt(surface, 0, 0));  // no black frame
}

TEST_F(CMstMenuTest, CheckedEntryShowsTheMarkInASunkenSquare) {
    auto* entry = new MenuEntry(1, "Mute");
    menu.AppendEntry(MF_CHECKED, entry);
    Paint(entry, ODS_CHECKED);
    // The mark's three strokes start at (6, 9), (6, 10), (6, 11) and end at (13, 6..8).
    EXPECT_EQ(0u, PixelAt(surface, 6, 9));
    EXPECT_EQ(0u, PixelAt(surface, 8, 12));
    EXPECT_EQ(0u, PixelAt(surface, 12, 8));
    EXPECT_EQ(Rgb(GetSysColor(COLOR_3DHILIGHT)), PixelAt(surface, 3, 16));
    EXPECT_EQ(Rgb(GetSysColor(COLOR_BTNSHADOW)), PixelAt(surface, 0, 10));  // sunken edge
    Paint(entry, ODS_CHECKED | ODS_SELECTED);
    EXPECT_EQ(Rgb(menu.Background()), PixelAt(surface, 3, 16));
    EXPECT_EQ(0u, PixelAt(surface, 6, 9));
}

TEST_F(CMstMenuTest, SeparatorIsOneEtchedLineThroughTheMiddle) {
    menu.AppendSeparator();
    MENUITEMINFOA mii{sizeof mii, MIIM_DATA};
    ASSERT_TRUE(GetMenuItemInfoA(menu.GetHandle(), 0, TRUE, &mii));
    Paint(MenuEntry::FromItemData(mii.dwItemData), 0, 6);
    EXPECT_EQ(Rgb(menu.Background()), PixelAt(surface, 60, 2));
    EXPECT_EQ(Rgb(GetSysColor(COLOR_BTNSHADOW)), PixelAt(surface, 60, 3));
    EXPECT_EQ(Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)), PixelAt(surface, 60, 4));
    EXPECT_EQ(Rgb(menu.Background()), PixelAt(surface, 60, 5));
    EXPECT_TRUE(menu.labels.empty());
}

TEST_F(CMstMenuTest, TabSplitsTheLabelIntoLeftAndRightParts) {
    auto* entry = new MenuEntry(1, "Play\tSpace");
    menu.AppendEntry(0, entry);
    Paint(entry, 0);
    // One DrawLabel call carries the whole text; it draws the part after the tab right-aligned.
    ASSERT_EQ(1u, menu.labels.size());
    bool inkNearRight = false, inkInMiddle = false;
    for (int y = 0; y < 20; ++y) {
        for (int x = 80; x < 104; ++x)
            if (PixelAt(surface, x, y) != Rgb(menu.Background())) inkNearRight = true;
        for (int x = 60; x < 70; ++x)
            if (PixelAt(surface, x, y) != Rgb(menu.Background())) inkInMiddle = true;
    }
    EXPECT_TRUE(inkNearRight);
    EXPECT_FALSE(inkInMiddle);
}

// Ends a menu loop that the keystrokes failed to end, so a broken test cannot hang.
void CALLBACK EndStuckMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

TEST_F(CMstMenuTest, TrackRoutesOwnerDrawAndPostsTheChosenCommand) {
    RecordingWindow target(true, 700, 200, 100, 100);
    menu.AppendEntry(0, new MenuEntry(ID_DESKITEM_EDIT, "Open"));
    menu.AppendSeparator();
    menu.AppendEntry(0, new MenuEntry(ID_DESKITEM_REMOVE, "Remove"));
    SetForegroundWindow(target.hwnd);
    Pump();
    // Down, down, Enter: the separator is skipped, so the second entry is chosen.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
        PostMessageA(target.hwnd, WM_KEYDOWN, key, 1);
        PostMessageA(target.hwnd, WM_KEYUP, key, 0xC0000001);
    }
    UINT_PTR timer = SetTimer(nullptr, 0, 3000, EndStuckMenu);
    LONG_PTR procBefore = GetWindowLongPtrA(target.hwnd, GWLP_WNDPROC);
    menu.Track(target.hwnd, POINT{720, 220});
    KillTimer(nullptr, timer);
    EXPECT_EQ(procBefore, GetWindowLongPtrA(target.hwnd, GWLP_WNDPROC));
    Pump();
    EXPECT_GE(menu.measured, 3);
    EXPECT_GE(menu.drawn, 3);
    ASSERT_EQ(1, target.Count(WM_COMMAND));
    EXPECT_EQ((WPARAM)ID_DESKITEM_REMOVE, target.received[0].wp & 0xFFFF);
}

}  // namespace
}  // namespace sona::test
