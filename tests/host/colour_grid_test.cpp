// The colour popup's table, chosen cell, keyboard navigation and layout.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/ColourGrid.h"

using namespace sona;

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

const GridBoxes kBoth{true, true};
const GridBoxes kDefaultOnly{true, false};
const GridBoxes kCustomOnly{false, true};
const GridBoxes kNeither{false, false};

}  // namespace

TEST(ColourTable, FortyNamedColoursInOrder) {
    EXPECT_STREQ(ColourTable[0].name, "Black");
    EXPECT_EQ(ColourTable[0].colour, 0u);
    EXPECT_STREQ(ColourTable[4].name, "Dark Teal");
    EXPECT_EQ(ColourTable[4].colour, Rgb(0, 0, 94));
    EXPECT_STREQ(ColourTable[16].name, "Red");
    EXPECT_EQ(ColourTable[16].colour, 0x0000FFu);
    EXPECT_STREQ(ColourTable[35].name, "Pale green ");
    EXPECT_EQ(std::strlen(ColourTable[35].name), 11u);
    EXPECT_EQ(ColourTable[35].colour, Rgb(152, 251, 152));
    EXPECT_STREQ(ColourTable[37].name, "Pale blue");
    EXPECT_EQ(ColourTable[37].colour, Rgb(104, 131, 139));
    EXPECT_STREQ(ColourTable[39].name, "White");
    EXPECT_EQ(ColourTable[39].colour, 0xFFFFFFu);
    EXPECT_EQ(ColourTable[9].colour, Rgb(255, 104, 32));
    EXPECT_EQ(ColourTable[20].colour, Rgb(127, 255, 212));
}

TEST(ColourGrid, ChosenCell) {
    EXPECT_EQ(ChosenCellFor(kDefaultColour, kBoth), kCellDefaultBox);
    EXPECT_EQ(ChosenCellFor(0x0000FF, kBoth), 16);
    EXPECT_EQ(ChosenCellFor(0, kBoth), 0);
    EXPECT_EQ(ChosenCellFor(Rgb(1, 2, 3), kBoth), kCellCustomBox);
    EXPECT_EQ(ChosenCellFor(Rgb(1, 2, 3), kDefaultOnly), kCellNone);
    // Without a default box the default colour is just a colour that is not in the table.
    EXPECT_EQ(ChosenCellFor(kDefaultColour, kCustomOnly), kCellCustomBox);
    EXPECT_EQ(ChosenCellFor(kDefaultColour, kNeither), kCellNone);
}

TEST(ColourGrid, CellColours) {
    EXPECT_EQ(CellColour(kCellDefaultBox, 0x123456), kDefaultColour);
    EXPECT_EQ(CellColour(kCellCustomBox, 0x123456), 0x123456u);
    EXPECT_EQ(CellColour(26, 0x123456), Rgb(255, 255, 0));
}

struct NavCase {
    int from;
    GridKey key;
    GridBoxes boxes;
    int to;
};

TEST(ColourGrid, DownKey) {
    const NavCase cases[] = {
        {0, GridKey::kDown, kBoth, 8},
        {13, GridKey::kDown, kBoth, 21},
        {33, GridKey::kDown, kBoth, kCellCustomBox},   // past the grid: the custom box
        {33, GridKey::kDown, kDefaultOnly, kCellDefaultBox},  // else the default box
        {33, GridKey::kDown, kNeither, 0},              // else cell 0
        {kCellDefaultBox, GridKey::kDown, kBoth, 0},
        {kCellCustomBox, GridKey::kDown, kBoth, kCellDefaultBox},
        {kCellCustomBox, GridKey::kDown, kCustomOnly, 0},
    };
    for (const NavCase& c : cases) EXPECT_EQ(NextCell(c.from, c.key, c.boxes), c.to) << c.from;
}

TEST(ColourGrid, UpKey) {
    const NavCase cases[] = {
        {8, GridKey::kUp, kBoth, 0},
        {39, GridKey::kUp, kBoth, 31},
        {5, GridKey::kUp, kBoth, kCellDefaultBox},     // from row 0: the default box
        {5, GridKey::kUp, kCustomOnly, kCellCustomBox},  // else the custom box
        {5, GridKey::kUp, kNeither, 39},               // else the last cell
        {kCellDefaultBox, GridKey::kUp, kBoth, kCellCustomBox},
        {kCellDefaultBox, GridKey::kUp, kDefaultOnly, 39},
        {kCellCustomBox, GridKey::kUp, kBoth, 39},
    };
    for (const NavCase& c : cases) EXPECT_EQ(NextCell(c.from, c.key, c.boxes), c.to) << c.from;
}

