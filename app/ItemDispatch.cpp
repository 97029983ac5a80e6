// Builds the live window of a stored record, kind by kind. Each item kind adds its case here.
#include "app/ItemDispatch.h"

#include <cstring>

#include "items/MediaItem.h"
#include "items/PictureItem.h"
#include "notes/NoteMeasure.h"
#include "notes/TextItem.h"
#include "store/ItemText.h"

namespace sona {

namespace {

std::unique_ptr<DeskItem> MakeDeskItem(const RecordView& record, RECT r, HWND owner, const std::string& text) {
    if (record.picture()) {
        // The window comes at once with its frame; the picture is read by the loader's workers
        // and follows. A file that cannot be read still gets its window (a grey panel when the
        // file is gone).
        auto picture = std::make_unique<PictureItem>();
        picture->LoadPictureLater(text);
        picture->Create(r, owner, 0);
        return picture;
    }
    MediaKind kind;
    if (record.media() && MediaKindOf(record.type(), &kind)) {
        // A movie needs room for its frame and controls; a music card keeps its stored size.
        if (kind == MediaKind::Movie) {
            if (r.right - r.left < MediaItem::kMinMovieWidth) r.right = r.left + MediaItem::kMinMovieWidth;
            if (r.bottom - r.top < MediaItem::kMinMovieHeight) r.bottom = r.top + MediaItem::kMinMovieHeight;
        }
        return CreateMediaItem(kind, r, owner, text);
    }
    if (const TextItemRecord* rec = record.text()) {
        // A restored note takes its size from its text again, not from the stored rectangle.
        auto note = std::make_unique<TextItem>();
        NoteFromRecord(*rec, &note->record);
        note->SetText(text);
        SIZE card = NoteWindowSize(NoteCardSize(note->MeasureText(note->record)), owner);
        r.right = r.left + card.cx;
        r.bottom = r.top + card.cy;
        note->Create(r, owner, 0);
        note->Render();
        return note;
    }
    return nullptr;
}

}  // namespace

// The window with the settings its record keeps (layer, opacity, click-through).
std::unique_ptr<DeskItem> RestoreDeskItem(const RecordView& record, RECT r, HWND owner, const std::string& text) {
    std::unique_ptr<DeskItem> item = MakeDeskItem(record, r, owner, text);
    if (item && item->ItemWindow()) {
        ItemSettings s = SettingsFromTag(record.Tag());
        if (s != ItemSettings{}) item->ApplySettings(s);
    }
    return item;
}

std::unique_ptr<DeskItem> RestoreDeskItem(const RecordView& record, RECT r, HWND owner) {
    DeskCollection none;
    return RestoreDeskItem(record, r, owner, ItemText(none, record));
}

}  // namespace sona
