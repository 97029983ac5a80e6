#include "store/RelativeRect.h"

#include <cmath>

namespace sona {

float ToRelative(int32_t coordinate, int32_t extent) {
    if (extent <= 0) return 0.0f;
    // Divided in double and rounded once to float: the float nearest the true quotient.
    return (float)((double)coordinate / (double)extent);
}

int32_t FromRelative(float relative, int32_t extent) {
    double v = (double)relative * (double)extent;
    // Stored files are not trusted: a NaN or a value beyond any screen stays inside int range.
    if (!(v == v)) return 0;
    if (v > 1e9) return 1000000000;
    if (v < -1e9) return -1000000000;
    return (int32_t)std::lround(v);
}

PixelRect RectFromRelative(const RelativeRect& rel, int32_t w, int32_t h) {
    return PixelRect{FromRelative(rel.left, w), FromRelative(rel.top, h), FromRelative(rel.right, w),
                     FromRelative(rel.bottom, h)};
}

RelativeRect SyncRelative(const RelativeRect& stored, const PixelRect& now, int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) return stored;
    auto side = [](float old, int32_t pixel, int32_t extent) {
        return FromRelative(old, extent) == pixel ? old : ToRelative(pixel, extent);
    };
    return RelativeRect{side(stored.left, now.left, w), side(stored.top, now.top, h),
                        side(stored.right, now.right, w), side(stored.bottom, now.bottom, h)};
}

}  // namespace sona
