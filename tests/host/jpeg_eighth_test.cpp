// Reading a JPEG's block averages. The files are written here by a small sequential encoder that
// gives every block a chosen average and random other coefficients, so what must come out is
// known exactly.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "items/JpegEighth.h"

using namespace sona;

namespace {

struct Sampling {
    int h, v;
};

struct JpegCase {
    const char* name;
    uint32_t width, height;
    std::vector<Sampling> comps;  // 1 (grey) or 3 (YCbCr)
    uint32_t restart = 0;         // MCUs per restart interval, 0 for none
    bool wideQuant = false;       // 16-bit quantisation tables
    uint32_t dcStep = 4;
};

class Writer {
public:
    std::vector<uint8_t> out;
    void Byte(int b) { out.push_back((uint8_t)b); }
    void Word(uint32_t w) {
        Byte(w >> 8);
        Byte(w & 0xFF);
    }
    void Bits(uint32_t v, int len) {
        for (int i = len - 1; i >= 0; i--) {
            acc = (acc << 1) | ((v >> i) & 1);
            if (++n == 8) {
                Byte(acc);
                if (acc == 0xFF) Byte(0);
                acc = 0;
                n = 0;
            }
        }
    }
    void Align() {
        while (n) Bits(1, 1);
    }

private:
    uint32_t acc = 0;
    int n = 0;
};

// A canonical code for the given symbols and lengths, and its table segment bytes.
struct Code {
    std::vector<uint8_t> counts = std::vector<uint8_t>(16, 0);
    std::vector<uint8_t> symbols;
    uint32_t code[256] = {};
    int length[256] = {};
    Code(const std::vector<uint8_t>& syms, const std::vector<int>& lens) {
        for (int len = 1; len <= 16; len++)
            for (size_t i = 0; i < syms.size(); i++)
                if (lens[i] == len) {
                    counts[len - 1]++;
                    symbols.push_back(syms[i]);
                }
        uint32_t c = 0;
        size_t k = 0;
        for (int len = 1; len <= 16; len++) {
            for (int i = 0; i < counts[len - 1]; i++, k++, c++) {
                code[symbols[k]] = c;
                length[symbols[k]] = len;
            }
            c <<= 1;
        }
    }
};

int Category(int v) {
    int a = std::abs(v), s = 0;
    while (a) {
        s++;
        a >>= 1;
    }
    return s;
}

void PutValue(Writer& w, const Code& code, int symbolHigh, int v) {
    int s = Category(v);
    int sym = symbolHigh << 4 | s;
    w.Bits(code.code[sym], code.length[sym]);
    if (s) w.Bits(v >= 0 ? (uint32_t)v : (uint32_t)(v + (1 << s) - 1), s);
}

// Encodes a file whose block (gx, gy) of component c has the quantised DC value dc(c, gx, gy).
std::vector<uint8_t> Encode(const JpegCase& shape, const std::function<int(int, int, int)>& dc, uint32_t seed = 1) {
    // DC: categories 0..11, all 4 bits long. AC: the 162 run/size symbols, the first 100 8 bits
    // long and the rest 12, so both short and long codes occur.
    std::vector<uint8_t> dcSyms;
    std::vector<int> dcLens;
    for (int s = 0; s < 12; s++) {
        dcSyms.push_back((uint8_t)s);
        dcLens.push_back(4);
    }
    std::vector<uint8_t> acSyms = {0x00, 0xF0};
    for (int r = 0; r < 16; r++)
        for (int s = 1; s <= 10; s++) acSyms.push_back((uint8_t)(r << 4 | s));
    std::vector<int> acLens;
    for (size_t i = 0; i < acSyms.size(); i++) acLens.push_back(i < 100 ? 8 : 12);
    Code dcCode(dcSyms, dcLens), acCode(acSyms, acLens);

    int n = (int)shape.comps.size();
    Writer w;
    w.Byte(0xFF), w.Byte(0xD8);
    // An application segment the reader must pass over.
    w.Byte(0xFF), w.Byte(0xE0), w.Word(7), w.Byte('J'), w.Byte('F'), w.Byte('I'), w.Byte('F'), w.Byte(0);
    w.Byte(0xFF), w.Byte(0xDB), w.Word(2 + (shape.wideQuant ? 129 : 65));
    w.Byte(shape.wideQuant ? 0x10 : 0x00);
    for (int i = 0; i < 64; i++) {
        uint32_t q = i == 0 ? shape.dcStep : 3 + i;
        if (shape.wideQuant) w.Word(q);
        else w.Byte((int)q);
    }
    w.Byte(0xFF), w.Byte(0xC0), w.Word(8 + 3 * n), w.Byte(8), w.Word(shape.height), w.Word(shape.width), w.Byte(n);
    for (int c = 0; c < n; c++) w.Byte(c + 1), w.Byte(shape.comps[c].h << 4 | shape.comps[c].v), w.Byte(0);
    for (int cls = 0; cls < 2; cls++) {
        const Code& code = cls ? acCode : dcCode;
        w.Byte(0xFF), w.Byte(0xC4), w.Word(2 + 17 + (uint32_t)code.symbols.size()), w.Byte(cls << 4);
        for (uint8_t c : code.counts) w.Byte(c);
        for (uint8_t s : code.symbols) w.Byte(s);
    }
    if (shape.restart) w.Byte(0xFF), w.Byte(0xDD), w.Word(4), w.Word(shape.restart);
    w.Byte(0xFF), w.Byte(0xDA), w.Word(6 + 2 * n), w.Byte(n);
    for (int c = 0; c < n; c++) w.Byte(c + 1), w.Byte(0x00);
    w.Byte(0), w.Byte(63), w.Byte(0);

    int hMax = 1, vMax = 1;
    for (auto& s : shape.comps) hMax = std::max(hMax, s.h), vMax = std::max(vMax, s.v);
    std::vector<Sampling> per = shape.comps;
    uint32_t mcusX, mcusY;
    if (n > 1) {
        mcusX = (shape.width + 8 * hMax - 1) / (8 * hMax);
        mcusY = (shape.height + 8 * vMax - 1) / (8 * vMax);
    } else {
        mcusX = (shape.width + 7) / 8;
        mcusY = (shape.height + 7) / 8;
        per[0] = Sampling{1, 1};
    }
    std::mt19937 random(seed);
    std::vector<int> pred(n, 0);
    int rst = 0;
    for (uint32_t m = 0; m < mcusX * mcusY; m++) {
        if (shape.restart && m > 0 && m % shape.restart == 0) {
            w.Align();
            w.Byte(0xFF), w.Byte(0xD0 + (rst++ & 7));
            std::fill(pred.begin(), pred.end(), 0);
        }
        uint32_t mx = m % mcusX, my = m / mcusX;
        for (int c = 0; c < n; c++)
            for (int by = 0; by < per[c].v; by++)
                for (int bx = 0; bx < per[c].h; bx++) {
                    int value = dc(c, (int)(mx * per[c].h + bx), (int)(my * per[c].v + by));
                    PutValue(w, dcCode, 0, value - pred[c]);
                    pred[c] = value;
                    // A few random coefficients, runs of zeros (some over 16) and mostly an early end.
                    int k = 1;
                    while (k < 64) {
                        int pick = (int)(random() % 10);
                        if (pick == 0) break;  // end of block
                        int run = (int)(random() % 20);
                        while (run > 15 && k + 16 < 64) {
                            w.Bits(acCode.code[0xF0], acCode.length[0xF0]);
                            k += 16;
                            run -= 16;
                        }
                        run &= 15;
                        if (k + run >= 64) break;
                        int v = (int)(random() % 1023) - 511;
                        if (v == 0) v = 1;
                        PutValue(w, acCode, run, v);
                        k += run + 1;
                    }
                    if (k < 64) w.Bits(acCode.code[0x00], acCode.length[0x00]);
                }
    }
    w.Align();
    w.Byte(0xFF), w.Byte(0xD9);
    return w.out;
}

int Level(int quantised, uint32_t step) {
    int v = 128 + ((quantised * (int)step + 4) >> 3);
    return std::min(255, std::max(0, v));
}

int LumaDc(int c, int gx, int gy) { return c == 0 ? ((gx * 7 + gy * 13) % 60) - 30 : 0; }

}  // namespace

