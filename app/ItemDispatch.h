// Turns a stored record back into the live window of its kind.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "items/DeskItem.h"

namespace sona {

// Builds the window for a stored record at rectangle `r` (screen coordinates, already scaled
// from the record's relative rectangle), owned by `owner`. `text` is the item's path or note text
// as ItemText gives it (UTF-8, whole). Null for an empty view.
std::unique_ptr<DeskItem> RestoreDeskItem(const RecordView& record, RECT r, HWND owner, const std::string& text);
// The same for a record on its own, with no store beside it: its ANSI field is all it has.
std::unique_ptr<DeskItem> RestoreDeskItem(const RecordView& record, RECT r, HWND owner);

}  // namespace sona
