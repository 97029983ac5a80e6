#include "controls/ColourGrid.h"

#include <algorithm>

namespace sona {

namespace {
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }
constexpr int kLastCell = kColourCount - 1;
}  // namespace

// Several names do not match their colours; they are kept as users of the program know them.
const NamedColour ColourTable[kColourCount] = {
    {Rgb(0, 0, 0), "Black"},
    {Rgb(165, 42, 0), "Brown"},
    {Rgb(0, 64, 64), "Dark Olive Green"},
    {Rgb(0, 85, 0), "Dark Green"},
    {Rgb(0, 0, 94), "Dark Teal"},
    {Rgb(0, 0, 139), "Dark blue"},
    {Rgb(75, 0, 130), "Indigo"},
    {Rgb(40, 40, 40), "Dark grey"},
    {Rgb(139, 0, 0), "Dark red"},
    {Rgb(255, 104, 32), "Orange"},
    {Rgb(139, 139, 0), "Dark yellow"},
    {Rgb(0, 147, 0), "Green"},
    {Rgb(56, 142, 142), "Teal"},
    {Rgb(0, 0, 255), "Blue"},
    {Rgb(123, 123, 192), "Blue-grey"},
    {Rgb(102, 102, 102), "Grey - 40"},
    {Rgb(255, 0, 0), "Red"},
    {Rgb(255, 173, 91), "Light orange"},
    {Rgb(50, 205, 50), "Lime"},
    {Rgb(60, 179, 113), "Sea green"},
    {Rgb(127, 255, 212), "Aqua"},
    {Rgb(125, 158, 192), "Light blue"},
    {Rgb(128, 0, 128), "Violet"},
    {Rgb(127, 127, 127), "Grey - 50"},
    {Rgb(255, 192, 203), "Pink"},
    {Rgb(255, 215, 0), "Gold"},
    {Rgb(255, 255, 0), "Yellow"},
    {Rgb(0, 255, 0), "Bright green"},
    {Rgb(64, 224, 208), "Turquoise"},
    {Rgb(192, 255, 255), "Skyblue"},
    {Rgb(72, 0, 72), "Plum"},
    {Rgb(192, 192, 192), "Light grey"},
    {Rgb(255, 228, 225), "Rose"},
    {Rgb(210, 180, 140), "Tan"},
    {Rgb(255, 255, 224), "Light yellow"},
    {Rgb(152, 251, 152), "Pale green "},
    {Rgb(175, 238, 238), "Pale turquoise"},
    {Rgb(104, 131, 139), "Pale blue"},
    {Rgb(230, 230, 250), "Lavender"},
    {Rgb(255, 255, 255), "White"},
};

int ChosenCellFor(uint32_t initial, GridBoxes boxes) {
    if (initial == kDefaultColour && boxes.hasDefault) return kCellDefaultBox;
    for (int i = 0; i < kColourCount; i++)
        if (ColourTable[i].colour == initial) return i;
    if (boxes.hasCustom) return kCellCustomBox;
    return kCellNone;
}

namespace {

// Leaving the grid forwards: the custom box, else the default box, else the first cell.
int PastTheGrid(GridBoxes b) {
    if (b.hasCustom) return kCellCustomBox;
    if (b.hasDefault) return kCellDefaultBox;
    return 0;
}

// Leaving the grid backwards: the default box, else the custom box, else the last cell.
int BeforeTheGrid(GridBoxes b) {
    if (b.hasDefault) return kCellDefaultBox;
    if (b.hasCustom) return kCellCustomBox;
    return kLastCell;
}

}  // namespace

