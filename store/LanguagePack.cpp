#include "store/LanguagePack.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>

#include "platform/FileNames.h"
#endif

#include "store/GostCipher.h"
#include "store/SquareCipher.h"

namespace sona {

const uint8_t PackKey[16] = {0x2B, 0xB2, 0x42, 0xB8, 0xB0, 0xA5, 0xD3, 0xAB,
                             0x69, 0x98, 0x1C, 0xC1, 0xE1, 0xA9, 0x0F, 0xC1};
const uint8_t PackGostKey[32] = {0x0F, 0x2F, 0x02, 0x46, 0xB0, 0x6F, 0xEF, 0xB2, 0xF4, 0x17, 0xB3,
                                 0x57, 0x79, 0x31, 0xF9, 0x5C, 0xDD, 0x79, 0x5E, 0x23, 0xDF, 0x68,
                                 0x94, 0x72, 0x1A, 0x98, 0x94, 0x68, 0x9D, 0x50, 0xD3, 0x53};

namespace {

// The path is UTF-8; on Windows it reaches the wide file calls, so a data folder the code page
// cannot spell still holds a readable pack.
#ifdef _WIN32
bool RegularFileSize(const char* path, uint64_t* size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WideFilePath(path).c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    *size = uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    return true;
}

std::FILE* OpenForReading(const char* path) { return _wfopen(WideFilePath(path).c_str(), L"rb"); }
#else
bool RegularFileSize(const char* path, uint64_t* size) {
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    *size = info.st_size < 0 ? ~uint64_t(0) : static_cast<uint64_t>(info.st_size);
    return true;
}

std::FILE* OpenForReading(const char* path) { return std::fopen(path, "rb"); }
#endif

// Both chains of one pack, from its first chunk to its last.
class PackCiphers {
public:
    explicit PackCiphers(const PackKeys& keys) : gostKey_(keys.gostKey) {
        CbcStealInit(&cbc_, keys.key);
        CbcStealSetIv(&cbc_, nullptr);
        OfbInit(&ofb_, keys.key);
        OfbSetIv(&ofb_, nullptr);
    }
    ~PackCiphers() {
        CbcStealWipe(&cbc_);
        OfbWipe(&ofb_);
    }
    PackCiphers(const PackCiphers&) = delete;
    PackCiphers& operator=(const PackCiphers&) = delete;

