// Decoded pictures kept at the size they are shown, so that building a desk's windows again (a
// desk switch, a click on the current tab) does not decode every file again. A full camera
// picture is tens of megabytes once decoded and takes a large part of a second to decode; the
// copy an item needs is a few hundred pixels wide.
//
// Entries are keyed by path, file size, last-write time and a hash of a few pieces of the file
// (PictureKey), so a file changed on disk is decoded afresh. The cache holds at most `budget` bytes of pixels and drops the least recently used
// entries beyond that.
#pragma once
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

#include "items/ThumbStore.h"
#include "platform/Gdi.h"

namespace sona {


// What an item needs of a picture: its full size and a decoded copy to draw.
struct PictureCopy {
    uint32_t width = 0, height = 0;          // of the file's picture; 0 when it did not decode
    std::shared_ptr<Gdiplus::Bitmap> pixels;  // premultiplied copy, at most the full size; may be null
    // True when the copy can be drawn into a cx by cy area without enlarging it.
    bool Covers(int cx, int cy) const;
};

class PictureCache {
public:
    explicit PictureCache(size_t budgetBytes);

    // The process-wide cache the picture items share.
    static PictureCache& Shared();

    // The key of the file at `path` now; false when the file cannot be queried.
    static bool KeyForFile(const std::string& path, PictureKey* key);
    // The content hash of the file at `path` of `fileSize` bytes; 0 when it cannot be read.
    static uint64_t ContentHashOfFile(const std::string& path, uint64_t fileSize);

    // Decodes `full` into a premultiplied copy big enough to fill a cx by cy area (with some
    // room to grow), never bigger than the picture itself.
    static std::shared_ptr<Gdiplus::Bitmap> MakeCopy(Gdiplus::Image& full, int cx, int cy);
    // The same copy from a picture of pictureW by pictureH already reduced to opaque BGRA pixels
    // of w by h (the high-quality pass of MakeCopy alone).
    static std::shared_ptr<Gdiplus::Bitmap> MakeCopyFromReduced(const uint32_t* pixels, uint32_t w, uint32_t h,
                                                                uint32_t pictureW, uint32_t pictureH, int cx, int cy);

    // The entry for `key`, or false. A hit makes the entry the most recently used.
    bool Find(const PictureKey& key, PictureCopy* out);
    // Adds or replaces the entry for `key`; then drops old entries until the budget holds.
    void Store(const PictureKey& key, const PictureCopy& copy);
    void Clear();

    size_t BytesUsed() const { return bytesUsed; }
    size_t Budget() const { return budget; }
    size_t Count() const { return entries.size(); }
    uint64_t Hits() const { return hits; }
    uint64_t Misses() const { return misses; }

private:
    struct Entry {
        PictureKey key;
        PictureCopy copy;
        size_t bytes = 0;
    };
    void Trim();

    size_t budget;
    size_t bytesUsed = 0;
    uint64_t hits = 0, misses = 0;
    std::list<Entry> entries;  // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> index;  // by path
};

}  // namespace sona
