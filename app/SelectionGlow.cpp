#include "app/SelectionGlow.h"

#include <algorithm>
#include <cmath>

namespace sona {

uint8_t SelectionGlowAlpha(double distance) {
    using S = SelectionGlowStyle;
    if (distance < 0) return 0;
    if (distance < S::kOutline) return S::kOutlineAlpha;
    if (distance >= S::kMargin) return 0;
    double t = 1.0 - (distance - S::kOutline) / (S::kMargin - S::kOutline);
    return (uint8_t)std::lround(S::kGlowAlpha * t * t);
}

void PaintSelectionGlow(uint32_t* pixels, int w, int h) {
    using S = SelectionGlowStyle;
    if (!pixels || w <= 0 || h <= 0) return;
    const int m = S::kMargin;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            // Distance from the pixel's centre to the item's rectangle [m, w - m) x [m, h - m).
            double cx = x + 0.5, cy = y + 0.5;
            double dx = std::max({m - cx, 0.0, cx - (w - m)});
            double dy = std::max({m - cy, 0.0, cy - (h - m)});
            bool inside = cx > m && cx < w - m && cy > m && cy < h - m;
            uint32_t a = inside ? 0 : SelectionGlowAlpha(std::sqrt(dx * dx + dy * dy) - 0.5);
            uint32_t r = S::kRed * a / 255, g = S::kGreen * a / 255, b = S::kBlue * a / 255;
            pixels[(size_t)y * w + x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
}

}  // namespace sona