    // length is 4096, or 16..4095 for the final chunk (CheckPackSize has seen to that).
    void DecodeChunk(uint8_t* chunk, size_t length) {
        CbcStealDecrypt(&cbc_, chunk, length);
        if (length == kPackChunkSize) {
            GostDecryptBlock(chunk, gostKey_);
            OfbApply(&ofb_, chunk, length);
        }
    }
    void EncodeChunk(uint8_t* chunk, size_t length) {
        if (length == kPackChunkSize) {
            OfbApply(&ofb_, chunk, length);
            GostEncryptBlock(chunk, gostKey_);
        }
        CbcStealEncrypt(&cbc_, chunk, length);
    }

private:
    CbcStealContext cbc_;
    OfbStreamContext ofb_;
    const uint8_t* gostKey_;
};

template <bool decode>
PackStatus Transform(const uint8_t* in, size_t size, uint8_t* out, size_t capacity, const PackKeys& keys) {
    const PackStatus status = CheckPackSize(size);
    if (status != PackStatus::Ok) return status;
    if (capacity < size) return PackStatus::OutputTooSmall;
    if (size == 0) return PackStatus::Ok;
    std::memmove(out, in, size);
    PackCiphers ciphers(keys);
    for (size_t at = 0; at < size; at += kPackChunkSize) {
        const size_t length = size - at < kPackChunkSize ? size - at : kPackChunkSize;
        if (decode)
            ciphers.DecodeChunk(out + at, length);
        else
            ciphers.EncodeChunk(out + at, length);
    }
    return PackStatus::Ok;
}

}  // namespace

const char* DescribePackStatus(PackStatus status) {
    switch (status) {
    case PackStatus::Ok: return "ok";
    case PackStatus::Unreadable: return "the file is missing or cannot be read";
    case PackStatus::TooLong: return "the pack is longer than 65536 bytes";
    case PackStatus::ShortFinalChunk: return "the final partial chunk is 1 to 15 bytes, too short to decipher";
    case PackStatus::OutputTooSmall: return "the output buffer is smaller than the pack";
    }
    return "unknown";
}

PackStatus CheckPackSize(uint64_t size) {
    if (size > kLanguageTextSize) return PackStatus::TooLong;
    const uint64_t rest = size % kPackChunkSize;
    if (rest > 0 && rest < 16) return PackStatus::ShortFinalChunk;
    return PackStatus::Ok;
}

PackStatus DecodeLanguagePackBuffer(const uint8_t* pack, size_t size, uint8_t* out, size_t capacity,
                                    const PackKeys& keys) {
    return Transform<true>(pack, size, out, capacity, keys);
}

PackStatus EncodeLanguagePackBuffer(const uint8_t* text, size_t size, uint8_t* out, size_t capacity,
                                    const PackKeys& keys) {
    return Transform<false>(text, size, out, capacity, keys);
}

LanguageText* DecodeLanguagePackFile(const char* path, const PackKeys& keys, PackStatus* status,
                                     size_t* length) {
    PackStatus dummyStatus;
    size_t dummyLength;
    if (!status) status = &dummyStatus;
    if (!length) length = &dummyLength;
    *length = 0;

    uint64_t fileSize = 0;
    if (!path || !RegularFileSize(path, &fileSize)) {
        *status = PackStatus::Unreadable;
        return nullptr;
    }
    // Refuse by size before reading anything, so no chunk can land past the buffer.
    *status = CheckPackSize(fileSize);
    if (*status != PackStatus::Ok) return nullptr;
    const size_t size = static_cast<size_t>(fileSize);

    std::FILE* file = OpenForReading(path);
    if (!file) {
        *status = PackStatus::Unreadable;
        return nullptr;
    }
    LanguageText* text = new (std::nothrow) LanguageText();
    if (!text) {
        std::fclose(file);
        *status = PackStatus::Unreadable;
        return nullptr;
    }
    uint8_t* target = reinterpret_cast<uint8_t*>(text->bytes);
    uint8_t work[kPackChunkSize];
    bool complete = true;
    {
        PackCiphers ciphers(keys);
        for (size_t at = 0; at < size && complete; at += kPackChunkSize) {
            const size_t chunk = size - at < kPackChunkSize ? size - at : kPackChunkSize;
            if (std::fread(work, 1, chunk, file) != chunk) {
                complete = false;
                break;
            }
            ciphers.DecodeChunk(work, chunk);
            std::memcpy(target + at, work, chunk);
        }
        // A file that grew since its size was taken is not the pack that was checked.
        if (complete && std::fgetc(file) != EOF) complete = false;
    }
    SecureWipe(work, sizeof work);
    std::fclose(file);
    if (!complete) {
        FreeLanguageText(text);
        *status = PackStatus::Unreadable;
        return nullptr;
    }
    *status = PackStatus::Ok;
    *length = size;
    return text;
}

LanguageText* DecodeLanguagePack(const char* path) {
    return DecodeLanguagePackFile(path, kShippedPackKeys, nullptr, nullptr);
}

void FreeLanguageText(LanguageText* text) {
    if (!text) return;
    SecureWipe(text, sizeof *text);
    delete text;
}

bool ReadLanguageSlot(const LanguageText& text, size_t n, char out[kLanguageSlotSize]) {
    out[0] = '\0';
    if (n >= kLanguageSlotCount) return false;
    const char* slot = text.bytes + n * kLanguageSlotSize;
    size_t len = 0;
    while (len < kLanguageSlotSize - 1 && slot[len]) len++;
    std::memcpy(out, slot, len);
    out[len] = '\0';
    return true;
}

}  // namespace sona
