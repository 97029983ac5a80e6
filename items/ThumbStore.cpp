#include "items/ThumbStore.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sona {

namespace {

// Version 2 added the content hash; version 1 files are rebuilt.
const char kMagic[8] = {'S', 'D', 'T', 'H', 'U', 'M', 'B', '2'};
// Magic, file size, time, content hash, display size, picture size, copy size, path length.
const size_t kFixedHeader = 8 + 8 + 8 + 8 + 4 * 2 + 4 * 2 + 4 * 2 + 4;
// No display copy is ever this large; a bigger number in a header means damage.
const uint32_t kMaxCopySide = 16384;

uint64_t Fnv64(uint64_t h, const void* data, size_t n) {
    const uint8_t* p = (const uint8_t*)data;
    for (size_t i = 0; i < n; i++) {
        h ^= p[i];
        h *= 0x100000001B3ull;
    }
    return h;
}

// The entry's checksum: word by word, so the pixels of a large copy cost little to check.
uint32_t Checksum(const uint8_t* data, size_t n) {
    uint32_t h = 0x811C9DC5u;
    size_t words = n / 4;
    for (size_t i = 0; i < words; i++) {
        uint32_t w;
        std::memcpy(&w, data + i * 4, 4);
        h = (h ^ w) * 0x01000193u;
        h ^= h >> 15;
    }
    for (size_t i = words * 4; i < n; i++) h = (h ^ data[i]) * 0x01000193u;
    return h;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; i++) out.push_back((uint8_t)(v >> (8 * i)));
}

void Put64(std::vector<uint8_t>& out, uint64_t v) {
    Put32(out, (uint32_t)v);
    Put32(out, (uint32_t)(v >> 32));
}

uint32_t Get32(const uint8_t* p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24; }

uint64_t Get64(const uint8_t* p) { return (uint64_t)Get32(p) | (uint64_t)Get32(p + 4) << 32; }

}  // namespace

std::string ThumbFileName(const ThumbKey& key) {
    uint64_t h = 0xCBF29CE484222325ull;
    h = Fnv64(h, key.path.data(), key.path.size());
    uint32_t numbers[8] = {(uint32_t)key.fileSize, (uint32_t)(key.fileSize >> 32), (uint32_t)key.modified,
                           (uint32_t)(key.modified >> 32), key.displayWidth, key.displayHeight,
                           (uint32_t)key.contentHash, (uint32_t)(key.contentHash >> 32)};
    for (uint32_t n : numbers) {
        uint8_t b[4] = {(uint8_t)n, (uint8_t)(n >> 8), (uint8_t)(n >> 16), (uint8_t)(n >> 24)};
        h = Fnv64(h, b, 4);
    }
    static const char hex[] = "0123456789abcdef";
    std::string name(16, '0');
    for (int i = 0; i < 16; i++) name[15 - i] = hex[(h >> (4 * i)) & 0xF];
    return name + ".thumb";
}

std::vector<uint8_t> EncodeThumb(const ThumbKey& key, const ThumbImage& image) {
    std::vector<uint8_t> out(kMagic, kMagic + 8);
    size_t pixelBytes = (size_t)image.copyWidth * image.copyHeight * 4;
    Put64(out, key.fileSize);
    Put64(out, key.modified);
    Put64(out, key.contentHash);
    Put32(out, key.displayWidth);
    Put32(out, key.displayHeight);
    Put32(out, image.pictureWidth);
    Put32(out, image.pictureHeight);
    Put32(out, image.copyWidth);
    Put32(out, image.copyHeight);
    Put32(out, (uint32_t)key.path.size());
    out.insert(out.end(), key.path.begin(), key.path.end());
    size_t at = out.size();
    out.resize(at + pixelBytes);
    if (pixelBytes && image.pixels.size() * 4 >= pixelBytes) std::memcpy(&out[at], image.pixels.data(), pixelBytes);
    Put32(out, Checksum(out.data(), out.size()));
    return out;
}

