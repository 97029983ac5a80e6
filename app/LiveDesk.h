// The item windows of the desk shown, kept beside the records they show: entry i is the window of
// record i of the model's current desk. Every change that both the records and the windows must
// follow (a desk shown, an item added, taken, put back or moved) is one operation here, so the
// two never part; the main window only asks for them and redraws.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/DeskModel.h"
#include "app/UndoStack.h"
#include "items/DeskItem.h"
#include "platform/Window.h"

namespace sona {

// A rectangle that lies wholly outside every monitor (a monitor was removed, the resolution
// dropped) moves onto the nearest monitor's work area, size kept; one that is at least partly
// visible stays exactly where it is.
RECT KeepOnScreen(RECT r);
// Moves r, size kept, as little as it takes to lie inside `work` (its top-left corner wins when
// r is larger).
RECT MoveIntoWorkArea(RECT r, const RECT& work);

// The window of a stored record (`text` its whole path or note text), at its stored place on a main
// window of `outer` size, or on the nearest monitor when that place is off every monitor (the item
// then keeps its stored place, see DeskItem::placeKept).
std::unique_ptr<DeskItem> RestoreOnScreen(const RecordView& record, SIZE outer, HWND owner, const std::string& text);

// The outer size `window` has when shown normally (also while it is minimised): what item
// rectangles are stored relative to.
SIZE NormalOuterSize(HWND window);

class LiveDesk {
public:
    // The records come from `model`; the windows are owned by `owner`, whose loop runs the turns.
    LiveDesk(DeskModel& model, const Window& owner);
    ~LiveDesk();
    LiveDesk(const LiveDesk&) = delete;
    LiveDesk& operator=(const LiveDesk&) = delete;

    // The windows, entry i showing record i; an empty entry is a window still to come.
    const std::vector<std::unique_ptr<DeskItem>>& Items() const { return items; }
    size_t Count() const { return items.size(); }
    DeskItem* At(size_t i) const { return i < items.size() ? items[i].get() : nullptr; }
    // The entry showing `window`, or SIZE_MAX.
    size_t IndexOf(HWND window) const;
    // The item last clicked or created (its window).
    HWND Current() const { return current; }
    void SetCurrent(HWND window) { current = window; }

    // Starts showing the model's current desk: the old windows are hidden and taken down, the new
    // ones made in record order, a few per turn of the owner's message loop.
    void Show();
    // True while Show's windows are still being made or the old ones taken down.
    bool Building() const { return building || !leaving.empty(); }
    // One turn of that work; the message loop runs them, tests step them. `mayBuild` false only
    // hides the old windows.
    void BuildTurn(bool mayBuild = true);
    // A turn the owner's loop asked for: `posted` by the turn message, else by the timer. It waits
    // while a message box is up.
    void LoopTurn(bool posted);
    // Does the rest of that work now.
    void FinishBuild();
    // How long one turn may keep the message loop, in ms; a turn always does at least one window,
    // which under Wine alone can take tens of milliseconds on a busy machine.
    static double turnMs;

    // The desk operations of the model, with the windows following: the windows' places and
    // content go into the records first, the desk then shown is built anew.
    void CreateDesk();
    // Shows desk d (the desk shown when there is none such; false then).
    bool SelectDesk(uint32_t d);
    // False (nothing changes) past the first or the last desk.
    bool StepDesk(int step);
    RemovedDesk TakeDesk();
    void PutBackDesk(RemovedDesk desk);

    // A new item and its record, last on the desk shown; the record takes the window's place and
    // the item's kind, and the item becomes current. Nothing without a desk or an item.
    void Append(std::unique_ptr<DeskItem> item, RecordPtr record);
    // Takes item i's window down and its record out, as it would be saved now (for Ctrl+Z).
    RemovedItem Take(size_t i);
    // Puts a taken record back with its window (the whole desk rebuilt when it goes to another
    // desk), makes it current and returns its index, or SIZE_MAX when there is no desk for it.
    size_t PutBack(RemovedItem item);
    // Moves item `from` to index `to`, record and window, the others keeping their order; false
    // when either is out of range.
    bool Move(size_t from, size_t to);

    // Copies every window's place and content into its record; a window not made yet leaves its
    // record as stored.
    void Sync();
    void SyncItem(size_t i);
    // The path or note text of record i of the desk shown, whole and UTF-8.
    std::string TextAt(size_t i);

    // Hides every window (with everything it floats over itself) or shows them again; a desk
    // shown afterwards comes visible.
    void ShowAll(bool shown);
    bool Hidden() const { return hidden; }
    // Stacks the windows of the normal layer as their records lie: the last on top.
    void StackInRecordOrder();
    // Puts window k in its place among the others: under the next one in the records.
    void StackInRecordOrder(size_t k);

    // Takes every window down at once; the records stay.
    void TakeDown();
    // Takes every window down and frees every desk.
    void Clear();

    // Told when Show has begun (the view shows another desk) and when its windows are all made.
    std::function<void()> onShow, onBuilt;

private:
    SIZE Outer() const { return NormalOuterSize(owner.hwnd); }
    void SyncItem(size_t i, SIZE outer);
    void KeepItemText(const DeskItem& item, const RecordView& record);
    std::unique_ptr<DeskItem> Restore(size_t i, SIZE outer);
    // Makes the window of the next record that has none yet, or the next window of a reordered
    // desk to be made anew; false when none is left.
    bool BuildNext();
    // Pictures and notes are made anew to be reordered; music and movies keep their windows.
    static bool Remade(const DeskItem* item);
    // Replaces item i's window by a new one, on top of the others.
    void Remake(size_t i, SIZE outer);

    DeskModel& model;
    const Window& owner;
    std::vector<std::unique_ptr<DeskItem>> items;
    // The previous desk's windows, hidden, waiting to be destroyed a few at a time.
    std::vector<std::unique_ptr<DeskItem>> leaving;
    bool building = false;
    bool turnPosted = false;
    size_t nextToBuild = 0;
    // Windows of a reordered desk before this index are made anew as the build passes them.
    size_t remakeEnd = 0;
    HWND current = nullptr;
    bool hidden = false;
};

}  // namespace sona
