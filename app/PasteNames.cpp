#include "app/PasteNames.h"

#include <algorithm>
#include <cstdio>
#include <algorithm>
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

namespace {

// How many UTF-8 bytes the character starting with `lead` takes, and its UTF-16 units.
size_t SequenceLength(uint8_t lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

}  // namespace

std::string NoteTextFromClipboard(const std::string& text, size_t* dropped) {
    std::string out;
    size_t units = 0;
    size_t end = text.find('\0');
    if (end == std::string::npos) end = text.size();
    size_t i = 0;
    for (; i < end; i++) {
        char c = text[i];
        bool breakHere = c == '\n' || c == '\r';
        if (breakHere) {
            if (units + 2 > kMaxNoteChars) break;
            if (c == '\r' && i + 1 < end && text[i + 1] == '\n') i++;  // CR LF counts once
            out += "\r\n";
            units += 2;
        } else {
            size_t length = std::min(SequenceLength((uint8_t)c), end - i);
            size_t need = length == 4 ? 2 : 1;  // outside the BMP: a surrogate pair
            if (units + need > kMaxNoteChars) break;
            out.append(text, i, length);
            units += need;
            i += length - 1;
        }
    }
    if (dropped) {
        // Characters left out: every byte that starts a character, a CR LF counted once.
        size_t n = 0;
        for (size_t k = i; k < end; k++) {
            uint8_t b = (uint8_t)text[k];
            if ((b & 0xC0) == 0x80) continue;
            if (b == '\r' && k + 1 < end && text[k + 1] == '\n') continue;
            n++;
        }
        *dropped = n;
    }
    return out;
}

std::vector<uint8_t> WideFileListBlock(const std::vector<std::u16string>& paths) {
    // DROPFILES: offset of the list, a point, the non-client flag, the wide flag (1: UTF-16).
    std::vector<uint8_t> block(20, 0);
    block[0] = 20;
    block[16] = 1;
    auto put = [&](char16_t c) {
        block.push_back(uint8_t(c));
        block.push_back(uint8_t(c >> 8));
    };
    size_t listed = 0;
    for (const std::u16string& p : paths) {
        if (p.empty()) continue;
        for (char16_t c : p) put(c);
        put(0);
        listed++;
    }
    put(0);
    if (listed == 0) put(0);
    return block;
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
