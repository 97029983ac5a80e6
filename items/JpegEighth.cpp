#include "items/JpegEighth.h"

#include <algorithm>
#include <cstring>

namespace sona {

namespace {

uint32_t Be16(const uint8_t* p) { return (uint32_t)p[0] << 8 | p[1]; }

// A Huffman table: codes of up to 9 bits are found in one look-up, longer ones by length.
struct Huffman {
    bool defined = false;
    uint8_t fastLength[512] = {};  // 0: the code is longer than 9 bits
    uint8_t fastSymbol[512] = {};
    int32_t maxCode[17] = {};  // largest code of each length, -1 when none
    int32_t firstCode[17] = {};
    int32_t firstIndex[17] = {};
    uint8_t symbols[256] = {};

    bool Build(const uint8_t* counts, const uint8_t* values, size_t total) {
        if (total > 256) return false;
        std::memcpy(symbols, values, total);
        std::memset(fastLength, 0, sizeof fastLength);
        int32_t code = 0;
        int32_t k = 0;
        for (int len = 1; len <= 16; len++) {
            firstIndex[len] = k;
            firstCode[len] = code;
            for (int i = 0; i < counts[len - 1]; i++, k++, code++) {
                if (len <= 9) {
                    int shift = 9 - len;
                    for (int fill = 0; fill < (1 << shift); fill++) {
                        fastLength[(code << shift) | fill] = (uint8_t)len;
                        fastSymbol[(code << shift) | fill] = symbols[k];
                    }
                }
            }
            maxCode[len] = counts[len - 1] ? code - 1 : -1;
            // More codes of a length than the length can hold: not a prefix code.
            if (code > (1 << len)) return false;
            code <<= 1;
        }
        defined = true;
        return true;
    }
};

// The entropy-coded bytes as a bit stream: stuffed zero bytes dropped, and zeros fed once a marker
// or the end is reached. A stream that needs those zeros is cut short or damaged.
struct BitReader {
    const uint8_t* p;
    const uint8_t* end;
    uint64_t bits = 0;
    int count = 0;
    int padded = 0;  // zero bytes fed past the data
    bool atMarker = false;

