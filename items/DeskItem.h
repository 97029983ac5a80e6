// What the main window needs of every live desk item window, whatever its kind.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "items/ItemSettings.h"
#include "store/DeskRecords.h"

namespace sona {

class DeskItem {
public:
    virtual ~DeskItem() = default;
    // The item's top-level window (null when it has none).
    virtual HWND ItemWindow() const = 0;
    // The kind of record it shows (DeskItemType: kItemMovie, kItemMusic, kItemPicture, kItemText).
    virtual uint32_t ItemType() const = 0;
    // Copies what the window holds (path, or the note's text, font and colours) into the
    // item's stored record; a record of another kind is left alone. The rectangle is written
    // by the caller.
    virtual void WriteRecord(const RecordView& record) const = 0;
    // The item's file (movie, music, picture) or the note's text, whole and UTF-8: what the
    // main window keeps with the record (its field and the store's extension). False when the
    // item has none to tell.
    virtual bool FullText(std::string* out) const { return false; }
    // Media items stop a playing or paused host here; deleting an item does not stop it.
    virtual void StopIfPlaying() {}
    // The item's layer, opacity and click-through, and putting them into effect.
    virtual ItemSettings Settings() const { return {}; }
    virtual void ApplySettings(const ItemSettings& s) {}
    // Hides the item with everything it floats over itself, or shows it again as it was.
    virtual void ShowItem(bool shown) {}

    // Set when the stored place lay off every monitor (one that is absent now) and the window was
    // shown on a present one instead, at `shownAt`. As long as the window stays there, its record
    // keeps the stored place, so the layout comes back when the monitor does; the user's own move
    // ends it.
    bool placeKept = false;
    RECT shownAt{};
};

}  // namespace sona