bool DecodeThumb(const uint8_t* data, size_t size, const ThumbKey& expected, ThumbImage* out) {
    if (!data || size < kFixedHeader + 4 || std::memcmp(data, kMagic, 8) != 0) return false;
    const uint8_t* p = data + 8;
    uint64_t fileSize = Get64(p), modified = Get64(p + 8), contentHash = Get64(p + 16);
    p += 8;
    uint32_t dw = Get32(p + 16), dh = Get32(p + 20);
    uint32_t pw = Get32(p + 24), ph = Get32(p + 28);
    uint32_t cw = Get32(p + 32), ch = Get32(p + 36);
    uint32_t pathLen = Get32(p + 40);
    if (cw == 0 || ch == 0 || cw > kMaxCopySide || ch > kMaxCopySide || pw == 0 || ph == 0) return false;
    if (pathLen > size) return false;
    size_t pixelBytes = (size_t)cw * ch * 4;
    if (size != kFixedHeader + pathLen + pixelBytes + 4) return false;
    if (Checksum(data, size - 4) != Get32(data + size - 4)) return false;
    const char* path = (const char*)data + kFixedHeader;
    // A file made for another key under the same name (a hash collision, or a picture replaced
    // on disk) is stale.
    if (fileSize != expected.fileSize || modified != expected.modified || contentHash != expected.contentHash ||
        dw != expected.displayWidth ||
        dh != expected.displayHeight || pathLen != expected.path.size() ||
        std::memcmp(path, expected.path.data(), pathLen) != 0)
        return false;
    out->pictureWidth = pw;
    out->pictureHeight = ph;
    out->copyWidth = cw;
    out->copyHeight = ch;
    out->pixels.resize((size_t)cw * ch);
    std::memcpy(out->pixels.data(), data + kFixedHeader + pathLen, pixelBytes);
    return true;
}

std::vector<std::pair<uint64_t, size_t>> ContentSamples(uint64_t fileSize) {
    std::vector<std::pair<uint64_t, size_t>> out;
    if (fileSize <= 3 * kContentSample) {
        // A small file is read whole, in pieces of at most kContentSample.
        for (uint64_t at = 0; at < fileSize; at += kContentSample)
            out.push_back({at, (size_t)std::min<uint64_t>(kContentSample, fileSize - at)});
        return out;
    }
    out.push_back({0, kContentSample});
    out.push_back({fileSize / 2 - kContentSample / 2, kContentSample});
    out.push_back({fileSize - kContentSample, kContentSample});
    return out;
}

uint64_t HashContent(uint64_t hash, const uint8_t* data, size_t size) {
    return Fnv64(hash ? hash : 0xCBF29CE484222325ull, data, size);
}

uint64_t ThumbBudgetFor(uint64_t freeBytes, uint64_t cacheBytes, uint64_t limit) {
    return std::min(limit, (freeBytes + cacheBytes) / 4);
}

std::pair<uint32_t, uint32_t> DisplayCopySize(uint32_t w, uint32_t h, int cx, int cy) {
    if (w == 0 || h == 0) return {0, 0};
    double scale = std::max((cx * 1.25) / w, (cy * 1.25) / h);
    if (scale > 1.0 || scale <= 0.0) scale = 1.0;
    uint32_t cw = std::max(1u, (uint32_t)std::ceil(w * scale));
    uint32_t ch = std::max(1u, (uint32_t)std::ceil(h * scale));
    return {std::min(cw, w), std::min(ch, h)};
}

uint32_t ReductionFactor(uint32_t w, uint32_t h, uint32_t copyWidth, uint32_t copyHeight) {
    if (copyWidth == 0 || copyHeight == 0) return 1;
    uint32_t fx = w / (2 * copyWidth), fy = h / (2 * copyHeight);
    uint32_t f = std::min(fx, fy);
    return f < 2 ? 1 : f;
}