    void Fill() {
        while (count <= 56) {
            uint32_t b = 0;
            if (!atMarker && p < end) {
                if (*p == 0xFF) {
                    if (p + 1 < end && p[1] == 0x00) {
                        b = 0xFF;
                        p += 2;
                    } else {
                        atMarker = true;
                    }
                } else {
                    b = *p++;
                }
            } else {
                atMarker = true;
            }
            if (atMarker) padded++;
            bits |= (uint64_t)b << (56 - count);
            count += 8;
        }
    }
    uint32_t Peek(int n) {
        if (count < n) Fill();
        return (uint32_t)(bits >> (64 - n));
    }
    void Skip(int n) {
        bits <<= n;
        count -= n;
    }
    uint32_t Get(int n) {
        if (n == 0) return 0;
        uint32_t v = Peek(n);
        Skip(n);
        return v;
    }
    // True when decoding ran into the zeros fed past the data.
    bool Overran() const { return padded * 8 - count > 0; }
    int Decode(const Huffman& h) {
        uint32_t look = Peek(16);
        uint32_t fast = look >> 7;
        if (int len = h.fastLength[fast]) {
            Skip(len);
            return h.fastSymbol[fast];
        }
        for (int len = 10; len <= 16; len++) {
            int32_t code = (int32_t)(look >> (16 - len));
            if (code <= h.maxCode[len]) {
                Skip(len);
                return h.symbols[(h.firstIndex[len] + code - h.firstCode[len]) & 0xFF];
            }
        }
        return -1;
    }
    // Moves past the restart marker that ends an interval; false when there is none.
    bool Restart() {
        bits = 0;
        count = 0;
        padded = 0;
        atMarker = false;
        while (p + 1 < end) {
            if (p[0] == 0xFF && p[1] >= 0xD0 && p[1] <= 0xD7) {
                p += 2;
                return true;
            }
            p++;
        }
        return false;
    }
};

int Extend(uint32_t v, int s) { return (int)v < (1 << (s - 1)) ? (int)v - (1 << s) + 1 : (int)v; }

struct Component {
    int id = 0, h = 1, v = 1, quant = 0;
    int dcTable = 0, acTable = 0;
    int gridWidth = 0, gridHeight = 0;
    std::vector<int16_t> levels;  // each block's average sample, 0..255
};

uint8_t Clamp(int v) { return (uint8_t)std::min(255, std::max(0, v)); }

// The DC differences of the scan; every other coefficient is read past.
bool DecodeScan(BitReader& in, std::vector<Component>& comps, const Huffman* dc, const Huffman* ac,
                const uint32_t* quant, uint32_t restartInterval, uint32_t width, uint32_t height, int hMax,
                int vMax) {
    bool interleaved = comps.size() > 1;
    uint32_t mcusX, mcusY;
    if (interleaved) {
        mcusX = (width + 8 * hMax - 1) / (8 * hMax);
        mcusY = (height + 8 * vMax - 1) / (8 * vMax);
    } else {
        // One component alone is coded block by block over its own size, whatever its sampling.
        Component& c = comps[0];
        uint32_t cw = (width * c.h + hMax - 1) / hMax, ch = (height * c.v + vMax - 1) / vMax;
        mcusX = (cw + 7) / 8;
        mcusY = (ch + 7) / 8;
        c.h = c.v = 1;
    }
    for (Component& c : comps) {
        c.gridWidth = (int)mcusX * c.h;
        c.gridHeight = (int)mcusY * c.v;
        c.levels.assign((size_t)c.gridWidth * c.gridHeight, 128);
    }
    std::vector<int> pred(comps.size(), 0);
    uint64_t total = (uint64_t)mcusX * mcusY;
    for (uint64_t m = 0; m < total; m++) {
        if (restartInterval && m > 0 && m % restartInterval == 0) {
            if (in.Overran() || !in.Restart()) return false;
            std::fill(pred.begin(), pred.end(), 0);
        }
        uint32_t mx = (uint32_t)(m % mcusX), my = (uint32_t)(m / mcusX);
        for (size_t ci = 0; ci < comps.size(); ci++) {
            Component& c = comps[ci];
            const Huffman& dct = dc[c.dcTable];
            const Huffman& act = ac[c.acTable];
            int32_t q = (int32_t)quant[c.quant];
            for (int by = 0; by < c.v; by++)
                for (int bx = 0; bx < c.h; bx++) {
                    int s = in.Decode(dct);
                    if (s < 0 || s > 11) return false;
                    pred[ci] += s ? Extend(in.Get(s), s) : 0;
                    for (int k = 1; k < 64;) {
                        int rs = in.Decode(act);
                        if (rs < 0) return false;
                        int r = rs >> 4, size = rs & 15;
                        if (size == 0) {
                            if (r != 15) break;
                            k += 16;
                            continue;
                        }
                        if (size > 10) return false;
                        in.Get(size);
                        k += r + 1;
                    }
                    // The DC coefficient is eight times the block's mean, less the level shift.
                    int32_t dcValue = pred[ci] * q;
                    int level = 128 + ((dcValue + 4) >> 3);
                    size_t gx = (size_t)mx * c.h + bx, gy = (size_t)my * c.v + by;
                    c.levels[gy * c.gridWidth + gx] = (int16_t)Clamp(level);
                }
        }
    }
    return !in.Overran();
}

}  // namespace

bool DecodeJpegEighth(const uint8_t* data, size_t size, JpegEighth* out) {
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
    Huffman dc[4], ac[4];
    uint32_t quant[4] = {0, 0, 0, 0};
    bool quantDefined[4] = {false, false, false, false};
    std::vector<Component> comps;
    uint32_t width = 0, height = 0, restartInterval = 0;
    int adobeTransform = -1;
    bool frame = false;
    size_t pos = 2;
    while (pos + 1 < size) {
        if (data[pos] != 0xFF) {
            pos++;
            continue;
        }
        uint8_t marker = data[pos + 1];
        pos += 2;
        if (marker == 0xFF) {
            pos--;  // a fill byte: the marker follows
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;
        if (marker == 0xD9) return false;
        if (pos + 2 > size) return false;
        uint32_t len = Be16(data + pos);
        if (len < 2 || pos + len > size) return false;
        const uint8_t* seg = data + pos + 2;
        size_t segLen = len - 2;
        pos += len;
        switch (marker) {
        case 0xDB:  // quantisation tables: only each one's DC step matters
            for (size_t i = 0; i < segLen;) {
                int precision = seg[i] >> 4, id = seg[i] & 15;
                size_t bytes = precision ? 128 : 64;
                if (id > 3 || precision > 1 || i + 1 + bytes > segLen) return false;
                quant[id] = precision ? Be16(seg + i + 1) : seg[i + 1];
                quantDefined[id] = true;
                i += 1 + bytes;
            }
            break;
        case 0xC4:  // Huffman tables
            for (size_t i = 0; i < segLen;) {
                if (i + 17 > segLen) return false;
                int cls = seg[i] >> 4, id = seg[i] & 15;
                if (cls > 1 || id > 3) return false;
                size_t total = 0;
                for (int k = 0; k < 16; k++) total += seg[i + 1 + k];
                if (i + 17 + total > segLen) return false;
                Huffman& h = cls ? ac[id] : dc[id];
                if (!h.Build(seg + i + 1, seg + i + 17, total)) return false;
                i += 17 + total;
            }
            break;
        case 0xDD:
            if (segLen < 2) return false;
            restartInterval = Be16(seg);
            break;
        case 0xEE:  // Adobe: its transform flag tells RGB from YCbCr
            if (segLen >= 12 && std::memcmp(seg, "Adobe", 5) == 0) adobeTransform = seg[11];
            break;
        case 0xC0:
        case 0xC1: {
            if (frame || segLen < 6 || seg[0] != 8) return false;
            height = Be16(seg + 1);
            width = Be16(seg + 3);
            int n = seg[5];
            if (width == 0 || height == 0 || (n != 1 && n != 3) || segLen < 6 + 3 * (size_t)n) return false;
            for (int c = 0; c < n; c++) {
                Component comp;
                comp.id = seg[6 + 3 * c];
                comp.h = seg[7 + 3 * c] >> 4;
                comp.v = seg[7 + 3 * c] & 15;
                comp.quant = seg[8 + 3 * c];
                if (comp.h < 1 || comp.h > 4 || comp.v < 1 || comp.v > 4 || comp.quant > 3) return false;
                comps.push_back(comp);
            }
            frame = true;
            break;
        }
        case 0xDA: {
            if (!frame || segLen < 1) return false;
            size_t n = seg[0];
            // Components in scans of their own (rare in sequential files) are left to the full decoder.
            if (n != comps.size() || segLen < 1 + 2 * n + 3) return false;
            if (n == 3 && (adobeTransform == 0 || (comps[0].id == 'R' && comps[1].id == 'G' && comps[2].id == 'B')))
                return false;
            int hMax = 1, vMax = 1;
            for (auto& c : comps) {
                hMax = std::max(hMax, c.h);
                vMax = std::max(vMax, c.v);
            }
            int blocksPerMcu = 0;
            for (size_t i = 0; i < n; i++) {
                if (seg[1 + 2 * i] != comps[i].id) return false;
                comps[i].dcTable = seg[2 + 2 * i] >> 4;
                comps[i].acTable = seg[2 + 2 * i] & 15;
                if (comps[i].dcTable > 3 || comps[i].acTable > 3 || !dc[comps[i].dcTable].defined ||
                    !ac[comps[i].acTable].defined || !quantDefined[comps[i].quant])
                    return false;
                blocksPerMcu += comps[i].h * comps[i].v;
            }
            if (n > 1 && blocksPerMcu > 10) return false;
            BitReader in{data + pos, data + size};
            if (!DecodeScan(in, comps, dc, ac, quant, restartInterval, width, height, hMax, vMax)) return false;
            out->width = width;
            out->height = height;
            uint32_t w8 = (width + 7) / 8, h8 = (height + 7) / 8;
            out->eighthWidth = w8;
            out->eighthHeight = h8;
            out->pixels.resize((size_t)w8 * h8);
            if (n == 1) {
                const Component& c = comps[0];
                for (uint32_t y = 0; y < h8; y++)
                    for (uint32_t x = 0; x < w8; x++) {
                        uint32_t g = (uint32_t)c.levels[(size_t)y * c.gridWidth + x];
                        out->pixels[(size_t)y * w8 + x] = 0xFF000000u | g << 16 | g << 8 | g;
                    }
                return true;
            }
            const Component &cy = comps[0], &cb = comps[1], &cr = comps[2];
            for (uint32_t y = 0; y < h8; y++)
                for (uint32_t x = 0; x < w8; x++) {
                    auto at = [&](const Component& c) {
                        size_t gx = (size_t)x * c.h / hMax, gy = (size_t)y * c.v / vMax;
                        return (int)c.levels[gy * c.gridWidth + gx];
                    };
                    // JFIF's YCbCr to RGB, in fixed point with 16 fraction bits.
                    int Y = at(cy) << 16, Cb = at(cb) - 128, Cr = at(cr) - 128;
                    int r = (Y + 91881 * Cr + 32768) >> 16;
                    int g = (Y - 22554 * Cb - 46802 * Cr + 32768) >> 16;
                    int b = (Y + 116130 * Cb + 32768) >> 16;
                    out->pixels[(size_t)y * w8 + x] =
                        0xFF000000u | (uint32_t)Clamp(r) << 16 | (uint32_t)Clamp(g) << 8 | Clamp(b);
                }
            return true;
        }
        default:
            // Progressive, lossless, hierarchical and arithmetic-coded frames.
            if ((marker >= 0xC2 && marker <= 0xCF) && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) return false;
            break;
        }
    }
    return false;
}

}  // namespace sona
