// Reducing drawn art to a scale no art is drawn for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/ImageReduce.h"

namespace sona {
namespace {

PremultipliedImage Filled(int w, int h, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    PremultipliedImage img;
    img.width = w;
    img.height = h;
    for (int i = 0; i < w * h; i++) img.pixels.insert(img.pixels.end(), {b, g, r, a});
    return img;
}

const uint8_t* Pixel(const PremultipliedImage& img, int x, int y) { return &img.pixels[(y * img.width + x) * 4]; }

TEST(ReduceImage, TheSameSizeIsTheImageUnchanged) {
    PremultipliedImage img = Filled(5, 3, 0, 0, 0, 0);
    for (size_t i = 0; i < img.pixels.size(); i++) img.pixels[i] = static_cast<uint8_t>(i * 37 % 256 / 2);
    PremultipliedImage out;
    ASSERT_TRUE(ReduceImage(img, 5, 3, &out));
    EXPECT_EQ(out.pixels, img.pixels);
}

// A flat colour stays exactly that colour at every reduction the art scales need.
TEST(ReduceImage, AFlatColourStaysExact) {
    struct Case {
        int from, to;
    } cases[] = {{51, 47}, {60, 52}, {68, 61}, {85, 73}, {102, 90}, {300, 199}, {34, 17}};
    PremultipliedImage out;
    for (const Case& c : cases) {
        PremultipliedImage img = Filled(c.from, c.from / 2 + 1, 40, 90, 120, 200);
        ASSERT_TRUE(ReduceImage(img, c.to, c.to / 2 + 1, &out)) << c.from << " to " << c.to;
        ASSERT_EQ(out.width, c.to);
        ASSERT_EQ(out.height, c.to / 2 + 1);
        for (int i = 0; i < out.width * out.height; i++) {
            const uint8_t* p = &out.pixels[i * 4];
            ASSERT_TRUE(p[0] == 40 && p[1] == 90 && p[2] == 120 && p[3] == 200) << c.from << " to " << c.to << " at " << i;
        }
    }
}

// Halving a one-pixel checkerboard gives an even grey, not a pattern of its own.
TEST(ReduceImage, FinePatternsAverageOut) {
    PremultipliedImage img = Filled(40, 40, 0, 0, 0, 255);
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 40; x++)
            if ((x + y) % 2) std::fill(img.pixels.begin() + (y * 40 + x) * 4, img.pixels.begin() + (y * 40 + x) * 4 + 3, 255);
    PremultipliedImage out;
    ASSERT_TRUE(ReduceImage(img, 20, 20, &out));
    for (int y = 2; y < 18; y++)
        for (int x = 2; x < 18; x++) EXPECT_NEAR(Pixel(out, x, y)[1], 128, 2) << x << "," << y;
}

// A sharp edge stays sharp and in range: no colour beyond its alpha, a transparent side stays
// transparent away from the edge.
TEST(ReduceImage, EdgesStayPremultipliedAndInPlace) {
    PremultipliedImage img = Filled(60, 10, 0, 0, 0, 0);
    for (int y = 0; y < 10; y++)
        for (int x = 30; x < 60; x++) {
            uint8_t* p = &img.pixels[(y * 60 + x) * 4];
            p[0] = 255, p[1] = 255, p[2] = 255, p[3] = 255;
        }
    PremultipliedImage out;
    ASSERT_TRUE(ReduceImage(img, 50, 10, &out));
    for (int i = 0; i < 50 * 10; i++)
        for (int c = 0; c < 3; c++) ASSERT_LE(out.pixels[i * 4 + c], out.pixels[i * 4 + 3]);
    EXPECT_EQ(Pixel(out, 10, 5)[3], 0);
    EXPECT_EQ(Pixel(out, 40, 5)[3], 255);
    EXPECT_GT(Pixel(out, 25, 5)[3], 60);  // the edge: 30 of 60 is 25 of 50
    EXPECT_LT(Pixel(out, 24, 5)[3], 196);
}

TEST(ReduceImage, NeverEnlargesNorTakesBadInput) {
    PremultipliedImage img = Filled(10, 10, 1, 2, 3, 4), out = Filled(1, 1, 9, 9, 9, 9);
    const PremultipliedImage before = out;
    EXPECT_FALSE(ReduceImage(img, 11, 10, &out));
    EXPECT_FALSE(ReduceImage(img, 10, 11, &out));
    EXPECT_FALSE(ReduceImage(img, 0, 5, &out));
    EXPECT_FALSE(ReduceImage(img, 5, -1, &out));
    EXPECT_FALSE(ReduceImage(img, 5, 5, nullptr));
    PremultipliedImage torn = img;
    torn.pixels.resize(7);
    EXPECT_FALSE(ReduceImage(torn, 5, 5, &out));
    EXPECT_FALSE(ReduceImage(PremultipliedImage(), 1, 1, &out));
    EXPECT_EQ(out.pixels, before.pixels);
}

}  // namespace
}  // namespace sona
