// What the main window needs of every live desk item window, whatever its kind.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "store/DeskRecords.h"

namespace sona {

class DeskItem {
public:
    virtual ~DeskItem() = default;
    // The item's top-level window (null when it has none).
    virtual HWND ItemWindow() const = 0;
    // Copies what the window holds (path, or the note's text, font and colours) into the
    // item's stored record of type `type`. The rectangle is written by the caller.
    virtual void WriteRecord(uint32_t type, void* record) const = 0;
    // Media items stop a playing or paused host here; deleting an item does not stop it.
    virtual void StopIfPlaying() {}
};

// Builds the window for a stored record at rectangle `r` (screen coordinates, already scaled
// from the record's relative rectangle), owned by `owner`. Null for kinds without a window.
// Implemented per kind next to each item class (see app/ItemDispatch.cpp).
std::unique_ptr<DeskItem> RestoreDeskItem(uint32_t type, const void* record, RECT r, HWND owner);

}  // namespace sona
