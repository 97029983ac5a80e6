// Turns a stored record back into the live window of its kind.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "items/DeskItem.h"

namespace sona {

// Builds the window for a stored record at rectangle `r` (screen coordinates, already scaled
// from the record's relative rectangle), owned by `owner`. Null for an empty view.
std::unique_ptr<DeskItem> RestoreDeskItem(const RecordView& record, RECT r, HWND owner);

}  // namespace sona
