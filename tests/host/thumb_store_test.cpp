// The on-disk display copies: names, the entry format and its checks, the eviction order and the
// cheap first scaling step.
#include <gtest/gtest.h>

#include <set>

#include "items/ThumbStore.h"

using namespace sona;

namespace {

ThumbKey Key() {
    ThumbKey k;
    k.path = "C:\\photos\\camera01.jpg";
    k.fileSize = 3456789;
    k.modified = 0x01D9A1B2C3D4E5F6ull;
    k.displayWidth = 187;
    k.displayHeight = 140;
    k.contentHash = 0x5A5A00FF12345678ull;
    return k;
}

ThumbImage Image(uint32_t w = 5, uint32_t h = 3) {
    ThumbImage im;
    im.pictureWidth = 4000;
    im.pictureHeight = 3000;
    im.copyWidth = w;
    im.copyHeight = h;
    for (uint32_t i = 0; i < w * h; i++) im.pixels.push_back(0xFF000000u | i * 0x010203u);
    return im;
}

}  // namespace

TEST(ThumbStore, EveryKeyFieldChangesTheName) {
    ThumbKey base = Key();
    std::set<std::string> names{ThumbFileName(base)};
    ThumbKey k = base;
    k.path += "x";
    names.insert(ThumbFileName(k));
    k = base;
    k.fileSize++;
    names.insert(ThumbFileName(k));
    k = base;
    k.modified++;
    names.insert(ThumbFileName(k));
    k = base;
    k.displayWidth++;
    names.insert(ThumbFileName(k));
    k = base;
    k.displayHeight++;
    names.insert(ThumbFileName(k));
    k = base;
    k.contentHash ^= 1;
    names.insert(ThumbFileName(k));
    EXPECT_EQ(names.size(), 7u);
    EXPECT_EQ(ThumbFileName(base), ThumbFileName(Key()));
    EXPECT_EQ(ThumbFileName(base).size(), 22u);
    EXPECT_EQ(ThumbFileName(base).substr(16), ".thumb");
}

TEST(ThumbStore, EntryReadsBackExactly) {
    std::vector<uint8_t> file = EncodeThumb(Key(), Image());
    ThumbImage back;
    ASSERT_TRUE(DecodeThumb(file.data(), file.size(), Key(), &back));
    ThumbImage im = Image();
    EXPECT_EQ(back.pictureWidth, 4000u);
    EXPECT_EQ(back.pictureHeight, 3000u);
    EXPECT_EQ(back.copyWidth, 5u);
    EXPECT_EQ(back.copyHeight, 3u);
    EXPECT_EQ(back.pixels, im.pixels);
}

// A changed file (size or time), another display size or another path: the entry is stale.
TEST(ThumbStore, EntryForAnotherKeyIsStale) {
    std::vector<uint8_t> file = EncodeThumb(Key(), Image());
    struct Case {
        const char* what;
        void (*change)(ThumbKey&);
    } cases[] = {
        {"size", [](ThumbKey& k) { k.fileSize = 1; }},
        {"time", [](ThumbKey& k) { k.modified += 10000000; }},
        {"content", [](ThumbKey& k) { k.contentHash ^= 0x100; }},
        {"display width", [](ThumbKey& k) { k.displayWidth = 300; }},
        {"display height", [](ThumbKey& k) { k.displayHeight = 1; }},
        {"path", [](ThumbKey& k) { k.path = "C:\\photos\\camera02.jpg"; }},
        {"longer path", [](ThumbKey& k) { k.path += ".bak"; }},
    };
    for (const Case& c : cases) {
        ThumbKey k = Key();
        c.change(k);
        ThumbImage back;
        EXPECT_FALSE(DecodeThumb(file.data(), file.size(), k, &back)) << c.what;
    }
}

// Cut short by a crash, a flipped byte anywhere, zero bytes, another format: all ignored.
TEST(ThumbStore, DamagedEntryIsRejected) {
    std::vector<uint8_t> good = EncodeThumb(Key(), Image());
    ThumbImage back;
    for (size_t cut = 0; cut < good.size(); cut += 7)
        EXPECT_FALSE(DecodeThumb(good.data(), cut, Key(), &back)) << "cut at " << cut;
    for (size_t at = 0; at < good.size(); at++) {
        std::vector<uint8_t> bad = good;
        bad[at] ^= 0x10;
        EXPECT_FALSE(DecodeThumb(bad.data(), bad.size(), Key(), &back)) << "byte " << at;
    }
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(DecodeThumb(longer.data(), longer.size(), Key(), &back));
    std::vector<uint8_t> zeros(good.size(), 0);
    EXPECT_FALSE(DecodeThumb(zeros.data(), zeros.size(), Key(), &back));
    EXPECT_FALSE(DecodeThumb(nullptr, 0, Key(), &back));
}

