#include "platform/DisplayScale.h"

#include <climits>
#include <cstdint>

namespace sona {

const int kArtScales[kArtScaleCount] = {100, 125, 150, 175, 200, 250, 300};

int MulDivRound(int value, int numerator, int denominator) {
    if (denominator == 0) return -1;
    int64_t product = static_cast<int64_t>(value) * numerator;
    int64_t d = denominator;
    if (d < 0) {
        product = -product;
        d = -d;
    }
    // Round the magnitude half up, then put the sign back: halves go away from zero.
    int64_t magnitude = product < 0 ? -product : product;
    int64_t quotient = (magnitude + d / 2) / d;
    int64_t result = product < 0 ? -quotient : quotient;
    if (result > INT_MAX || result < INT_MIN) return -1;
    return static_cast<int>(result);
}

DisplayScale::DisplayScale(int dotsPerInch) : dpi(dotsPerInch > 0 ? dotsPerInch : kUnitDpi) {}

int DisplayScale::Px(int units) const { return MulDivRound(units, dpi, kUnitDpi); }

int DisplayScale::Units(int pixels) const { return MulDivRound(pixels, kUnitDpi, dpi); }

int DisplayScale::FontHeight(int points) const { return -MulDivRound(points, dpi, 72); }

int DisplayScale::ArtPercent() const {
    // percent = dpi / 96 * 100, compared without rounding: 100 * dpi against 96 * percent.
    for (int percent : kArtScales)
        if (static_cast<int64_t>(percent) * kUnitDpi >= static_cast<int64_t>(dpi) * 100) return percent;
    return kArtScales[kArtScaleCount - 1];
}

bool DisplayScale::ArtExact() const {
    return static_cast<int64_t>(ArtPercent()) * kUnitDpi == static_cast<int64_t>(dpi) * 100;
}

int ArtPixels(int units, int percent) { return MulDivRound(units, percent, 100); }

}  // namespace sona
