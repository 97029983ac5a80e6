#include "platform/ImageReduce.h"

#include <algorithm>
#include <cmath>

namespace sona {

namespace {

// Catmull-Rom: sharp, passes through the samples, one small negative lobe.
double CatmullRom(double x) {
    if (x < 0) x = -x;  // not std::fabs: the 32-bit build would send it through the x87 unit
    if (x < 1) return (1.5 * x - 2.5) * x * x + 1;
    if (x < 2) return ((-0.5 * x + 2.5) * x - 4) * x + 2;
    return 0;
}

// For each destination sample along one axis, the first source sample it reads and the weights
// of the samples from there (summing to 1).
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<double> weights;  // count[i] weights for sample i, one run after another
};

Taps MakeTaps(int from, int to) {
    Taps taps;
    double scale = static_cast<double>(from) / to;  // >= 1
    double support = 2 * scale;
    for (int i = 0; i < to; i++) {
        double centre = (i + 0.5) * scale;
        int lo = std::max(0, static_cast<int>(std::floor(centre - support)));
        int hi = std::min(from, static_cast<int>(std::ceil(centre + support)));
        double sum = 0;
        size_t start = taps.weights.size();
        for (int s = lo; s < hi; s++) {
            double w = CatmullRom((s + 0.5 - centre) / scale);
            taps.weights.push_back(w);
            sum += w;
        }
        for (size_t k = start; k < taps.weights.size(); k++) taps.weights[k] /= sum;
        taps.first.push_back(lo);
        taps.count.push_back(hi - lo);
    }
    return taps;
}

uint8_t ToByte(double v) { return static_cast<uint8_t>(std::min(255.0, std::max(0.0, std::floor(v + 0.5)))); }

}  // namespace

bool ReduceImage(const PremultipliedImage& image, int width, int height, PremultipliedImage* out) {
    if (!out || image.width <= 0 || image.height <= 0 || width <= 0 || height <= 0) return false;
    if (width > image.width || height > image.height) return false;
    if (image.pixels.size() != static_cast<size_t>(image.width) * image.height * 4) return false;
    if (width == image.width && height == image.height) {
        *out = image;
        return true;
    }
    // Across each row first, then down each column of that.
    Taps across = MakeTaps(image.width, width), down = MakeTaps(image.height, height);
    std::vector<double> rows(static_cast<size_t>(width) * image.height * 4);
    for (int y = 0; y < image.height; y++) {
        const uint8_t* src = &image.pixels[static_cast<size_t>(y) * image.width * 4];
        size_t w = 0;
        for (int x = 0; x < width; x++) {
            double acc[4] = {0, 0, 0, 0};
            for (int k = 0; k < across.count[x]; k++, w++) {
                const uint8_t* p = src + (across.first[x] + k) * 4;
                for (int c = 0; c < 4; c++) acc[c] += across.weights[w] * p[c];
            }
            for (int c = 0; c < 4; c++) rows[(static_cast<size_t>(y) * width + x) * 4 + c] = acc[c];
        }
    }
    PremultipliedImage result;
    result.width = width;
    result.height = height;
    result.pixels.resize(static_cast<size_t>(width) * height * 4);
    size_t w = 0;
    for (int y = 0; y < height; y++) {
        size_t wy = w;
        for (int x = 0; x < width; x++) {
            double acc[4] = {0, 0, 0, 0};
            w = wy;
            for (int k = 0; k < down.count[y]; k++, w++) {
                const double* p = &rows[(static_cast<size_t>(down.first[y] + k) * width + x) * 4];
                for (int c = 0; c < 4; c++) acc[c] += down.weights[w] * p[c];
            }
            uint8_t* d = &result.pixels[(static_cast<size_t>(y) * width + x) * 4];
            d[3] = ToByte(acc[3]);
            // The negative lobe can push a colour past its alpha; premultiplied colour never is.
            for (int c = 0; c < 3; c++) d[c] = std::min(ToByte(acc[c]), d[3]);
        }
    }
    *out = std::move(result);
    return true;
}

}  // namespace sona
