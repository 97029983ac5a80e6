// The open list of a CVrnComboBox: a top-most bordered window under the combo box holding an
// owner-drawn list of the combo box's items and a SkinScrollBar. It holds the mouse capture
// while open, routes the mouse to the list or the bar and closes on a click anywhere else.
#pragma once
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "controls/ControlMessages.h"
#include "controls/SkinScrollBar.h"
#include "platform/Window.h"

namespace sona {

class ComboDropDown;

// One entry of the drop-down's copy of the items; `unselectable` marks an entry the user cannot
// pick (the combo box's own items never set it).
struct ComboItem {
    std::string text;
    uint32_t unselectable = 0;
};

// The owner-drawn list box inside the drop-down. It selects the item under the pointer as the
// mouse moves and chooses it on a button-down.
class DropDownList : public Window {
public:
    DropDownList() = default;
    ~DropDownList() override;

    BOOL Create(const RECT& rect, HWND parent, UINT id, HWND combo, SkinScrollBar* bar);
    // Moves the selection to `index`, stepping over entries that cannot be picked in the
    // direction of travel; nothing changes when no pickable entry is found.
    void SelectIndex(int index);
    int ItemHeight() const;
    int TopIndex() const;

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    const ComboItem* ItemAt(int index) const;
    void FollowTopIndex();

    HWND combo = nullptr;
    SkinScrollBar* bar = nullptr;
    int lastTopIndex = -1;
};

class ComboDropDown : public Window {
public:
    static constexpr UINT kListId = 1;
    static constexpr UINT kBarId = 2;

    ComboDropDown() = default;
    ~ComboDropDown() override;

    // Creates the window at `screenRect` as a child of the desktop, fills the list with `items`
    // and takes the mouse capture. `combo` receives WM_COMBO_CHOOSE and WM_COMBO_CLOSE.
    BOOL Create(HWND combo, const std::list<std::string>& items, const RECT& screenRect);

    // Marks an entry as the list's selection (-1 for none) and brings it into view.
    void MarkIndex(int index);
    int MarkedIndex() const;
    // Moves the list's top index by `delta` rows (wheel), within 0..item count.
    void ScrollBy(int delta);
    void SetListFont(HFONT font);

    DropDownList& List() { return list; }
    SkinScrollBar& Bar() { return bar; }
    HWND Combo() const { return combo; }
    const RECT& ListRect() const { return listRect; }
    const RECT& BarRect() const { return barRect; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void AttachListToBar();
    bool RouteMouse(UINT msg, WPARAM wp, LPARAM lp);
    void DrawItem(const DRAWITEMSTRUCT* dis);

    HWND combo = nullptr;
    std::vector<ComboItem> items;
    DropDownList list;
    SkinScrollBar bar;
    RECT listRect{};
    RECT barRect{};
};

}  // namespace sona
