// A camera picture shown a few hundred pixels wide needs no more than its 8x8 blocks' averages,
// and a baseline JPEG stores each block's average directly (its DC coefficient). Reading only
// those, and skipping every other coefficient without transforming it, gives the picture at one
// eighth of its size in a small part of a full decode's time.
//
// Portable: no windows.h. Baseline and extended sequential Huffman JPEGs with one (grey) or three
// (YCbCr) components, any sampling factors, restart intervals. Anything else (progressive,
// arithmetic coding, 12-bit samples, CMYK, Adobe RGB, a damaged stream) is refused, and the caller
// decodes the file in full instead.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sona {

struct JpegEighth {
    uint32_t width = 0, height = 0;            // the picture's full size
    uint32_t eighthWidth = 0, eighthHeight = 0;  // (width + 7) / 8 by (height + 7) / 8
    // Opaque BGRA (0xFFRRGGBB), top-down; pixel (x, y) is the average of the full picture's
    // block of 8 by 8 pixels at (8x, 8y).
    std::vector<uint32_t> pixels;
};

// Decodes `data` as above; false (and `out` unspecified) when the file is not one it can read.
bool DecodeJpegEighth(const uint8_t* data, size_t size, JpegEighth* out);

}  // namespace sona