std::vector<uint32_t> ReduceBgr24(const uint8_t* src, uint32_t w, uint32_t h, size_t stride, uint32_t factor) {
    if (factor == 0) factor = 1;
    uint32_t ow = w / factor, oh = h / factor;
    std::vector<uint32_t> out((size_t)ow * oh);
    if (ow == 0 || oh == 0) return out;
    std::vector<uint32_t> sums((size_t)ow * 3);
    uint32_t area = factor * factor, half = area / 2;
    for (uint32_t oy = 0; oy < oh; oy++) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (uint32_t dy = 0; dy < factor; dy++) {
            const uint8_t* row = src + (size_t)(oy * factor + dy) * stride;
            uint32_t* s = sums.data();
            for (uint32_t ox = 0; ox < ow; ox++, s += 3) {
                const uint8_t* px = row + (size_t)ox * factor * 3;
                uint32_t b = 0, g = 0, r = 0;
                for (uint32_t dx = 0; dx < factor; dx++, px += 3) {
                    b += px[0];
                    g += px[1];
                    r += px[2];
                }
                s[0] += b;
                s[1] += g;
                s[2] += r;
            }
        }
        uint32_t* o = &out[(size_t)oy * ow];
        const uint32_t* s = sums.data();
        for (uint32_t ox = 0; ox < ow; ox++, s += 3) {
            uint32_t b = (s[0] + half) / area, g = (s[1] + half) / area, r = (s[2] + half) / area;
            o[ox] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    return out;
}

void ThumbIndex::Add(const std::string& name, uint64_t bytes, uint64_t lastUse) {
    Remove(name);
    entries[name] = Entry{bytes, lastUse};
    byUse.insert({lastUse, name});
    total += bytes;
}

void ThumbIndex::Touch(const std::string& name, uint64_t when) {
    auto it = entries.find(name);
    if (it == entries.end()) return;
    byUse.erase({it->second.lastUse, name});
    it->second.lastUse = when;
    byUse.insert({when, name});
}

void ThumbIndex::Remove(const std::string& name) {
    auto it = entries.find(name);
    if (it == entries.end()) return;
    byUse.erase({it->second.lastUse, name});
    total -= it->second.bytes;
    entries.erase(it);
}

std::vector<std::string> ThumbIndex::Evict() { return EvictTo(budget); }

std::vector<std::string> ThumbIndex::EvictTo(uint64_t bytes) {
    std::vector<std::string> gone;
    while (total > bytes && !byUse.empty()) {
        std::string name = byUse.begin()->second;
        Remove(name);
        gone.push_back(name);
    }
    return gone;
}

}  // namespace sona

namespace sona {

namespace {

uint32_t Be16(const uint8_t* p) { return (uint32_t)p[0] << 8 | p[1]; }
uint32_t Be32(const uint8_t* p) { return Be16(p) << 16 | Be16(p + 2); }
uint32_t Le16(const uint8_t* p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8; }

// Walks the JPEG's segments to the first start-of-frame marker, which holds the size.
bool JpegSize(const uint8_t* d, size_t n, uint32_t* w, uint32_t* h) {
    size_t at = 2;
    while (at + 4 <= n) {
        if (d[at] != 0xFF) return false;
        uint8_t marker = d[at + 1];
        if (marker == 0xFF) {  // fill byte
            at++;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        uint32_t len = Be16(d + at + 2);
        if (len < 2) return false;
        bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > n || len < 7) return false;
            *h = Be16(d + at + 5);
            *w = Be16(d + at + 7);
            return *w > 0 && *h > 0;
        }
        if (marker == 0xD9 || marker == 0xDA) return false;  // end, or scan data before any frame
        at += 2 + len;
    }
    return false;
}

}  // namespace

bool PictureSizeFromHeader(const uint8_t* d, size_t n, uint32_t* w, uint32_t* h) {
    if (!d) return false;
    static const uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (n >= 24 && std::memcmp(d, png, 8) == 0 && std::memcmp(d + 12, "IHDR", 4) == 0) {
        *w = Be32(d + 16);
        *h = Be32(d + 20);
        return *w > 0 && *h > 0;
    }
    if (n >= 10 && (std::memcmp(d, "GIF87a", 6) == 0 || std::memcmp(d, "GIF89a", 6) == 0)) {
        *w = Le16(d + 6);
        *h = Le16(d + 8);
        return *w > 0 && *h > 0;
    }
    if (n >= 26 && d[0] == 'B' && d[1] == 'M') {
        uint32_t header = Get32(d + 14);
        if (header == 12) {  // the old OS/2 header: 16-bit sizes
            *w = Le16(d + 18);
            *h = Le16(d + 20);
        } else if (header >= 40) {
            int32_t sw = (int32_t)Get32(d + 18), sh = (int32_t)Get32(d + 22);
            *w = (uint32_t)(sw < 0 ? -(int64_t)sw : sw);
            *h = (uint32_t)(sh < 0 ? -(int64_t)sh : sh);  // negative: rows stored top-down
        } else {
            return false;
        }
        return *w > 0 && *h > 0;
    }
    if (n >= 4 && d[0] == 0xFF && d[1] == 0xD8) return JpegSize(d, n, w, h);
    return false;
}

}  // namespace sona