// Down and Right go forwards through default box, grid and custom box in a ring; Up and Left
// go backwards. Up and Down move by whole rows inside the grid.
int NextCell(int cell, GridKey key, GridBoxes b) {
    bool forward = key == GridKey::kDown || key == GridKey::kRight;
    if (cell == kCellDefaultBox) {
        if (forward) return 0;
        return b.hasCustom ? kCellCustomBox : kLastCell;
    }
    if (cell == kCellCustomBox) {
        if (forward) return b.hasDefault ? kCellDefaultBox : 0;
        return kLastCell;
    }
    if (cell < 0 || cell >= kColourCount) {
        // Nothing highlighted yet: any arrow starts at the first cell.
        return 0;
    }
    switch (key) {
    case GridKey::kDown: return cell + kColourColumns < kColourCount ? cell + kColourColumns : PastTheGrid(b);
    case GridKey::kRight: return cell + 1 < kColourCount ? cell + 1 : PastTheGrid(b);
    case GridKey::kUp: return cell >= kColourColumns ? cell - kColourColumns : BeforeTheGrid(b);
    case GridKey::kLeft: return cell > 0 ? cell - 1 : BeforeTheGrid(b);
    }
    return cell;
}

uint32_t CellColour(int cell, uint32_t initial) {
    if (cell >= 0 && cell < kColourCount) return ColourTable[cell].colour;
    if (cell == kCellDefaultBox) return kDefaultColour;
    return initial;
}

GridRect GridLayout::CellRect(int cell) const {
    if (cell == kCellDefaultBox) return defaultBox;
    if (cell == kCellCustomBox) return customBox;
    if (cell < 0 || cell >= kColourCount) return GridRect{};
    int row = cell / kColourColumns, col = cell % kColourColumns;
    GridRect r;
    r.left = margin + col * cellSize;
    r.top = gridTop + row * cellSize;
    r.right = r.left + cellSize;
    r.bottom = r.top + cellSize;
    return r;
}

int GridLayout::HitTest(int x, int y) const {
    if (boxes.hasDefault && defaultBox.Contains(x, y)) return kCellDefaultBox;
    if (boxes.hasCustom && customBox.Contains(x, y)) return kCellCustomBox;
    int gx = x - margin, gy = y - gridTop;
    if (gx < 0 || gy < 0) return kCellNone;
    int col = gx / cellSize, row = gy / cellSize;
    if (col >= kColourColumns || row >= kColourRows) return kCellNone;
    int cell = row * kColourColumns + col;
    return cell < kColourCount ? cell : kCellNone;
}

// Grid first, then the default box grows the popup at the top and the custom box at the bottom;
// either box may also widen it to fit its caption.
GridLayout LayOutGrid(const GridMetrics& m, GridBoxes boxes) {
    GridLayout l;
    l.boxes = boxes;
    l.margin = m.margin;
    l.cellSize = m.cellSize;
    int textWidth = 0, boxHeight = 0;
    if (boxes.hasDefault || boxes.hasCustom) {
        textWidth = std::max(m.defaultTextCx, m.customTextCx) + 2 * m.margin;
        boxHeight = std::max(m.defaultTextCy, m.customTextCy) + 4 * m.margin + 2;
    }
    if (l.cellSize - 2 * l.margin - 2 < 5) l.cellSize = 2 * l.margin + 7;
    l.width = kColourColumns * l.cellSize + 2 * l.margin;
    l.height = kColourRows * l.cellSize + 2 * l.margin;
    l.gridTop = l.margin;
    if (boxes.hasDefault) {
        l.width = std::max(l.width, textWidth);
        int w = l.width - 2 * l.margin;
        l.defaultBox = GridRect{l.margin, l.margin, l.margin + w, 2 * l.margin + boxHeight};
        l.gridTop = 2 * l.margin + boxHeight;
        l.height += boxHeight + 3 * l.margin;
    }
    if (boxes.hasCustom) {
        l.width = std::max(l.width, textWidth);
        int w = l.width - 2 * l.margin;
        int h = l.height;
        l.customBox = GridRect{l.margin, h, l.margin + w, h + l.margin + boxHeight};
        l.height += boxHeight + 3 * l.margin;
    }
    // A box that widened the popup after the default box was placed widens that box too.
    if (boxes.hasDefault) l.defaultBox.right = l.width - l.margin;
    return l;
}

}  // namespace sona
