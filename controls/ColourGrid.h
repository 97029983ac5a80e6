// The colour popup's table of 40 named colours and the model behind its grid: which cell an
// initial colour marks, where the arrow keys lead, and how the cells and boxes are laid out.
// Portable (no windows.h) so that it can be checked on the host.
#pragma once
#include <cstdint>

namespace sona {

struct NamedColour {
    uint32_t colour;  // 0x00BBGGRR
    const char* name;
};

constexpr int kColourCount = 40;
constexpr int kColourColumns = 8;
constexpr int kColourRows = (kColourCount + kColourColumns - 1) / kColourColumns;

// The 40 colours in grid order; the names are also the cells' tooltips.
extern const NamedColour ColourTable[kColourCount];

// The colour the default box stands for (CLR_DEFAULT).
constexpr uint32_t kDefaultColour = 0xFF000000u;

// Cell numbers besides the grid's 0..39.
enum : int { kCellDefaultBox = -3, kCellCustomBox = -2, kCellNone = -1 };

enum class GridKey { kUp, kDown, kLeft, kRight };

// Which boxes the popup shows (a box exists only while its caption is not empty).
struct GridBoxes {
    bool hasDefault = false;
    bool hasCustom = false;
};

// The cell shown as chosen for an initial colour: the default box for CLR_DEFAULT (when it
// exists), else the first equal table entry, else the custom box (when it exists), else none.
int ChosenCellFor(uint32_t initial, GridBoxes boxes);

// Where an arrow key leads from `cell`; absent boxes are skipped.
int NextCell(int cell, GridKey key, GridBoxes boxes);

// The colour a current cell stands for: the table colour, CLR_DEFAULT for the default box, and
// the initial colour for the custom box (its real colour comes from the colour dialog).
uint32_t CellColour(int cell, uint32_t initial);

struct GridRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Sizes measured by the window side in the popup font (zero when the caption is empty).
struct GridMetrics {
    int margin = 2;           // SM_CXEDGE
    int cellSize = 18;
    int defaultTextCx = 0, defaultTextCy = 0;
    int customTextCx = 0, customTextCy = 0;
};

// The popup's geometry relative to its top-left corner.
struct GridLayout {
    int margin = 0;
    int cellSize = 0;
    int gridTop = 0;  // y of the first grid row
    int width = 0, height = 0;
    GridBoxes boxes;
    GridRect defaultBox, customBox;

    GridRect CellRect(int cell) const;
    // The cell or box under a client point, kCellNone when there is none.
    int HitTest(int x, int y) const;
};

GridLayout LayOutGrid(const GridMetrics& m, GridBoxes boxes);

}  // namespace sona
