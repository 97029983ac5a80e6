#include "app/PasteNames.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "store/DeskRecords.h"

namespace sona {

std::string PastedPictureName(const PasteTime& t, int attempt) {
    char name[64];
    if (attempt <= 1)
        std::snprintf(name, sizeof name, "Pasted-%04d%02d%02d-%02d%02d%02d.png", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
    else
        std::snprintf(name, sizeof name, "Pasted-%04d%02d%02d-%02d%02d%02d-%d.png", t.year, t.month, t.day, t.hour,
                      t.minute, t.second, attempt);
    return name;
}

bool LooksLikePng(const uint8_t* data, size_t size) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return data && size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

std::string NoteTextFromClipboard(const std::string& text) {
    std::string out;
    size_t end = text.find('\0');
    if (end == std::string::npos) end = text.size();
    for (size_t i = 0; i < end; i++) {
        char c = text[i];
        bool breakHere = c == '\n' || c == '\r';
        if (c == '\r' && i + 1 < end && text[i + 1] == '\n') i++;  // CR LF counts once
        if (breakHere) {
            if (out.size() + 2 > kMaxNoteChars) break;
            out += "\r\n";
        } else {
            if (out.size() + 1 > kMaxNoteChars) break;
            out += c;
        }
    }
    return out;
}

std::vector<uint8_t> FileListBlock(const std::vector<std::string>& paths) {
    // DROPFILES: offset of the list, a point, the non-client flag, the wide flag (0: ANSI).
    std::vector<uint8_t> block(20, 0);
    block[0] = 20;
    for (const std::string& p : paths) {
        if (p.empty()) continue;
        block.insert(block.end(), p.begin(), p.end());
        block.push_back(0);
    }
    block.push_back(0);
    // An empty list still ends in two NULs.
    if (block.size() == 21) block.push_back(0);
    return block;
}

void KeptPictureSize(uint32_t w, uint32_t h, uint32_t limit, uint32_t* keptW, uint32_t* keptH) {
    *keptW = w;
    *keptH = h;
    if (w <= limit && h <= limit) return;
    if (w >= h) {
        *keptW = limit;
        *keptH = (uint32_t)std::max<uint64_t>(1, ((uint64_t)h * limit + w / 2) / w);
    } else {
        *keptH = limit;
        *keptW = (uint32_t)std::max<uint64_t>(1, ((uint64_t)w * limit + h / 2) / h);
    }
}

}  // namespace sona
