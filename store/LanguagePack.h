// The enciphered English text pack: 260-byte string slots, enciphered in 4096-byte chunks.
// A full chunk is deciphered by CBC with ciphertext stealing, then GOST on its first 8 bytes,
// then OFB; a final partial chunk by CBC only. Both chains run on across chunks.
// Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace sona {

constexpr size_t kLanguageTextSize = 65536;
constexpr size_t kLanguageSlotSize = 260;  // MAX_PATH: 259 characters and the NUL
constexpr size_t kLanguageSlotCount = kLanguageTextSize / kLanguageSlotSize;  // 252 whole slots fit
constexpr size_t kPackChunkSize = 4096;

// The deciphered pack: slot n starts at byte n * 260. Bytes past the pack are zero.
struct LanguageText {
    char bytes[kLanguageTextSize];
};
static_assert(sizeof(LanguageText) == kLanguageTextSize, "LanguageText is exactly 64 KiB");

extern const uint8_t PackKey[16];
extern const uint8_t PackGostKey[32];

struct PackKeys {
    const uint8_t* key;      // 16 bytes, Square
    const uint8_t* gostKey;  // 32 bytes, GOST
};
constexpr PackKeys kShippedPackKeys = {PackKey, PackGostKey};

enum class PackStatus {
    Ok,
    Unreadable,       // missing, not a regular file, or a read came up short
    TooLong,          // more than 65536 bytes
    ShortFinalChunk,  // final partial chunk of 1..15 bytes: too short to decipher
    OutputTooSmall,   // caller's buffer is smaller than the pack
};
const char* DescribePackStatus(PackStatus status);

// Whether a pack (or a plain text image about to be enciphered) of this size can be processed.
PackStatus CheckPackSize(uint64_t size);

// Deciphers size bytes of pack into out (which may be pack itself). Nothing is written unless
// the size is accepted, and never more than size bytes.
PackStatus DecodeLanguagePackBuffer(const uint8_t* pack, size_t size, uint8_t* out, size_t capacity,
                                    const PackKeys& keys = kShippedPackKeys);
// The inverse: enciphers size bytes of plain slots into out (which may be text itself).
PackStatus EncodeLanguagePackBuffer(const uint8_t* text, size_t size, uint8_t* out, size_t capacity,
                                    const PackKeys& keys = kShippedPackKeys);

// Reads and deciphers the pack file into a newly allocated LanguageText, or returns nullptr
// when the file is refused. Release with FreeLanguageText.
LanguageText* DecodeLanguagePack(const char* path);
// The same with chosen keys, reporting why a file was refused and how many bytes it held.
LanguageText* DecodeLanguagePackFile(const char* path, const PackKeys& keys, PackStatus* status,
                                     size_t* length);
void FreeLanguageText(LanguageText* text);
// Owns a deciphered text; wipes and frees it at the end.
struct LanguageTextFree {
    void operator()(LanguageText* text) const { FreeLanguageText(text); }
};
using LanguageTextPtr = std::unique_ptr<LanguageText, LanguageTextFree>;

// Copies slot n (up to its NUL, at most 260 bytes) into out. A slot without a NUL is cut at
// 259 characters so out is always terminated. False (out empty) when n lies past the buffer.
bool ReadLanguageSlot(const LanguageText& text, size_t n, char out[kLanguageSlotSize]);

}  // namespace sona