// A header claiming a huge copy must not make the reader allocate or read past the end.
TEST(ThumbStore, AbsurdSizesAreRejected) {
    std::vector<uint8_t> file = EncodeThumb(Key(), Image());
    ThumbImage back;
    std::vector<uint8_t> bad = file;
    bad[8 + 32] = 0xFF, bad[8 + 33] = 0xFF, bad[8 + 34] = 0xFF, bad[8 + 35] = 0x7F;
    EXPECT_FALSE(DecodeThumb(bad.data(), bad.size(), Key(), &back));
    bad = file;
    bad[8 + 40] = 0xFF, bad[8 + 41] = 0xFF, bad[8 + 42] = 0xFF, bad[8 + 43] = 0xFF;
    EXPECT_FALSE(DecodeThumb(bad.data(), bad.size(), Key(), &back));
}

TEST(ThumbStore, DisplayCopySizeLeavesAQuarterToGrowAndNeverEnlarges) {
    struct Case {
        uint32_t w, h;
        int cx, cy;
        uint32_t cw, ch;
    } cases[] = {
        {4000, 3000, 187, 140, 234, 176},  // landscape camera picture in a 200 by 150 window
        {3000, 4000, 140, 187, 176, 234},
        {1600, 1200, 300, 200, 375, 282},
        {300, 200, 336, 252, 300, 200},     // small pictures keep their own size
        {400, 300, 336, 252, 400, 300},     // 1.25 x 336 = 420 > 400
        {0, 300, 100, 100, 0, 0},
    };
    for (const Case& c : cases) {
        auto s = DisplayCopySize(c.w, c.h, c.cx, c.cy);
        EXPECT_EQ(s.first, c.cw) << c.w << "x" << c.h;
        EXPECT_EQ(s.second, c.ch) << c.w << "x" << c.h;
    }
}

TEST(ThumbStore, ReductionKeepsAtLeastTwiceTheCopy) {
    struct Case {
        uint32_t w, h, cw, ch, factor;
    } cases[] = {
        {4000, 3000, 234, 176, 8},  // 500 by 375 before the fine pass
        {4000, 3000, 420, 315, 4},
        {1600, 1200, 420, 315, 1},  // 1600 / 840 < 2: no cheap step
        {1600, 1200, 200, 150, 4},
        {4000, 3000, 0, 0, 1},
        {100, 100, 100, 100, 1},
    };
    for (const Case& c : cases) {
        uint32_t f = ReductionFactor(c.w, c.h, c.cw, c.ch);
        EXPECT_EQ(f, c.factor) << c.w << "x" << c.h << " to " << c.cw << "x" << c.ch;
        if (f > 1) {
            EXPECT_GE(c.w / f, 2 * c.cw);
            EXPECT_GE(c.h / f, 2 * c.ch);
        }
    }
}

TEST(ThumbStore, ReduceAveragesBlocksIntoOpaquePixels) {
    // 5 by 4 BGR, rows padded to 16 bytes; factor 2 gives 2 by 2, the last column is dropped.
    const uint32_t w = 5, h = 4;
    const size_t stride = 16;
    std::vector<uint8_t> src(stride * h, 0xEE);
    for (uint32_t y = 0; y < h; y++)
        for (uint32_t x = 0; x < w; x++) {
            uint8_t* p = &src[y * stride + x * 3];
            p[0] = (uint8_t)(x * 10 + y);  // blue
            p[1] = (uint8_t)(100 + x);      // green
            p[2] = (uint8_t)(y < 2 ? 0 : 255);  // red
        }
    std::vector<uint32_t> out = ReduceBgr24(src.data(), w, h, stride, 2);
    ASSERT_EQ(out.size(), 4u);
    // Block (0,0): blues 0, 10, 1, 11 -> 5.5 rounds to 6; greens 100, 101 -> 100.5 -> 101; red 0.
    EXPECT_EQ(out[0], 0xFF000000u | 0u << 16 | 101u << 8 | 6u);
    // Block (1,1): blues 22, 32, 23, 33 -> 27.5 -> 28; greens 102, 103 -> 103; red 255.
    EXPECT_EQ(out[3], 0xFF000000u | 255u << 16 | 103u << 8 | 28u);
    for (uint32_t v : out) EXPECT_EQ(v >> 24, 0xFFu);
    EXPECT_EQ(ReduceBgr24(src.data(), w, h, stride, 1).size(), (size_t)w * h);
    EXPECT_EQ(ReduceBgr24(src.data(), w, h, stride, 8).size(), 0u);
}

