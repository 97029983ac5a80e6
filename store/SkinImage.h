// Skin pictures drawn with GDI alone: the main window paints its tabs, arrows and command buttons
// before GDI+ is loaded.
#pragma once
#include "platform/Gdi.h"

namespace sona {

// A "PNG" skin resource as premultiplied 32-bit pixels, drawn with GDI's alpha blend. The build
// keeps a ready twin of each first-paint PNG (resource type "SKIN", same number: width and height
// as 32-bit little-endian numbers, then BGRA rows top-down); a PNG without a twin is decoded by
// GDI+, which must then be running.
class SkinImage {
public:
    // False, and nothing to draw, when the resource is missing or cannot be read.
    bool Load(UINT pngId);
    void Reset() { pixels.Reset(); }
    // Blends the picture over `target` into the rectangle (x, y, w, h), scaled when the sizes differ.
    void Draw(HDC target, int x, int y, int w, int h) const;
    int Width() const { return pixels.width(); }
    int Height() const { return pixels.height(); }
    explicit operator bool() const { return (bool)pixels; }

private:
    bool LoadTwin(UINT id);
    bool DecodePng(UINT id);

    OffscreenSurface pixels;
};

}  // namespace sona
