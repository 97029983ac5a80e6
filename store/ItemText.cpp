#include "store/ItemText.h"

#include <cstring>

#include "platform/FileNames.h"
#include "platform/Text.h"

namespace sona {

std::string ItemText(const DeskCollection& store, const RecordView& record) {
    if (const std::string* full = ExtensionText(store, record)) return *full;
    if (const TextItemRecord* note = record.text())
        return AnsiToUtf8(std::string(note->text, strnlen(note->text, sizeof note->text)));
    const char* field = record.media() ? record.media()->path : record.picture() ? record.picture()->path : nullptr;
    if (!field) return std::string();
    return AnsiToUtf8(std::string(field, strnlen(field, kPathField)));
}

bool SetItemPath(DeskCollection* store, const RecordView& record, const std::string& path) {
    char* field = record.media() ? record.media()->path : record.picture() ? record.picture()->path : nullptr;
    if (!field) return false;
    bool exact = false;
    std::string ansi = AnsiPathField(path, &exact);
    if (ansi.size() >= kPathField) return false;
    // The path and its NUL only: the bytes after it are the record's own.
    std::memcpy(field, ansi.c_str(), ansi.size() + 1);
    SetExtensionText(store, record, exact ? nullptr : &path);
    return true;
}

void SetNoteField(char (&field)[10000], const std::string& text) {
    bool exact = false;
    std::string ansi = AnsiNoteField(text, sizeof field - 1, &exact);
    std::memcpy(field, ansi.c_str(), ansi.size() + 1);
}

bool SetItemNoteText(DeskCollection* store, const RecordView& record, const std::string& text) {
    TextItemRecord* note = record.text();
    if (!note) return false;
    bool exact = false;
    std::string ansi = AnsiNoteField(text, sizeof note->text - 1, &exact);
    std::memcpy(note->text, ansi.c_str(), ansi.size() + 1);
    SetExtensionText(store, record, exact ? nullptr : &text);
    return true;
}

bool SetItemText(DeskCollection* store, const RecordView& record, const std::string& text) {
    return record.text() ? SetItemNoteText(store, record, text) : SetItemPath(store, record, text);
}

}  // namespace sona
