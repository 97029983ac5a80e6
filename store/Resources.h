// Resources carried by the executable: PNG skins into GDI+ images, raw resources to files.
#pragma once
#include "platform/Gdi.h"
#include "store/DataFolder.h"

#include <string>

namespace sona {

// Decodes resource `id` of type `type` ("PNG") into a new GDI+ image stored in *image; the image
// belongs to the caller. A missing resource leaves *image as it was.
void LoadPngResource(UINT id, const char* type, Gdiplus::Image** image);
// Convenience: the image or null.
GdipPtr<Gdiplus::Image> LoadPng(UINT id);
// The "PNG" resource `id` decoded once for the whole process and shared by every window that
// draws it (null when missing). Shared images are only drawn, never changed; they live until the
// process ends.
Gdiplus::Image* SharedPng(UINT id);

// Writes the raw bytes of a resource to `path` (UTF-8), replacing any file there. 1 on success, else 0.
int ExtractResourceToFile(UINT id, const char* type, const char* path);

}  // namespace sona
