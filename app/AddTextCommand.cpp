// The add-text command: a new note on the current desk.
#include <cstring>

#include "app/MainDeskWindow.h"
#include "notes/CDlgAddText.h"
#include "notes/NoteMeasure.h"
#include "notes/TextItem.h"

namespace sona {

namespace {

// Moves r, no larger than the work area, into the work area of the monitor `window` is on.
RECT KeepInWorkArea(RECT r, HWND window) {
    MONITORINFO mi{sizeof mi};
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &mi)) return r;
    return MoveIntoWorkArea(r, mi.rcWork);
}

}  // namespace

// Writes a new note in the editor and, when confirmed, places it.
void MainDeskWindow::OnAddText() {
    auto note = std::make_unique<TextItem>();
    std::string text;
    CDlgAddText dialog;
    dialog.record = &note->record;
    dialog.text = &text;
    if (dialog.DoModal() != IDOK) {
        // The unused note never had a window.
        note.reset();
        RedrawDeskView(0);
        return;
    }
    note->SetText(text);
    PlaceNewNote(std::move(note));
}

// A new note goes under the main window's top-left corner at its measured size plus 20, live and
// recorded at the same index. A note larger than the screen's work area is cut to it and placed
// inside it, so it never hides the whole desk.
void MainDeskWindow::PlaceNewNote(std::unique_ptr<TextItem> note, size_t dropped) {
    RECT m = OuterRect(nullptr, nullptr);
    SIZE card = NoteCardSize(MeasureNoteText(note->record, note->FullText(), backBuffer ? backBuffer.dc() : nullptr));
    bool larger = NoteExceedsScreen(card, hwnd);
    card = NoteWindowSize(card, hwnd);
    RECT place{m.left + 10, m.top + 60, m.left + 10 + card.cx, m.top + 60 + card.cy};
    if (larger) place = KeepInWorkArea(place, hwnd);
    note->Create(place, hwnd, 0);
    note->Render();

    RecordPtr record = NewRecord(kItemText);
    NoteToRecord(note->record, ViewRecord(kItemText, record.get()).text());
    AppendItem(std::move(note), std::move(record));
    RedrawDeskView(0);
    if (dropped || larger) noteCutReporter(hwnd, dropped, larger);
}

}  // namespace sona
