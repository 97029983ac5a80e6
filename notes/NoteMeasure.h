// The size a note's text needs in its font: the one measurement the main window and the note
// window share, so restored notes and edited notes come out the same size.
#pragma once
#include <windows.h>

#include "store/DeskRecords.h"

namespace sona {

// GDI+ bounding box of the text (UTF-16 from the ANSI code page) in the record's face at
// lfHeight points, regular style, no wrapping; truncated to whole pixels. A face GDI+ does not
// know measures 0 x 0. `dc` may be null (the screen is used).
SIZE MeasureNoteText(const TextNoteRecord& note, HDC dc);

// A note's card is its text's size plus this much each way (10 pixels on every side).
constexpr int kNotePadding = 20;
inline SIZE NoteCardSize(SIZE text) { return SIZE{text.cx + kNotePadding, text.cy + kNotePadding}; }

}  // namespace sona
