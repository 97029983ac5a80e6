#include "items/PictureCache.h"

#include <cmath>
#include <vector>

#include "items/ThumbStore.h"
#include "platform/FileNames.h"

namespace sona {

namespace {

// Bytes of pixels a copy holds (32 bits a pixel).
size_t CopyBytes(const PictureCopy& copy) {
    if (!copy.pixels) return 0;
    return (size_t)copy.pixels->GetWidth() * copy.pixels->GetHeight() * 4;
}

}  // namespace

// Tells whether drawing the copy into cx by cy would have to enlarge it.
bool PictureCopy::Covers(int cx, int cy) const {
    if (!pixels) return false;
    UINT pw = pixels->GetWidth(), ph = pixels->GetHeight();
    // A copy at the picture's own size is as sharp as the picture gets.
    if (pw >= width && ph >= height) return true;
    return (int)pw >= cx && (int)ph >= cy;
}

PictureCache::PictureCache(size_t budgetBytes) : budget(budgetBytes) {}

// 96 MB of display copies: a few hundred desk pictures at their usual sizes, and little next to
// the address space of a 32-bit process.
PictureCache& PictureCache::Shared() {
    static PictureCache cache(96u << 20);
    return cache;
}

// Reads size and last-write time: enough to notice a file replaced under the same name.
bool PictureCache::KeyForFile(const std::string& path, PictureKey* key) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(WideFilePath(path).c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    key->path = path;
    key->fileSize = ((uint64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    key->modified = ((uint64_t)data.ftLastWriteTime.dwHighDateTime << 32) | data.ftLastWriteTime.dwLowDateTime;
    key->contentHash = ContentHashOfFile(path, key->fileSize);
    return true;
}

// Three small reads: cheap beside a decode, and enough to tell two photos of one size apart.
uint64_t PictureCache::ContentHashOfFile(const std::string& path, uint64_t fileSize) {
    HANDLE h = OpenFileHandle(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE) return 0;
    uint64_t hash = 0;
    uint8_t piece[kContentSample];
    for (const auto& s : ContentSamples(fileSize)) {
        if (s.second > sizeof piece) break;  // never: no piece is longer
        LARGE_INTEGER at;
        at.QuadPart = (LONGLONG)s.first;
        DWORD got = 0;
        if (!SetFilePointerEx(h, at, nullptr, FILE_BEGIN) || !ReadFile(h, piece, (DWORD)s.second, &got, nullptr)) break;
        hash = HashContent(hash, piece, got);
    }
    CloseHandle(h);
    return hash;
}

// Scales once with a good filter so that the many later renders scale only a small copy. Large
// camera pictures first lose most of their pixels by block averaging, which costs a fraction of
// a filtered scaling from full size; the high-quality pass then works on about twice the copy's
// size, as it would on a small picture.
std::shared_ptr<Gdiplus::Bitmap> PictureCache::MakeCopy(Gdiplus::Image& full, int cx, int cy) {
    UINT pw = full.GetWidth(), ph = full.GetHeight();
    auto size = DisplayCopySize(pw, ph, cx, cy);
    uint32_t cw = size.first, ch = size.second;
    if (cw == 0 || ch == 0) return nullptr;
    auto copy = std::make_shared<Gdiplus::Bitmap>((INT)cw, (INT)ch, PixelFormat32bppPARGB);
    if (copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
    std::vector<uint32_t> reduced;
    uint32_t rw = 0, rh = 0;
    uint32_t factor = ReductionFactor(pw, ph, cw, ch);
    if (factor > 1 && full.GetType() == Gdiplus::ImageTypeBitmap && full.GetPixelFormat() == PixelFormat24bppRGB) {
        auto& bitmap = static_cast<Gdiplus::Bitmap&>(full);
        Gdiplus::BitmapData d{};
        Gdiplus::Rect r(0, 0, (INT)pw, (INT)ph);
        if (bitmap.LockBits(&r, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &d) == Gdiplus::Ok) {
            if (d.Stride > 0) {
                reduced = ReduceBgr24((const uint8_t*)d.Scan0, pw, ph, (size_t)d.Stride, factor);
                rw = pw / factor;
                rh = ph / factor;
            }
            bitmap.UnlockBits(&d);
        }
    }
    Gdiplus::Graphics g(copy.get());
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    Gdiplus::Status s;
    if (!reduced.empty()) {
        Gdiplus::Bitmap small((INT)rw, (INT)rh, (INT)(rw * 4), PixelFormat32bppPARGB, (BYTE*)reduced.data());
        s = g.DrawImage(&small, Gdiplus::Rect(0, 0, (INT)cw, (INT)ch));
    } else {
        s = g.DrawImage(&full, Gdiplus::Rect(0, 0, (INT)cw, (INT)ch));
    }
    if (s != Gdiplus::Ok) return nullptr;
    return copy;
}

std::shared_ptr<Gdiplus::Bitmap> PictureCache::MakeCopyFromReduced(const uint32_t* pixels, uint32_t w, uint32_t h,
                                                                  uint32_t pictureW, uint32_t pictureH, int cx,
                                                                  int cy) {
    auto size = DisplayCopySize(pictureW, pictureH, cx, cy);
    uint32_t cw = size.first, ch = size.second;
    if (cw == 0 || ch == 0 || !pixels || w == 0 || h == 0) return nullptr;
    auto copy = std::make_shared<Gdiplus::Bitmap>((INT)cw, (INT)ch, PixelFormat32bppPARGB);
    if (copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Graphics g(copy.get());
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    Gdiplus::Bitmap small((INT)w, (INT)h, (INT)(w * 4), PixelFormat32bppPARGB, (BYTE*)pixels);
    if (g.DrawImage(&small, Gdiplus::Rect(0, 0, (INT)cw, (INT)ch)) != Gdiplus::Ok) return nullptr;
    return copy;
}

bool PictureCache::Find(const PictureKey& key, PictureCopy* out) {
    auto it = index.find(key.path);
    if (it == index.end()) {
        misses++;
        return false;
    }
    Entry& e = *it->second;
    if (e.key.fileSize != key.fileSize || e.key.modified != key.modified || e.key.contentHash != key.contentHash) {
        // The file changed since it was decoded: the old copy is of no use any more.
        bytesUsed -= e.bytes;
        entries.erase(it->second);
        index.erase(it);
        misses++;
        return false;
    }
    entries.splice(entries.begin(), entries, it->second);
    *out = e.copy;
    hits++;
    return true;
}

void PictureCache::Store(const PictureKey& key, const PictureCopy& copy) {
    auto it = index.find(key.path);
    if (it != index.end()) {
        bytesUsed -= it->second->bytes;
        entries.erase(it->second);
        index.erase(it);
    }
    Entry e;
    e.key = key;
    e.copy = copy;
    e.bytes = CopyBytes(copy);
    // A copy bigger than the whole budget would only push everything else out.
    if (e.bytes > budget) return;
    entries.push_front(std::move(e));
    index[key.path] = entries.begin();
    bytesUsed += entries.front().bytes;
    Trim();
}

void PictureCache::Clear() {
    entries.clear();
    index.clear();
    bytesUsed = 0;
}

// Drops the least recently used entries until the pixels fit the budget. Items that still draw
// a dropped copy keep it alive through their own reference.
void PictureCache::Trim() {
    while (bytesUsed > budget && !entries.empty()) {
        Entry& last = entries.back();
        bytesUsed -= last.bytes;
        index.erase(last.key.path);
        entries.pop_back();
    }
}

}  // namespace sona
