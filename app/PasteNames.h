// What the clipboard commands make of what they carry, without touching the clipboard: the name
// a pasted picture is saved under, a note's text from clipboard text, and the file list block
// that hands files to other programs. Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sona {

struct PasteTime {
    int year, month, day, hour, minute, second;
};

// "Pasted-YYYYMMDD-HHMMSS.png"; attempts from 2 on add "-<attempt>" before the extension, for a
// second paste within the same second.
std::string PastedPictureName(const PasteTime& t, int attempt = 1);

// The longest side a pasted picture is kept at: a screen's worth and more, where a picture from
// the clipboard can be any size (a 12000 x 9000 scan is 432 MB once decoded).
constexpr uint32_t kPastedSideLimit = 4096;

// The size a w by h picture is kept at: the same when its longest side is within `limit`, else
// reduced to that side with the aspect kept (the other side at least 1).
void KeptPictureSize(uint32_t w, uint32_t h, uint32_t limit, uint32_t* keptW, uint32_t* keptH);

// True when the bytes begin with the PNG signature.
bool LooksLikePng(const uint8_t* data, size_t size);

// A note's text from clipboard text (UTF-8): every line break becomes CR LF (the note's own form;
// text from other systems often has bare LF), and it is cut to what a note holds (kMaxNoteChars
// UTF-16 units) without splitting a line break or a character. Text ends at its first NUL.
// *dropped (when given): how many characters were left out.
std::string NoteTextFromClipboard(const std::string& text, size_t* dropped = nullptr);

// The clipboard's file list in its wide form (DROPFILES with fWide set), for paths of any
// language: each UTF-16 path and its NUL, then one more NUL. Empty paths are left out.
std::vector<uint8_t> WideFileListBlock(const std::vector<std::u16string>& paths);

// The clipboard's file list (a DROPFILES header of 20 bytes, then each path and its NUL, then one
// more NUL), paths in the system code page. Empty paths are left out.
std::vector<uint8_t> FileListBlock(const std::vector<std::string>& paths);

}  // namespace sona
