// Which files each kind of item takes: the one table behind the Open dialogs' filters (import
// commands and the items' own "Open") and the extensions that importing and dropping accept.
#pragma once
#include <cstdint>
#include <string>

namespace sona {

struct MediaFileType {
    uint32_t itemType;  // the store's item type code
    // Open dialog filter: "|" between display names and patterns, ending in "||". The texts are
    // the program's own as users know them, odd patterns ("*png", "*mpeg") included.
    const char* filter;
    // Extensions in lower case without the dot; a null ends the list.
    const char* extensions[6];
};

extern const MediaFileType kMediaFileTypes[3];

// The Open dialog filter of an item type; null for a type that takes no file (a note).
const char* OpenDialogFilter(uint32_t itemType);

// The item type a file is imported as, by its extension (any case); false for other files and
// for a dot that belongs to a folder name.
bool ItemTypeOfFile(const std::string& path, uint32_t* itemType);

}  // namespace sona
