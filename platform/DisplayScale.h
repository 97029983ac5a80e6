// Lengths on a display of any pixel density. The program's measures are written in units, the
// pixels of a 96 DPI display (100 %); a window on a denser display is drawn in that display's
// physical pixels, so every measure goes through one rounding, here, and nowhere else.
#pragma once

namespace sona {

// The density the program's measures are written for.
const int kUnitDpi = 96;

// value * numerator / denominator rounded half away from zero, as Windows' MulDiv rounds; -1 for
// a zero denominator or a result an int cannot hold, as MulDiv gives.
int MulDivRound(int value, int numerator, int denominator);

// The skin images are drawn for these display scales (percent), smallest first; the 100 % images
// are the ones the program has always had.
const int kArtScaleCount = 7;
extern const int kArtScales[kArtScaleCount];

// The scale of one display (or of the window on it) and the lengths on it.
struct DisplayScale {
    int dpi = kUnitDpi;

    DisplayScale() = default;
    // A density of 0 or less (a failed query) counts as 96.
    explicit DisplayScale(int dotsPerInch);

    // Physical pixels of a length in units, and back.
    int Px(int units) const;
    int Units(int pixels) const;
    // A font's height in pixels for a size in points (negative: the character height, as
    // CreateFont takes it). Points are already physical, so this is their only scaling.
    int FontHeight(int points) const;
    // The drawn art to use: this scale when it is drawn, else the next larger (reduced when
    // shown), else the largest. Never a smaller one: art is never stretched up.
    int ArtPercent() const;
    // True when the art at ArtPercent() is drawn for exactly this scale.
    bool ArtExact() const;

    bool operator==(const DisplayScale& other) const { return dpi == other.dpi; }
    bool operator!=(const DisplayScale& other) const { return dpi != other.dpi; }
};

// Pixels of one side of a skin image, `units` long at 100 %, in the art drawn at `percent`; the
// art script rounds the same way.
int ArtPixels(int units, int percent);

}  // namespace sona