TEST(ThumbIndex, EvictsLeastRecentlyUsedUntilTheBudgetHolds) {
    ThumbIndex index(1000);
    index.Add("a", 400, 10);
    index.Add("b", 400, 20);
    index.Add("c", 400, 30);
    EXPECT_EQ(index.Bytes(), 1200u);
    index.Touch("a", 40);  // a used again: b is now the oldest
    std::vector<std::string> gone = index.Evict();
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0], "b");
    EXPECT_EQ(index.Bytes(), 800u);
    EXPECT_FALSE(index.Contains("b"));
    EXPECT_TRUE(index.Contains("a"));
    // Rewriting an entry replaces its size, it does not add to it.
    index.Add("c", 100, 50);
    EXPECT_EQ(index.Bytes(), 500u);
    EXPECT_EQ(index.Count(), 2u);
    EXPECT_TRUE(index.Evict().empty());
    index.Add("d", 900, 60);  // 1400 bytes: dropping a (400) is enough
    gone = index.Evict();
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0], "a");
    EXPECT_EQ(index.Bytes(), 1000u);
    index.Remove("d");
    index.Touch("nobody", 1);
    EXPECT_EQ(index.Bytes(), 100u);
    EXPECT_EQ(index.Count(), 1u);
}

TEST(ThumbIndex, AnEntryAloneBiggerThanTheBudgetGoes) {
    ThumbIndex index(100);
    index.Add("big", 500, 1);
    EXPECT_EQ(index.Evict(), std::vector<std::string>{"big"});
}

namespace {

std::vector<uint8_t> Jpeg(uint32_t w, uint32_t h, size_t exifBytes, uint8_t sof = 0xC0) {
    std::vector<uint8_t> d = {0xFF, 0xD8};
    // An APP1 segment (where cameras keep EXIF and a thumbnail), then a quantisation table.
    d.insert(d.end(), {0xFF, 0xE1, (uint8_t)((exifBytes + 2) >> 8), (uint8_t)(exifBytes + 2)});
    d.insert(d.end(), exifBytes, 0xAB);
    d.insert(d.end(), {0xFF, 0xDB, 0x00, 0x04, 0x00, 0x00});
    d.insert(d.end(), {0xFF, 0xFF, 0xFF, sof, 0x00, 0x11, 0x08, (uint8_t)(h >> 8), (uint8_t)h, (uint8_t)(w >> 8),
                       (uint8_t)w, 0x03});
    d.insert(d.end(), 9, 0);
    d.insert(d.end(), {0xFF, 0xDA, 0x00, 0x02});
    return d;
}

}  // namespace

TEST(PictureHeader, SizesOfEveryFormatItKnows) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                0, 0, 0x0F, 0xA0, 0, 0, 0x0B, 0xB8, 8, 6, 0, 0, 0};
    std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0x40, 0x01, 0xF0, 0x00, 0, 0, 0};
    std::vector<uint8_t> bmp(54, 0);
    bmp[0] = 'B', bmp[1] = 'M', bmp[14] = 40;
    bmp[18] = 0x20, bmp[19] = 0x03;                    // 800 wide
    bmp[22] = 0xA8, bmp[23] = 0xFD, bmp[24] = 0xFF, bmp[25] = 0xFF;  // -600: top-down rows
    std::vector<uint8_t> os2(26, 0);
    os2[0] = 'B', os2[1] = 'M', os2[14] = 12, os2[18] = 50, os2[20] = 70;
    struct Case {
        const char* what;
        std::vector<uint8_t> data;
        uint32_t w, h;
    } cases[] = {
        {"png", png, 4000, 3000},
        {"gif", gif, 320, 240},
        {"bmp", bmp, 800, 600},
        {"os/2 bmp", os2, 50, 70},
        {"jpeg", Jpeg(4000, 3000, 100), 4000, 3000},
        {"jpeg, portrait, big exif", Jpeg(3000, 4000, 60000), 3000, 4000},
        {"progressive jpeg", Jpeg(1600, 1200, 10, 0xC2), 1600, 1200},
    };
    for (const Case& c : cases) {
        uint32_t w = 0, h = 0;
        EXPECT_TRUE(PictureSizeFromHeader(c.data.data(), c.data.size(), &w, &h)) << c.what;
        EXPECT_EQ(w, c.w) << c.what;
        EXPECT_EQ(h, c.h) << c.what;
    }
}

