// The look of the selection: a thin accent outline hugging the current item with a soft glow
// fading outwards, computed as premultiplied 32-bit pixels for a per-pixel-alpha window. Portable.
#pragma once
#include <cstdint>

namespace sona {

struct SelectionGlowStyle {
    // How far the highlight reaches beyond the item's rectangle on every side.
    static constexpr int kMargin = 8;
    // The outline's width, drawn right against the item.
    static constexpr int kOutline = 2;
    // A calm blue in the family of the selected desk tab.
    static constexpr uint8_t kRed = 58, kGreen = 140, kBlue = 230;
    static constexpr uint8_t kOutlineAlpha = 230;
    static constexpr uint8_t kGlowAlpha = 110;
};

// Opacity at `distance` pixels outside the item's edge (0 on the edge, negative inside): nothing
// inside the item, the outline, then a glow that reaches zero at the margin.
uint8_t SelectionGlowAlpha(double distance);

// Fills a w x h frame (top-down rows, 0xAARRGGBB premultiplied) whose middle, inset by kMargin on
// every side, is the item: transparent there, the outline and glow around it. The corners of
// the glow are rounded (distance to the item's rectangle).
void PaintSelectionGlow(uint32_t* pixels, int w, int h);

}  // namespace sona
