// The display copies of pictures kept on disk ("Data\Thumbs"), so that a desk of camera pictures
// shown after a restart is read from a few small files instead of being decoded again.
//
// One file per picture and display size. Its name comes from a hash of the key (path, file size,
// last-write time, display size); the file repeats the whole key and ends in a checksum, so a
// file cut short by a crash, damaged on disk or left from an older version of the picture is
// recognised and rebuilt. The folder is bounded: the least recently used files go first.
//
// Portable: formats, names, the eviction order and the pixel reduction live here and are tested
// on the host; the Windows side only reads, writes and deletes the files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace sona {

// What tells one version of a picture file from another: its path, size and last-write time,
// and a hash of a few small pieces of its bytes, for a file replaced by another of the same name,
// size and time (a camera's numbering started again, a copy that kept the time).
struct PictureKey {
    std::string path;
    uint64_t fileSize = 0;
    uint64_t modified = 0;  // FILETIME of the last write
    uint64_t contentHash = 0;
};

// The picture's own key and the display size a copy of it was made for.
struct ThumbKey : PictureKey {
    ThumbKey() = default;
    ThumbKey(const PictureKey& picture, uint32_t w, uint32_t h) : PictureKey(picture), displayWidth(w), displayHeight(h) {}
    uint32_t displayWidth = 0, displayHeight = 0;  // the picture area the copy was made for
};

// Where the content hash samples a file of `fileSize` bytes: three pieces of kContentSample bytes,
// at its start, its middle and its end; a file of three pieces or less whole. No piece is longer
// than kContentSample.
constexpr size_t kContentSample = 4096;
std::vector<std::pair<uint64_t, size_t>> ContentSamples(uint64_t fileSize);
// Adds one piece's bytes to a content hash (start with 0).
uint64_t HashContent(uint64_t hash, const uint8_t* data, size_t size);

// A display copy: premultiplied BGRA pixels, top-down, copyWidth * copyHeight of them, of a
// picture whose full size is pictureWidth by pictureHeight.
struct ThumbImage {
    uint32_t pictureWidth = 0, pictureHeight = 0;
    uint32_t copyWidth = 0, copyHeight = 0;
    std::vector<uint32_t> pixels;
};

// File name of the entry for `key`: 16 hex digits and ".thumb".
std::string ThumbFileName(const ThumbKey& key);

// The whole file for an entry.
std::vector<uint8_t> EncodeThumb(const ThumbKey& key, const ThumbImage& image);

// Reads an entry back. False when the bytes are not a whole, undamaged entry, or when it was made
// for another key (another file, another version of it, another display size).
bool DecodeThumb(const uint8_t* data, size_t size, const ThumbKey& expected, ThumbImage* out);

// Size of the display copy for a picture of w by h shown in a cx by cy area: a quarter more than
// the area on the side that fills it, so small resizes need no new copy, never bigger than the
// picture. Both 0 when the picture has no size.
std::pair<uint32_t, uint32_t> DisplayCopySize(uint32_t w, uint32_t h, int cx, int cy);

// Whole-number factor by which a w by h picture can be reduced cheaply (block averaging) and still
// be at least twice the copy size on both sides; 1 when no cheap step pays.
uint32_t ReductionFactor(uint32_t w, uint32_t h, uint32_t copyWidth, uint32_t copyHeight);

// Averages factor by factor blocks of a 24-bit BGR picture (rows of `stride` bytes) into opaque
// premultiplied BGRA. The result is (w / factor) by (h / factor); the leftover edge pixels are
// dropped, as a fraction of one output pixel.
std::vector<uint32_t> ReduceBgr24(const uint8_t* src, uint32_t w, uint32_t h, size_t stride, uint32_t factor);

// The bytes the folder may hold when the disk has `freeBytes` free and the folder holds
// `cacheBytes`: at most a quarter of the two together, and never more than `limit`, so that a
// small or nearly full disk keeps its room for the user's own files.
uint64_t ThumbBudgetFor(uint64_t freeBytes, uint64_t cacheBytes, uint64_t limit);

// Which entries of the folder to keep: every entry's size and when it was last used. Not locked;
// the caller serialises.
class ThumbIndex {
public:
    explicit ThumbIndex(uint64_t budgetBytes) : budget(budgetBytes) {}
    void SetBudget(uint64_t bytes) { budget = bytes; }

    // Adds an entry or updates it (a file written again).
    void Add(const std::string& name, uint64_t bytes, uint64_t lastUse);
    // Marks an entry used at `when`; unknown names are ignored.
    void Touch(const std::string& name, uint64_t when);
    void Remove(const std::string& name);
    // The names to delete, least recently used first, so that the rest fits the budget. They
    // are removed from the index.
    std::vector<std::string> Evict();
    // The same, down to `bytes` whatever the budget.
    std::vector<std::string> EvictTo(uint64_t bytes);

    bool Contains(const std::string& name) const { return entries.count(name) != 0; }
    uint64_t Bytes() const { return total; }
    size_t Count() const { return entries.size(); }
    uint64_t Budget() const { return budget; }

private:
    struct Entry {
        uint64_t bytes;
        uint64_t lastUse;
    };
    uint64_t budget;
    uint64_t total = 0;
    std::map<std::string, Entry> entries;
    std::set<std::pair<uint64_t, std::string>> byUse;  // oldest first
};

}  // namespace sona

namespace sona {

// The pixel size a picture file declares in its header (JPEG, PNG, GIF, BMP), read from its first
// bytes; false when they do not tell (another format, a header beyond them, damage). Lets a
// picture's frame take its orientation before the picture is decoded.
bool PictureSizeFromHeader(const uint8_t* data, size_t size, uint32_t* width, uint32_t* height);

}  // namespace sona