TEST(PictureHeader, UnknownOrCutShortTellsNothing) {
    std::vector<uint8_t> jpeg = Jpeg(4000, 3000, 5000);
    std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
    std::vector<uint8_t> huffmanFirst = Jpeg(100, 100, 10, 0xC4);  // DHT is no frame: scan comes first
    uint32_t w, h;
    EXPECT_FALSE(PictureSizeFromHeader(jpeg.data(), 4000, &w, &h));  // the frame lies past the bytes read
    EXPECT_FALSE(PictureSizeFromHeader(text.data(), text.size(), &w, &h));
    EXPECT_FALSE(PictureSizeFromHeader(huffmanFirst.data(), huffmanFirst.size(), &w, &h));
    EXPECT_FALSE(PictureSizeFromHeader(nullptr, 0, &w, &h));
    for (size_t cut = 0; cut < jpeg.size(); cut += 97) PictureSizeFromHeader(jpeg.data(), cut, &w, &h);
}

// A photo replaced by another of the same name, size and time differs in its sampled pieces.
TEST(ThumbStore, ContentSamplesCoverStartMiddleAndEnd) {
    EXPECT_TRUE(ContentSamples(0).empty());
    EXPECT_EQ(ContentSamples(100), (std::vector<std::pair<uint64_t, size_t>>{{0, 100}}));
    EXPECT_EQ(ContentSamples(2 * kContentSample + 5), (std::vector<std::pair<uint64_t, size_t>>{
                                                          {0, kContentSample},
                                                          {kContentSample, kContentSample},
                                                          {2 * kContentSample, 5}}));
    EXPECT_EQ(ContentSamples(3 * kContentSample), (std::vector<std::pair<uint64_t, size_t>>{
                                                      {0, kContentSample},
                                                      {kContentSample, kContentSample},
                                                      {2 * kContentSample, kContentSample}}));
    uint64_t big = 5000000000ull;
    EXPECT_EQ(ContentSamples(big), (std::vector<std::pair<uint64_t, size_t>>{
                                       {0, kContentSample},
                                       {big / 2 - kContentSample / 2, kContentSample},
                                       {big - kContentSample, kContentSample}}));
    const uint8_t a[] = {1, 2, 3, 4}, b[] = {1, 2, 3, 5};
    EXPECT_NE(HashContent(0, a, 4), HashContent(0, b, 4));
    EXPECT_EQ(HashContent(HashContent(0, a, 2), a + 2, 2), HashContent(0, a, 4));
    EXPECT_NE(HashContent(0, a, 4), 0u);
}

// The cache never takes more than a quarter of what it and the free space make together.
TEST(ThumbStore, BudgetFollowsFreeSpace) {
    const uint64_t MB = 1 << 20, limit = 64 * MB;
    EXPECT_EQ(ThumbBudgetFor(1000 * MB, 0, limit), limit);
    EXPECT_EQ(ThumbBudgetFor(28 * MB, 0, limit), 7 * MB);
    EXPECT_EQ(ThumbBudgetFor(4 * MB, 24 * MB, limit), 7 * MB);
    EXPECT_EQ(ThumbBudgetFor(0, 0, limit), 0u);
    ThumbIndex index(limit);
    for (int i = 0; i < 10; i++) index.Add("e" + std::to_string(i), MB, (uint64_t)i);
    index.SetBudget(ThumbBudgetFor(2 * MB, index.Bytes(), limit));
    EXPECT_EQ(index.Evict(), (std::vector<std::string>{"e0", "e1", "e2", "e3", "e4", "e5", "e6"}));
    EXPECT_EQ(index.EvictTo(0), (std::vector<std::string>{"e7", "e8", "e9"}));
    EXPECT_EQ(index.Bytes(), 0u);
}