TEST(ColourGrid, RightKey) {
    const NavCase cases[] = {
        {0, GridKey::kRight, kBoth, 1},
        {7, GridKey::kRight, kBoth, 8},  // last column: first column of the next row
        {39, GridKey::kRight, kBoth, kCellCustomBox},
        {39, GridKey::kRight, kDefaultOnly, kCellDefaultBox},
        {39, GridKey::kRight, kNeither, 0},
        {kCellDefaultBox, GridKey::kRight, kBoth, 0},
        {kCellCustomBox, GridKey::kRight, kBoth, kCellDefaultBox},
        {kCellCustomBox, GridKey::kRight, kCustomOnly, 0},
    };
    for (const NavCase& c : cases) EXPECT_EQ(NextCell(c.from, c.key, c.boxes), c.to) << c.from;
}

TEST(ColourGrid, LeftKey) {
    const NavCase cases[] = {
        {9, GridKey::kLeft, kBoth, 8},
        {16, GridKey::kLeft, kBoth, 15},  // column 0: last column of the previous row
        {0, GridKey::kLeft, kBoth, kCellDefaultBox},
        {0, GridKey::kLeft, kCustomOnly, kCellCustomBox},
        {0, GridKey::kLeft, kNeither, 39},
        {kCellDefaultBox, GridKey::kLeft, kBoth, kCellCustomBox},
        {kCellDefaultBox, GridKey::kLeft, kDefaultOnly, 39},
        {kCellCustomBox, GridKey::kLeft, kBoth, 39},
    };
    for (const NavCase& c : cases) EXPECT_EQ(NextCell(c.from, c.key, c.boxes), c.to) << c.from;
}

TEST(ColourGrid, NothingHighlightedStartsAtTheFirstCell) {
    EXPECT_EQ(NextCell(kCellNone, GridKey::kDown, kBoth), 0);
    EXPECT_EQ(NextCell(kCellNone, GridKey::kLeft, kNeither), 0);
}

TEST(ColourGrid, LayoutWithBothBoxes) {
    GridMetrics m;
    m.margin = 2;
    m.cellSize = 18;
    m.defaultTextCx = 30;
    m.defaultTextCy = 13;
    m.customTextCx = 70;
    m.customTextCy = 13;
    GridLayout l = LayOutGrid(m, kBoth);
    // Box height 13 + 8 + 2 = 23.
    EXPECT_EQ(l.width, 8 * 18 + 4);
    EXPECT_EQ(l.defaultBox.top, 2);
    EXPECT_EQ(l.defaultBox.bottom, 4 + 23);
    EXPECT_EQ(l.gridTop, 4 + 23);
    int heightAfterDefault = 5 * 18 + 4 + 23 + 6;
    EXPECT_EQ(l.customBox.top, heightAfterDefault);
    EXPECT_EQ(l.customBox.bottom, heightAfterDefault + 2 + 23);
    EXPECT_EQ(l.height, heightAfterDefault + 23 + 6);
    EXPECT_EQ(l.HitTest(5, 5), kCellDefaultBox);
    EXPECT_EQ(l.HitTest(2, l.gridTop), 0);
    EXPECT_EQ(l.HitTest(2 + 18 * 7 + 17, l.gridTop + 18 * 4 + 17), 39);
    EXPECT_EQ(l.HitTest(10, l.customBox.top + 3), kCellCustomBox);
    EXPECT_EQ(l.CellRect(9).left, 2 + 18);
    EXPECT_EQ(l.CellRect(9).top, l.gridTop + 18);
}

TEST(ColourGrid, LayoutWithoutBoxesAndWithWideCaptions) {
    GridMetrics m;
    GridLayout plain = LayOutGrid(m, kNeither);
    EXPECT_EQ(plain.width, 148);
    EXPECT_EQ(plain.height, 94);
    EXPECT_EQ(plain.gridTop, 2);
    m.customTextCx = 200;
    m.customTextCy = 13;
    GridLayout wide = LayOutGrid(m, kCustomOnly);
    EXPECT_EQ(wide.width, 204);
    EXPECT_EQ(wide.customBox.right, 202);
}
