// A picture file on a desk: the picture inside a decorative frame with a soft shadow. It drags
// from its inner area, resizes from its outer band keeping the picture's proportions, and takes
// another file from "Open" or a double-click.
#pragma once
#include <string>
#include <vector>

#include "items/LayeredItemWindow.h"
#include "items/PictureCache.h"
#include "items/PictureLoader.h"

namespace sona {

class PictureItem : public LayeredItemWindow {
public:
    PictureItem() = default;
    ~PictureItem() override;

    // Smallest size the user can drag a picture to.
    static constexpr int kMinSize = 100;
    // Longer side of a picture when it is imported or opened.
    static constexpr uint32_t kOpenSide = 360;

    // Size of a newly placed w by h picture: the longer side 360, the other in proportion
    // (unsigned arithmetic, truncated). Both 0 when the picture has no size.
    static SIZE OpenedSize(uint32_t w, uint32_t h);
    // The picture's size from the first bytes of its file (JPEG, PNG, GIF, BMP), without decoding
    // it; false when they do not tell.
    static bool SizeFromFile(const std::string& file, uint32_t* w, uint32_t* h);
    // Decodes the frame skin that every picture window shares, if not done yet.
    static void PrepareSkins();

    // Shows the Open dialog; tests put their own chooser here. Returns every chosen path.
    using FileChooser = std::vector<std::string> (*)(HWND owner, const char* filter, DWORD flags);
    static FileChooser chooseFiles;

    // Takes `file` as the picture: remembers the path and reads the picture, from the shared
    // cache when the same file (same size and time) was read before. Does not render.
    void LoadPicture(const std::string& file);
    // Takes `file` as the picture without reading it here: the window shows its frame at once
    // and the picture follows from the shared loader's workers (or at once from the memory
    // cache). For desks being built, where twenty camera pictures would freeze the program.
    void LoadPictureLater(const std::string& file);
    // Window property present while the item waits for its picture (tests and the benchmark
    // watch it from outside).
    static const char kPendingProperty[];
    // The "Open" command: the dialog, then OpenPath with the (first) chosen file.
    void OpenFile();
    // Loads `file` and, when it has a size, resizes the window so its longer side is 360 pixels
    // with the top-left corner kept, then renders. A file without a size leaves the item as it
    // was, path included.
    void OpenPath(const std::string& file);

    // The picture's full size; 0 by 0 before LoadPicture and for files that did not decode.
    uint32_t PictureWidth() const { return picture.width; }
    uint32_t PictureHeight() const { return picture.height; }
    // True once LoadPicture has run, whatever the file held.
    bool HasPicture() const { return loaded; }
    // True while the picture is still being read for this item.
    bool PicturePending() const { return pending; }
    // True while the frame is drawn turned to portrait.
    bool FrameRotated() const { return frameRotated; }

    uint32_t ItemType() const override { return kItemPicture; }
    void WriteRecord(const RecordView& record) const override;
    bool FullText(std::string* out) const override {
        *out = path;
        return !path.empty();
    }

    // Full path of the picture file, at most 259 characters; stored with the desk.
    std::string path;
    // Hit-test code of the resize zone the pointer was last over; steers the aspect lock.
    int32_t lastHitZone = 0;

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void DrawContent(Gdiplus::Graphics& g, int w, int h) override;
    void LoadSkins() override;
    void OnEditCommand() override { OpenFile(); }
    bool IsResizable() const override { return true; }
    SIZE MinimumSize() const override { return SIZE{kMinSize, kMinSize}; }
    void OnResizeZone(int32_t code) override { lastHitZone = code; }
    void OnSized() override;

private:
    // What reading a file gives, before the item takes it as its picture.
    struct Reading {
        std::string path;
        bool keyValid = false;
        PictureKey key;
        PictureCopy picture;
        GdipPtr<Gdiplus::Image> decoded;
    };
    static Reading Read(const std::string& file);
    void Take(Reading&& r);
    // A copy of the picture that can fill cx by cy, read from the file again when needed.
    Gdiplus::Bitmap* CopyFor(int cx, int cy);
    void OrientFrame();
    // Asks the loader for the picture at the area's size, once.
    void RequestPicture(int cx, int cy);
    // Drops a request still open, and the pending mark with it.
    void ForgetRequest();
    void OnPictureReady(uint32_t id);
    void OnPictureSize(uint32_t id, uint32_t w, uint32_t h);

    bool loaded = false;
    bool frameRotated = false;
    bool keyValid = false;
    // Waiting for the loader; `request` is its id once asked (0 before).
    bool pending = false;
    uint32_t request = 0;
    PictureKey key;
    PictureCopy picture;
    // The freshly decoded file, kept only until the first render has made its copy.
    GdipPtr<Gdiplus::Image> decoded;
};

}  // namespace sona
