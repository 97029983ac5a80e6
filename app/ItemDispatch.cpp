// Builds the live window of a stored record, kind by kind. Each item kind adds its case here.
#include <cstring>

#include "app/ItemDispatch.h"
#include "notes/TextItem.h"
#include "items/MediaItem.h"
#include "items/PictureItem.h"

namespace sona {

std::unique_ptr<DeskItem> RestoreDeskItem(uint32_t type, const void* record, RECT r, HWND owner) {
    switch (type) {
    case kItemPicture: {
        // The picture is read before the window exists; a file that cannot be read still gets
        // its window (a grey panel when the file is gone).
        const auto* rec = (const PictureItemRecord*)record;
        auto picture = std::make_unique<PictureItem>();
        picture->LoadPicture(std::string(rec->path, strnlen(rec->path, kPathField)));
        picture->Create(r, owner, 0);
        return picture;
    }
    case kItemMovie:
    case kItemMusic: {
        // A movie needs room for its frame and controls; a music card keeps its stored size.
        const auto* rec = (const MediaItemRecord*)record;
        MediaKind kind = type == kItemMovie ? MediaKind::Movie : MediaKind::Music;
        if (kind == MediaKind::Movie) {
            if (r.right - r.left < MediaItem::kMinMovieWidth) r.right = r.left + MediaItem::kMinMovieWidth;
            if (r.bottom - r.top < MediaItem::kMinMovieHeight) r.bottom = r.top + MediaItem::kMinMovieHeight;
        }
        return CreateMediaItem(kind, r, owner, std::string(rec->path, strnlen(rec->path, kPathField)));
    }
    case kItemText: {
        // A restored note takes its size from its text again, not from the stored rectangle.
        const auto* rec = (const TextItemRecord*)record;
        auto note = std::make_unique<TextItem>();
        note->record.font = rec->font;
        note->record.textColour = rec->textColour;
        // The field goes back to the store as it is, bytes after its end included; only a
        // field without any end gets one.
        std::memcpy(note->record.text, rec->text, sizeof note->record.text);
        if (!std::memchr(note->record.text, 0, sizeof note->record.text))
            note->record.text[sizeof note->record.text - 1] = '\0';
        SIZE size = note->MeasureText(note->record);
        r.right = r.left + size.cx + 20;
        r.bottom = r.top + size.cy + 20;
        note->Create(r, owner, 0);
        note->Render();
        return note;
    }
    default:
        return nullptr;
    }
}

}  // namespace sona
