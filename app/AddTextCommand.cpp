// The add-text command: a new note on the current desk.
#include <cstring>

#include "app/MainDeskWindow.h"
#include "notes/CDlgAddText.h"
#include "notes/NoteMeasure.h"
#include "notes/TextItem.h"

namespace sona {

// Writes a new note in the editor and, when confirmed, places it.
void MainDeskWindow::OnAddText() {
    auto note = std::make_unique<TextItem>();
    CDlgAddText dialog;
    dialog.record = &note->record;
    if (dialog.DoModal() != IDOK) {
        // The unused note never had a window.
        note.reset();
        RedrawDeskView(0);
        return;
    }
    PlaceNewNote(std::move(note));
}

// A new note goes under the main window's top-left corner at its measured size plus 20, live and
// recorded at the same index.
void MainDeskWindow::PlaceNewNote(std::unique_ptr<TextItem> note) {
    RECT m = OuterRect(nullptr, nullptr);
    SIZE card = NoteCardSize(MeasureNote(note->record));
    RECT place{m.left + 10, m.top + 60, m.left + 10 + card.cx, m.top + 60 + card.cy};
    note->Create(place, hwnd, 0);
    note->Render();

    RecordPtr record = NewRecord(kItemText);
    NoteToRecord(note->record, ViewRecord(kItemText, record.get()).text());
    AppendItem(std::move(note), kItemText, std::move(record));
    RedrawDeskView(0);
}

}  // namespace sona
