// Builds and reads language packs.
//   langpack encode [--key HEX] [--gost-key HEX] TEXT PACK
//   langpack decode [--key HEX] [--gost-key HEX] PACK TEXT
// TEXT holds one slot per line (LF line ends); PACK is the enciphered run of 260-byte slots.
// Without --key / --gost-key the keys compiled into the program are used.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "store/LanguagePack.h"

using namespace sona;

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: langpack encode [--key HEX] [--gost-key HEX] TEXT PACK\n"
                 "       langpack decode [--key HEX] [--gost-key HEX] PACK TEXT\n"
                 "--key is 16 bytes (32 hex digits), --gost-key 32 bytes (64 hex digits).\n");
    return 2;
}

bool ParseHex(const char* hex, uint8_t* out, size_t bytes) {
    if (std::strlen(hex) != 2 * bytes) return false;
    for (size_t i = 0; i < bytes; i++) {
        unsigned v = 0;
        for (int h = 0; h < 2; h++) {
            const char c = hex[2 * i + h];
            unsigned d;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else return false;
            v = v * 16 + d;
        }
        out[i] = static_cast<uint8_t>(v);
    }
    return true;
}

bool ReadFile(const char* path, std::string* data) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    char buf[65536];
    size_t n;
    data->clear();
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data->append(buf, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// Writes beside the target and renames, so a reader never sees half a file.
bool WriteFile(const char* path, const void* data, size_t size) {
    const std::string temp = std::string(path) + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    ok = (std::fclose(f) == 0) && ok;
    if (ok) ok = std::rename(temp.c_str(), path) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

int Encode(const char* textPath, const char* packPath, const PackKeys& keys) {
    std::string text;
    if (!ReadFile(textPath, &text)) {
        std::fprintf(stderr, "langpack: cannot read %s\n", textPath);
        return 1;
    }
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (lines.size() > kLanguageSlotCount) {
        std::fprintf(stderr, "langpack: %s has %zu lines; a pack holds at most %zu slots\n", textPath, lines.size(),
                     kLanguageSlotCount);
        return 1;
    }
    std::vector<uint8_t> pack(lines.size() * kLanguageSlotSize, 0);
    for (size_t i = 0; i < lines.size(); i++) {
        const std::string& line = lines[i];
        if (line.size() > kLanguageSlotSize - 1) {
            std::fprintf(stderr, "langpack: %s line %zu is %zu bytes; a slot holds at most %zu plus its NUL\n",
                         textPath, i + 1, line.size(), kLanguageSlotSize - 1);
            return 1;
        }
        if (line.find('\0') != std::string::npos || line.find('\r') != std::string::npos) {
            std::fprintf(stderr, "langpack: %s line %zu contains a NUL or CR byte (line ends must be LF)\n",
                         textPath, i + 1);
            return 1;
        }
        std::memcpy(&pack[i * kLanguageSlotSize], line.data(), line.size());
    }
    const PackStatus status = EncodeLanguagePackBuffer(pack.data(), pack.size(), pack.data(), pack.size(), keys);
    if (status != PackStatus::Ok) {
        std::fprintf(stderr, "langpack: cannot encipher %zu slots: %s\n", lines.size(), DescribePackStatus(status));
        return 1;
    }
    if (!WriteFile(packPath, pack.data(), pack.size())) {
        std::fprintf(stderr, "langpack: cannot write %s\n", packPath);
        return 1;
    }
    return 0;
}

int Decode(const char* packPath, const char* textPath, const PackKeys& keys) {
    PackStatus status;
    size_t length = 0;
    LanguageText* decoded = DecodeLanguagePackFile(packPath, keys, &status, &length);
    if (!decoded) {
        std::fprintf(stderr, "langpack: %s refused: %s\n", packPath, DescribePackStatus(status));
        return 1;
    }
    std::string out;
    bool wellFormed = length % kLanguageSlotSize == 0;
    for (size_t n = 0; wellFormed && n < length / kLanguageSlotSize; n++) {
        const char* slot = decoded->bytes + n * kLanguageSlotSize;
        const void* nul = std::memchr(slot, 0, kLanguageSlotSize);
        if (!nul) {
            wellFormed = false;
            break;
        }
        out.append(slot, static_cast<const char*>(nul) - slot);
        out.push_back('\n');
    }
    FreeLanguageText(decoded);
    if (!wellFormed) {
        std::fprintf(stderr, "langpack: %s does not decipher to NUL-terminated 260-byte slots (wrong keys?)\n",
                     packPath);
        return 1;
    }
    if (!WriteFile(textPath, out.data(), out.size())) {
        std::fprintf(stderr, "langpack: cannot write %s\n", textPath);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    uint8_t key[16], gostKey[32];
    std::memcpy(key, PackKey, sizeof key);
    std::memcpy(gostKey, PackGostKey, sizeof gostKey);
    std::vector<const char*> files;
    for (int i = 2; i < argc; i++) {
        const std::string arg = argv[i];
        if (arg == "--key" || arg == "--gost-key") {
            const bool gost = arg == "--gost-key";
            if (i + 1 >= argc || !ParseHex(argv[i + 1], gost ? gostKey : key, gost ? sizeof gostKey : sizeof key)) {
                std::fprintf(stderr, "langpack: %s needs %zu bytes as %zu hex digits\n", arg.c_str(),
                             gost ? sizeof gostKey : sizeof key, 2 * (gost ? sizeof gostKey : sizeof key));
                return 2;
            }
            i++;
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.size() != 2) return Usage();
    const PackKeys keys = {key, gostKey};
    if (command == "encode") return Encode(files[0], files[1], keys);
    if (command == "decode") return Decode(files[0], files[1], keys);
    return Usage();
}
