// The size a note's text needs in its font: the one measurement the main window and the note
// window share, so restored notes and edited notes come out the same size.
#pragma once
#include <windows.h>

#include <string>

#include "store/DeskRecords.h"

namespace sona {

// GDI+ bounding box of the text (UTF-16 from the ANSI code page) in the record's face at
// lfHeight points, regular style, no wrapping; truncated to whole pixels. A face GDI+ does not
// know measures 0 x 0. `dc` may be null (the screen is used).
SIZE MeasureNoteText(const TextNoteRecord& note, HDC dc);
// The same for a note's full text (UTF-8) in the record's face and size.
SIZE MeasureNoteText(const TextNoteRecord& note, const std::string& text, HDC dc);

// A note's card is its text's size plus this much each way (10 pixels on every side).
constexpr int kNotePadding = 20;
inline SIZE NoteCardSize(SIZE text) { return SIZE{text.cx + kNotePadding, text.cy + kNotePadding}; }

// A note's window is never larger than the work area of the monitor it is on (or nearest to
// `window`, or the primary one): a huge text shows its first part, and Edit shows all of it.
SIZE NoteWindowSize(SIZE card, HWND window);
// Whether the card had to be cut to the work area.
bool NoteExceedsScreen(SIZE card, HWND window);

}  // namespace sona
