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

namespace {

uint8_t* TagBytes(const RecordView& view) {
    if (view.media()) return view.media()->reserved1;
    if (view.picture()) return view.picture()->reserved;
    if (view.text()) return view.text()->reserved1;
    return nullptr;
}

}  // namespace

ItemTag RecordView::Tag() const {
    ItemTag tag;
    const uint8_t* b = TagBytes(*this);
    if (!b || b[7] == 0) return tag;  // never written: every setting at its default
    tag.extensionKey = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    tag.layer = b[4] <= kLayerDesktop ? b[4] : kLayerNormal;
    tag.opacity = b[5] >= 1 && b[5] <= 100 ? b[5] : 100;
    tag.flags = b[6];
    tag.version = b[7];
    return tag;
}

void RecordView::SetTag(const ItemTag& tag) const {
    uint8_t* b = TagBytes(*this);
    if (!b) return;
    const uint32_t k = tag.extensionKey;
    const uint8_t bytes[kItemTagSize] = {uint8_t(k), uint8_t(k >> 8), uint8_t(k >> 16), uint8_t(k >> 24),
                                         tag.layer, tag.opacity, tag.flags, kItemTagVersion};
    std::memcpy(b, bytes, kItemTagSize);
}

RelativeRect* RecordView::rect() const {
    if (media_) return &media_->rect;
    if (picture_) return &picture_->rect;
    if (text_) return &text_->rect;
    return nullptr;
}

}  // namespace sona
