#include "app/DeskNotes.h"

#include <cstring>

#include "app/MainDeskWindow.h"
#include "app/PasteNames.h"
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

void DeskNotes::Add() {
    auto note = std::make_unique<TextItem>();
    std::string text;
    CDlgAddText dialog;
    dialog.record = &note->record;
    dialog.text = &text;
    if (dialog.DoModal() != IDOK) {
        // The unused note never had a window.
        note.reset();
        desk.RedrawDeskView(0);
        return;
    }
    note->SetText(text);
    Place(std::move(note));
}

void DeskNotes::AddWithText(const std::string& text) {
    size_t dropped = 0;
    std::string noteText = NoteTextFromClipboard(text, &dropped);
    if (noteText.empty() || desk.Model().currentDesk() >= desk.Model().DeskCount()) return;
    auto note = std::make_unique<TextItem>();
    note->SetText(noteText);
    Place(std::move(note), dropped);
}

// At its measured size plus 20. A note larger than the screen's work area is cut to it and placed
// inside it, so it never hides the whole desk.
void DeskNotes::Place(std::unique_ptr<TextItem> note, size_t dropped) {
    HWND hwnd = desk.hwnd;
    RECT m = desk.OuterRect(nullptr, nullptr);
    SIZE card = NoteCardSize(MeasureNoteText(note->record, note->FullText(), desk.ViewDC()));
    bool larger = NoteExceedsScreen(card, hwnd);
    card = NoteWindowSize(card, hwnd);
    RECT place{m.left + 10, m.top + 60, m.left + 10 + card.cx, m.top + 60 + card.cy};
    if (larger) place = KeepInWorkArea(place, hwnd);
    note->Create(place, hwnd, 0);
    note->Render();

    RecordPtr record = NewRecord(kItemText);
    NoteToRecord(note->record, ViewRecord(kItemText, record.get()).text());
    desk.AppendItem(std::move(note), std::move(record));
    desk.RedrawDeskView(0);
    if (dropped || larger) noteCutReporter(hwnd, dropped, larger);
}

}  // namespace sona
