#include "store/DeskRecords.h"

#include <cstring>

namespace sona {

void InitTextNoteRecord(TextNoteRecord* rec) {
    std::memset(rec, 0, sizeof *rec);
    rec->font.lfHeight = 12;
    std::strcpy(rec->font.lfFaceName, "Microsoft Sans Serif");
    rec->reservedColour = kNoteReservedColour;
}

void NoteToRecord(const TextNoteRecord& note, TextItemRecord* rec) {
    std::memcpy(rec->text, note.text, sizeof rec->text);
    rec->font = note.font;
    rec->textColour = note.textColour;
    rec->reservedColour = kNoteReservedColour;
    std::memset(rec->reservedWords, 0, sizeof rec->reservedWords);
}

void NoteFromRecord(const TextItemRecord& rec, TextNoteRecord* note) {
    note->font = rec.font;
    note->textColour = rec.textColour;
    // The field goes back to the store as it is, bytes after its end included; only a field
    // without any end gets one.
    std::memcpy(note->text, rec.text, sizeof note->text);
    if (!std::memchr(note->text, 0, sizeof note->text)) note->text[sizeof note->text - 1] = '\0';
}

bool SetPathField(char (&field)[kPathField], const char* path, size_t length) {
    if (length >= kPathField) return false;
    std::memcpy(field, path, length);
    field[length] = '\0';
    return true;
}

RelativeRect* RecordView::rect() const {
    if (media_) return &media_->rect;
    if (picture_) return &picture_->rect;
    if (text_) return &text_->rect;
    return nullptr;
}

}  // namespace sona
