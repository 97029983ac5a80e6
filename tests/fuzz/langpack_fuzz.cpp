// Feeds arbitrary bytes to the language pack decoder as a whole pack. The output buffers are
// sized exactly, so the sanitizers catch any write past what the decoder was given; every
// accepted pack must also encipher back to the input.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "store/LanguagePack.h"

using namespace sona;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const PackStatus expected = CheckPackSize(size);

    // Buffers of the full text size live for the whole run: a fresh 64 KiB block per input made
    // the sanitizer's allocator map and unmap memory every time, a hundred times slower.
    static std::vector<uint8_t> full(kLanguageTextSize);
    static LanguageText* text = new LanguageText();
    const PackStatus status = DecodeLanguagePackBuffer(data, size, full.data(), full.size());
    if (status != expected) std::abort();
    if (status != PackStatus::Ok) return 0;

    // In place, in a buffer of exactly the pack's size (new[] so even size 0 gets its own block).
    uint8_t* exact = new uint8_t[size ? size : 1];
    if (size) std::memcpy(exact, data, size);
    if (DecodeLanguagePackBuffer(exact, size, exact, size) != PackStatus::Ok) std::abort();
    if (size && std::memcmp(exact, full.data(), size) != 0) std::abort();

    // The smaller-buffer refusal must leave the buffer alone.
    if (size && DecodeLanguagePackBuffer(data, size, exact, size - 1) != PackStatus::OutputTooSmall) std::abort();

    if (EncodeLanguagePackBuffer(exact, size, exact, size) != PackStatus::Ok) std::abort();
    if (size && std::memcmp(exact, data, size) != 0) std::abort();
    delete[] exact;

    char slot[kLanguageSlotSize];
    std::memcpy(text->bytes, full.data(), size);
    std::memset(text->bytes + size, 0, sizeof text->bytes - size);
    for (size_t n = 0; n * kLanguageSlotSize < size; n++) ReadLanguageSlot(*text, n, slot);
    return 0;
}
