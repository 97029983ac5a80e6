#include "store/SkinImage.h"

#include <cstring>

#include "store/Resources.h"

namespace sona {

bool SkinImage::Load(UINT pngId) {
    pixels.Reset();
    return LoadTwin(pngId) || DecodePng(pngId);
}

bool SkinImage::LoadTwin(UINT id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id & 0xFFFF), "SKIN");
    if (!res) return false;
    HGLOBAL loaded = LoadResource(module, res);
    DWORD size = SizeofResource(module, res);
    const unsigned char* bytes = loaded ? (const unsigned char*)LockResource(loaded) : nullptr;
    if (!bytes || size < 8) return false;
    uint32_t w, h;
    std::memcpy(&w, bytes, 4);
    std::memcpy(&h, bytes + 4, 4);
    // The sizes come from the file: check them against its length before trusting them.
    if (w == 0 || h == 0 || w > 4096 || h > 4096 || (size - 8) / 4 / w < h) return false;
    if (!pixels.CreateAlpha((int)w, (int)h)) return false;
    std::memcpy(pixels.pixels(), bytes + 8, (size_t)w * h * 4);
    return true;
}

bool SkinImage::DecodePng(UINT id) {
    GdipPtr<Gdiplus::Image> image = LoadPng(id);
    if (!image || image->GetWidth() == 0 || image->GetHeight() == 0) return false;
    int w = (int)image->GetWidth(), h = (int)image->GetHeight();
    if (!pixels.CreateAlpha(w, h)) return false;
    // GDI+ writes the picture straight into the surface's pixels, premultiplied as GDI wants them.
    Gdiplus::Bitmap target(w, h, w * 4, PixelFormat32bppPARGB, (BYTE*)pixels.pixels());
    Gdiplus::Graphics g(&target);
    g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    if (g.DrawImage(image.get(), 0, 0, w, h) != Gdiplus::Ok) {
        pixels.Reset();
        return false;
    }
    return true;
}

void SkinImage::Draw(HDC target, int x, int y, int w, int h) const {
    if (!pixels) return;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(target, x, y, w, h, pixels.dc(), 0, 0, pixels.width(), pixels.height(), blend);
}

}  // namespace sona
