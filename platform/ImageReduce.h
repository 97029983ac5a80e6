// Reduces a skin image drawn for a larger display scale to the scale a window is at, for the
// scales no art is drawn for (a 140 % display uses the 150 % art). Only ever reduces: art is
// never stretched up. Portable.
#pragma once
#include <cstdint>
#include <vector>

namespace sona {

// 32-bit pixels, rows top-down, each B, G, R, A with the colour premultiplied by alpha (what
// AlphaBlend and UpdateLayeredWindow take).
struct PremultipliedImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // width * height * 4 bytes
};

// `image` resampled to width x height with a bicubic (Catmull-Rom) filter widened by the
// reduction, so fine lines fade evenly rather than flicker in and out. The same size gives the
// image unchanged; an empty, malformed or enlarging request gives false and leaves `out` alone.
bool ReduceImage(const PremultipliedImage& image, int width, int height, PremultipliedImage* out);

}  // namespace sona
