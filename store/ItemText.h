// The one place an item's file path or a note's text is read from and written to its record: the
// full UTF-8 text from the store's extension entry when the record has one, else the record's
// ANSI field read through the code page. Nothing opens a file by the ANSI field itself.
#pragma once
#include <string>

#include "store/DeskStore.h"

namespace sona {

// The item's path (movie, music, picture) or the note's text, UTF-8; empty for an empty view.
std::string ItemText(const DeskCollection& store, const RecordView& record);
inline std::string ItemPath(const DeskCollection& store, const RecordView& record) { return ItemText(store, record); }

// Writes a path: the record's field gets a name that cannot mislead (AnsiPathField), and the
// extension the full path when the field does not spell it. False for a record without a path.
bool SetItemPath(DeskCollection* store, const RecordView& record, const std::string& path);

// Writes a note's text (at most kMaxNoteChars UTF-16 units, cut by the caller): the field gets
// the code page's honest rendering, the extension the full text when the field does not spell it.
bool SetItemNoteText(DeskCollection* store, const RecordView& record, const std::string& text);

// Either of the two, by the record's kind.
bool SetItemText(DeskCollection* store, const RecordView& record, const std::string& text);

// The note field's rendering of `text` for a TextNoteRecord (the window's and the editor's copy).
void SetNoteField(char (&field)[10000], const std::string& text);

}  // namespace sona
