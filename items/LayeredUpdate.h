// The per-pixel-alpha update that puts item windows and their satellite buttons on screen.
#pragma once
#include <windows.h>

#include "platform/Gdi.h"

namespace sona {

// Looks up UpdateLayeredWindow in "User32.DLL" once per process. Without the DLL the program
// cannot show a single item, so it says "User32.dll ERROR!" and exits with code 0.
void BindLayeredUpdate();

// Puts `surface` (an alpha surface from OffscreenSurface::CreateAlpha, premultiplied) on screen at
// the window's client origin with per-pixel alpha and the given constant alpha, making the window
// layered first if it is not. False when there is nothing to show or the update failed.
bool UpdateLayered(HWND hwnd, const OffscreenSurface& surface, BYTE constantAlpha = 254);

// A GDI+ bitmap over the pixels of an alpha surface, so that GDI+ drawing keeps its alpha
// (a Graphics made from the surface's DC would treat it as opaque RGB). Null for other surfaces.
// The bitmap must not outlive the surface.
GdipPtr<Gdiplus::Bitmap> WrapAlphaSurface(const OffscreenSurface& surface);

}  // namespace sona