TEST(JpegEighth, EachBlockAverageComesOutInPlace) {
    const JpegCase cases[] = {
        {"grey 16x16", 16, 16, {{1, 1}}},
        {"grey odd size", 45, 23, {{1, 1}}},
        {"grey with restarts", 70, 33, {{1, 1}}, 4},
        {"grey sampled 2x2 alone", 40, 24, {{2, 2}}},
        {"4:2:0 odd size", 37, 21, {{2, 2}, {1, 1}, {1, 1}}},
        {"4:2:0 with restarts", 100, 60, {{2, 2}, {1, 1}, {1, 1}}, 3},
        {"4:4:4", 24, 8, {{1, 1}, {1, 1}, {1, 1}}},
        {"4:2:2 restart every MCU", 50, 30, {{2, 1}, {1, 1}, {1, 1}}, 1},
        {"16-bit tables, large step", 64, 40, {{2, 2}, {1, 1}, {1, 1}}, 0, true, 16},
    };
    for (const JpegCase& shape : cases) {
        std::vector<uint8_t> file = Encode(shape, LumaDc);
        JpegEighth out;
        ASSERT_TRUE(DecodeJpegEighth(file.data(), file.size(), &out)) << shape.name;
        EXPECT_EQ(out.width, shape.width) << shape.name;
        EXPECT_EQ(out.height, shape.height) << shape.name;
        ASSERT_EQ(out.eighthWidth, (shape.width + 7) / 8) << shape.name;
        ASSERT_EQ(out.eighthHeight, (shape.height + 7) / 8) << shape.name;
        ASSERT_EQ(out.pixels.size(), (size_t)out.eighthWidth * out.eighthHeight) << shape.name;
        int bad = 0;
        for (uint32_t y = 0; y < out.eighthHeight; y++)
            for (uint32_t x = 0; x < out.eighthWidth; x++) {
                int want = Level(LumaDc(0, (int)x, (int)y), shape.dcStep);
                uint32_t p = out.pixels[y * out.eighthWidth + x];
                // Neutral chroma: grey, opaque.
                uint32_t expected = 0xFF000000u | (uint32_t)want * 0x010101u;
                if (p != expected && bad++ < 3)
                    ADD_FAILURE() << shape.name << " at " << x << "," << y << ": " << std::hex << p << " want "
                                  << expected;
            }
    }
}

