#include "store/Resources.h"

#include <map>

#include "platform/FileNames.h"

namespace sona {

void LoadPngResource(UINT id, const char* type, Gdiplus::Image** image) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id & 0xFFFF), type);
    if (!res) return;
    HGLOBAL loaded = LoadResource(module, res);
    DWORD size = SizeofResource(module, res);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || !size) return;
    // GDI+ reads the stream lazily for as long as the image lives, so the copy must live as long
    // as the image: the stream owns the block and frees it with its last reference.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return;
    void* dst = GlobalLock(block);
    if (!dst) {
        GlobalFree(block);
        return;
    }
    memcpy(dst, bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return;
    }
    Gdiplus::Image* img = Gdiplus::Image::FromStream(stream, FALSE);
    stream->Release();
    if (img && img->GetLastStatus() != Gdiplus::Ok) {
        delete img;
        img = nullptr;
    }
    if (img) *image = img;
}

GdipPtr<Gdiplus::Image> LoadPng(UINT id) {
    Gdiplus::Image* img = nullptr;
    LoadPngResource(id, "PNG", &img);
    return GdipPtr<Gdiplus::Image>(img);
}

Gdiplus::Image* SharedPng(UINT id) {
    // Kept on purpose past GDI+'s shutdown (the process is ending then): a static destructor
    // deleting them would run after it. A missing resource is asked for again each time.
    static std::map<UINT, Gdiplus::Image*>* images = new std::map<UINT, Gdiplus::Image*>;
    auto it = images->find(id);
    if (it != images->end()) return it->second;
    Gdiplus::Image* img = LoadPng(id).release();
    if (img) (*images)[id] = img;
    return img;
}

int ExtractResourceToFile(UINT id, const char* type, const char* path) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id & 0xFFFF), type);
    if (!res) return 0;
    HGLOBAL loaded = LoadResource(module, res);
    DWORD size = SizeofResource(module, res);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return 0;
    HANDLE f = OpenFileHandle(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (f == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    BOOL ok = WriteFile(f, bytes, size, &written, nullptr);
    CloseHandle(f);
    return ok && written == size ? 1 : 0;
}

}  // namespace sona