TEST(JpegEighth, ColourComesFromTheChromaBlocksOverTheLumaTheyCover) {
    // Luma 76, Cb 85, Cr 255 is JFIF's pure red; the left half of a 4:2:0 picture is red and the
    // right half grey.
    JpegCase shape{"red and grey", 64, 32, {{2, 2}, {1, 1}, {1, 1}}, 0, false, 8};
    auto dc = [](int c, int gx, int gy) {
        bool left = c == 0 ? gx < 4 : gx < 2;
        if (!left) return 0;
        int level = c == 0 ? 76 : c == 1 ? 85 : 255;
        return level - 128;  // with a DC step of 8 the quantised value is the level shift itself
    };
    std::vector<uint8_t> file = Encode(shape, dc);
    JpegEighth out;
    ASSERT_TRUE(DecodeJpegEighth(file.data(), file.size(), &out));
    ASSERT_EQ(out.eighthWidth, 8u);
    for (uint32_t y = 0; y < 4; y++)
        for (uint32_t x = 0; x < 8; x++) {
            uint32_t p = out.pixels[y * 8 + x];
            int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (x < 4) {
                EXPECT_NEAR(r, 254, 2) << x << "," << y;
                EXPECT_NEAR(g, 0, 2) << x << "," << y;
                EXPECT_NEAR(b, 0, 2) << x << "," << y;
            } else {
                EXPECT_EQ(p, 0xFF808080u) << x << "," << y;
            }
        }
}

TEST(JpegEighth, FilesItCannotReadAreRefused) {
    JpegCase shape{"base", 48, 32, {{2, 2}, {1, 1}, {1, 1}}, 2};
    std::vector<uint8_t> good = Encode(shape, LumaDc);
    JpegEighth out;
    ASSERT_TRUE(DecodeJpegEighth(good.data(), good.size(), &out));

    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    auto findMarker = [](std::vector<uint8_t>& f, uint8_t m) {
        for (size_t i = 0; i + 1 < f.size(); i++)
            if (f[i] == 0xFF && f[i + 1] == m) return i;
        return f.size();
    };
    const Case cases[] = {
        {"empty", [](std::vector<uint8_t>& f) { f.clear(); }},
        {"not a JPEG", [](std::vector<uint8_t>& f) { f[1] = 0xD9; }},
        {"cut in the middle of the data", [](std::vector<uint8_t>& f) { f.resize(f.size() * 2 / 3); }},
        {"cut in the headers", [](std::vector<uint8_t>& f) { f.resize(40); }},
        {"progressive", [&](std::vector<uint8_t>& f) { f[findMarker(f, 0xC0) + 1] = 0xC2; }},
        {"arithmetic coding", [&](std::vector<uint8_t>& f) { f[findMarker(f, 0xC0) + 1] = 0xC9; }},
        {"12-bit samples", [&](std::vector<uint8_t>& f) { f[findMarker(f, 0xC0) + 4] = 12; }},
        {"a restart marker missing", [&](std::vector<uint8_t>& f) {
             size_t at = findMarker(f, 0xD0);
             f.erase(f.begin() + (long)at, f.begin() + (long)at + 2);
         }},
        {"no Huffman tables", [&](std::vector<uint8_t>& f) { f[findMarker(f, 0xC4) + 1] = 0xE5; }},
        {"scan names a component the frame lacks", [&](std::vector<uint8_t>& f) { f[findMarker(f, 0xDA) + 5] = 9; }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> f = good;
        c.damage(f);
        EXPECT_FALSE(DecodeJpegEighth(f.data(), f.size(), &out)) << c.name;
    }
}
