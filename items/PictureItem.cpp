#include "items/PictureItem.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <list>
#include <memory>
#include <vector>

#include "items/MediaFileTypes.h"
#include "items/ThumbStore.h"
#include "platform/CommonDialogs.h"
#include "platform/FileNames.h"
#include "platform/Text.h"
#include "res/resource.h"
#include "store/Resources.h"

namespace sona {

PictureItem::FileChooser PictureItem::chooseFiles = RunOpenFileDialog;
const char PictureItem::kPendingProperty[] = "SonadeskPicturePending";

namespace {

// The frame skin in its stored (landscape) orientation and turned for portrait pictures. Every
// picture window draws the same two images, so a desk of twenty pictures decodes the skin once,
// not twenty times. They live as long as the process (GDI+ may already be shut down when static
// destructors run, so they are never deleted).
Gdiplus::Image* FrameImage(bool portrait) {
    static Gdiplus::Image* landscape = nullptr;
    static Gdiplus::Image* turned = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        landscape = LoadPng(IDP_PICTURE_FRAME).release();
        if (landscape) {
            turned = landscape->Clone();
            if (turned) turned->RotateFlip(Gdiplus::Rotate90FlipX);
        }
    }
    return portrait ? turned : landscape;
}

// The frame already scaled to a window size. Scaling the 800 by 600 skin is most of a render's
// cost, and a desk shown again asks for the very sizes it asked for before, so the scaled frames
// are kept, most recently used first, up to 16 MB of pixels.
class ScaledFrames {
public:
    Gdiplus::Bitmap* Get(bool portrait, int w, int h) {
        for (auto it = frames.begin(); it != frames.end(); ++it)
            if (it->portrait == portrait && it->w == w && it->h == h) {
                frames.splice(frames.begin(), frames, it);
                return frames.front().bitmap.get();
            }
        Gdiplus::Image* skin = FrameImage(portrait);
        if (!skin || w <= 0 || h <= 0) return nullptr;
        auto bitmap = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppPARGB);
        {
            // The same scaling (GDI+'s default) as drawing the skin straight onto the window.
            Gdiplus::Graphics g(bitmap.get());
            g.DrawImage(skin, Gdiplus::Rect(0, 0, w, h));
        }
        size_t bytes = (size_t)w * h * 4;
        frames.push_front(Entry{portrait, w, h, bytes, std::move(bitmap)});
        used += bytes;
        while (used > kBudget && frames.size() > 1) {
            used -= frames.back().bytes;
            frames.pop_back();
        }
        return frames.front().bitmap.get();
    }

private:
    static constexpr size_t kBudget = 16u << 20;
    struct Entry {
        bool portrait;
        int w, h;
        size_t bytes;
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
    };
    std::list<Entry> frames;
    size_t used = 0;
};

// Never destroyed, for the same reason as the skin images above.
ScaledFrames& Frames() {
    static ScaledFrames* frames = new ScaledFrames;
    return *frames;
}

}  // namespace

// A request still open is cancelled, so its result never reaches a window that is gone.
PictureItem::~PictureItem() { ForgetRequest(); }

// Longer side 360, the other in proportion, with the unsigned arithmetic of the stored sizes.
SIZE PictureItem::OpenedSize(uint32_t w, uint32_t h) {
    if (w == 0 || h == 0) return SIZE{0, 0};
    if (w > h) return SIZE{(LONG)kOpenSide, (LONG)(h * kOpenSide / w)};
    return SIZE{(LONG)(w * kOpenSide / h), (LONG)kOpenSide};
}

bool PictureItem::SizeFromFile(const std::string& file, uint32_t* w, uint32_t* h) {
    HANDLE f = OpenFileHandle(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (f == INVALID_HANDLE_VALUE) return false;
    // Cameras put their EXIF block, thumbnail included, before the frame header: 64 KB at most.
    std::vector<uint8_t> head(72 * 1024);
    DWORD got = 0;
    BOOL ok = ReadFile(f, head.data(), (DWORD)head.size(), &got, nullptr);
    CloseHandle(f);
    return ok && PictureSizeFromHeader(head.data(), got, w, h) && *w && *h;
}

// Reads the file's size from the cache when it can; otherwise decodes it now (through GDI+, so
// JPEG, BMP, PNG, GIF, TIFF, ICO, WMF and EMF all work) and keeps the decoded image until the
// first render has made its display copy.
PictureItem::Reading PictureItem::Read(const std::string& file) {
    Reading r;
    r.path = file;
    r.keyValid = PictureCache::KeyForFile(r.path, &r.key);
    if (r.keyValid && PictureCache::Shared().Find(r.key, &r.picture)) return r;
    std::wstring wide = WideFilePath(r.path);
    r.decoded.reset(new Gdiplus::Image(wide.c_str(), FALSE));
    if (r.decoded->GetLastStatus() == Gdiplus::Ok) {
        r.picture.width = r.decoded->GetWidth();
        r.picture.height = r.decoded->GetHeight();
    }
    if (r.picture.width == 0 || r.picture.height == 0) {
        r.picture = PictureCopy{};
        r.decoded.reset();
        // Remember the failure too, so a desk holding a broken file does not try it every time.
        if (r.keyValid) PictureCache::Shared().Store(r.key, r.picture);
    }
    return r;
}

void PictureItem::Take(Reading&& r) {
    ForgetRequest();
    path = std::move(r.path);
    loaded = true;
    keyValid = r.keyValid;
    key = std::move(r.key);
    picture = std::move(r.picture);
    decoded = std::move(r.decoded);
}

void PictureItem::LoadPicture(const std::string& file) { Take(Read(file)); }

// Only the file's size and time are read here (one status query); a picture seen before in this
// run comes from the memory cache, any other is asked for when the window first draws, at the
// size it draws it.
void PictureItem::LoadPictureLater(const std::string& file) {
    ForgetRequest();
    path = file;
    loaded = true;
    decoded.reset();
    picture = PictureCopy{};
    keyValid = PictureCache::KeyForFile(path, &key);
    // A missing file has nothing to read: its grey panel shows at once.
    if (!keyValid) return;
    if (PictureCache::Shared().Find(key, &picture)) return;
    pending = true;
}

void PictureItem::RequestPicture(int cx, int cy) {
    if (!pending || request || !hwnd) return;
    request = PictureLoader::Shared().Request(hwnd, WM_PICTURE_READY, key, cx, cy);
    SetPropA(hwnd, kPendingProperty, (HANDLE)1);
}

void PictureItem::ForgetRequest() {
    if (request) PictureLoader::Shared().Cancel(request);
    request = 0;
    pending = false;
    if (hwnd) RemovePropA(hwnd, kPendingProperty);
}

// The size ahead of the picture: enough to turn the frame for a portrait picture now, not when
// the picture arrives.
void PictureItem::OnPictureSize(uint32_t id, uint32_t w, uint32_t h) {
    if (!pending || id != request || w == 0 || h == 0) return;
    picture.width = w;
    picture.height = h;
    if ((w < h && !frameRotated) || (w > h && frameRotated)) Render();
}

// The loader's answer: the picture's size and its display copy (or no size when the file did
// not decode, which then draws as such a file always has).
void PictureItem::OnPictureReady(uint32_t id) {
    LoadedPicture result;
    // A message for an older request (the item took another file since) finds nothing to take.
    if (!pending || id != request || !PictureLoader::Shared().Take(id, &result)) return;
    request = 0;
    pending = false;
    RemovePropA(hwnd, kPendingProperty);
    const ThumbImage& im = result.image;
    picture = PictureCopy{};
    picture.width = im.pictureWidth;
    picture.height = im.pictureHeight;
    if (im.copyWidth && im.copyHeight && im.pixels.size() == (size_t)im.copyWidth * im.copyHeight) {
        auto copy = std::make_shared<Gdiplus::Bitmap>((INT)im.copyWidth, (INT)im.copyHeight, PixelFormat32bppPARGB);
        Gdiplus::BitmapData d{};
        Gdiplus::Rect r(0, 0, (INT)im.copyWidth, (INT)im.copyHeight);
        if (copy->GetLastStatus() == Gdiplus::Ok &&
            copy->LockBits(&r, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &d) == Gdiplus::Ok) {
            for (uint32_t y = 0; y < im.copyHeight; y++)
                std::memcpy((uint8_t*)d.Scan0 + (ptrdiff_t)y * d.Stride, &im.pixels[(size_t)y * im.copyWidth],
                            (size_t)im.copyWidth * 4);
            copy->UnlockBits(&d);
            picture.pixels = copy;
        }
    }
    if (picture.width == 0 || picture.height == 0) picture = PictureCopy{};
    if (keyValid && (picture.pixels || picture.width == 0)) PictureCache::Shared().Store(key, picture);
    Render();
}

// The dialog runs owned by the main window, which it disables; this window is disabled too, so
// nothing can remove the item while its own dialog is open.
void PictureItem::OpenFile() {
    if (hwnd) EnableWindow(hwnd, FALSE);
    std::vector<std::string> chosen = chooseFiles(Owner() ? Owner() : hwnd, OpenDialogFilter(kItemPicture), kOpenDialogFlags);
    if (hwnd) EnableWindow(hwnd, TRUE);
    // Several files can be chosen (the dialog allows it); one picture shows one file.
    if (!chosen.empty()) OpenPath(chosen.front());
}

// A file that does not decode changes nothing: the item keeps showing, and the desk keeps
// saving, the picture it had. Taking the broken path would lose that picture at the next start.
void PictureItem::OpenPath(const std::string& file) {
    Reading r = Read(file);
    if (r.picture.height == 0 || r.picture.width == 0) return;
    Take(std::move(r));
    if (!hwnd) return;
    RECT wr = WindowRect();
    SIZE s = OpenedSize(picture.width, picture.height);
    MoveWindow(hwnd, wr.left, wr.top, s.cx, s.cy, TRUE);
    Render();
}

void PictureItem::WriteRecord(const RecordView& record) const {
    PictureItemRecord* rec = record.picture();
    if (!rec) return;
    // A name that cannot mislead; the main window keeps the full path beside it.
    bool exact = false;
    std::string field = AnsiPathField(path, &exact);
    SetPathField(rec->path, field.c_str(), field.size());
}

void PictureItem::LoadSkins() { FrameImage(false); }

void PictureItem::PrepareSkins() { FrameImage(false); }

// Gives the copy to draw into cx by cy. A copy too small for the area (the item grew) means
// reading the file again; it is then made for the whole screen so that a drag to a larger size
// reads the file once, not at every step.
Gdiplus::Bitmap* PictureItem::CopyFor(int cx, int cy) {
    if (picture.width == 0 || picture.height == 0) return nullptr;
    if (picture.Covers(cx, cy)) return picture.pixels.get();
    bool firstCopy = decoded != nullptr;
    if (!decoded) {
        std::wstring wide = WideFilePath(path);
        decoded.reset(new Gdiplus::Image(wide.c_str(), FALSE));
        if (decoded->GetLastStatus() != Gdiplus::Ok || decoded->GetWidth() == 0 || decoded->GetHeight() == 0) {
            decoded.reset();
            return picture.pixels.get();
        }
    }
    int wantX = cx, wantY = cy;
    if (!firstCopy) {
        wantX = std::max(cx, GetSystemMetrics(SM_CXSCREEN));
        wantY = std::max(cy, GetSystemMetrics(SM_CYSCREEN));
    }
    std::shared_ptr<Gdiplus::Bitmap> copy = PictureCache::MakeCopy(*decoded, wantX, wantY);
    // The whole decoded file is tens of megabytes for a camera picture: keep only the copy.
    decoded.reset();
    if (!copy) return picture.pixels.get();
    picture.pixels = copy;
    if (keyValid) PictureCache::Shared().Store(key, picture);
    return picture.pixels.get();
}

// Portrait pictures get the frame turned a quarter; a landscape picture turns it back; a
// square one leaves it as it is.
void PictureItem::OrientFrame() {
    uint32_t w = picture.width, h = picture.height;
    if (w < h && !frameRotated)
        frameRotated = true;
    else if (w > h && frameRotated)
        frameRotated = false;
}

// The picture in its area, or a grey panel when its file is gone, then the frame over it all.
void PictureItem::DrawContent(Gdiplus::Graphics& g, int w, int h) {
    Gdiplus::Rect area(w / 30, h / 30, w - w / 15, h - h / 15);
    if (FileStatusOk(path)) {
        // Still on its way: the frame shows alone until the picture arrives.
        if (pending) RequestPicture(area.Width, area.Height);
        else if (Gdiplus::Bitmap* copy = CopyFor(area.Width, area.Height)) g.DrawImage(copy, area);
    } else {
        Gdiplus::SolidBrush grey(Gdiplus::Color(100, 100, 100, 100));
        g.FillRectangle(&grey, area);
    }
    if (loaded) OrientFrame();
    if (Gdiplus::Bitmap* frame = Frames().Get(frameRotated, w, h)) g.DrawImage(frame, 0, 0, w, h);
}

// Keeps the picture's proportions while the user drags an edge: a side edge drives the height
// from the width, the top, bottom or a corner drives the width from the height. Each correction
// comes back here as a new WM_SIZE; the last one renders.
void PictureItem::OnSized() {
    // Without its picture yet there are no proportions to keep; the frame follows the size.
    if (pending) {
        if (InCreate()) {
            // The window's first size: the picture is asked for now, while the rest of the desk
            // is still being built, not when this window first draws.
            RECT rc = ClientRect();
            int w = rc.right - rc.left, h = rc.bottom - rc.top;
            if (w > 0 && h > 0) RequestPicture(w - w / 15, h - h / 15);
        } else {
            Render();
        }
        return;
    }
    uint32_t pw = picture.width, ph = picture.height;
    if (!loaded || pw == 0 || ph == 0) return;
    RECT r = WindowRect();
    uint32_t ww = (uint32_t)(r.right - r.left), wh = (uint32_t)(r.bottom - r.top);
    uint32_t tw = ww, th = wh;
    if (IsSideZone(lastHitZone))
        th = ww * ph / pw;
    else if (IsVerticalOrCornerZone(lastHitZone))
        tw = wh * pw / ph;
    // The proportional size can fall below the smallest size the drag allows (a wide picture at
    // 100 pixels wide); then the short side is held at the minimum and the long side follows.
    if (tw != ww || th != wh) {
        if (th < (uint32_t)kMinSize) {
            th = kMinSize;
            tw = th * pw / ph;
        }
        if (tw < (uint32_t)kMinSize) {
            tw = kMinSize;
            th = tw * ph / pw;
        }
    }
    if (tw != ww || th != wh) {
        SetWindowPos(hwnd, nullptr, r.left, r.top, (int)tw, (int)th, SWP_NOZORDER | SWP_NOREDRAW);
        return;
    }
    // The window's first WM_SIZE comes from its creation, which renders once itself right after.
    if (InCreate()) return;
    Render();
}

LRESULT PictureItem::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PICTURE_READY) {
        OnPictureReady((uint32_t)wp);
        return 0;
    }
    if (msg == WM_PICTURE_SIZE) {
        OnPictureSize((uint32_t)wp, LOWORD(lp), HIWORD(lp));
        return 0;
    }
    if (msg == WM_LBUTTONDBLCLK) {
        OpenFile();
        return Default();
    }
    return LayeredItemWindow::WndProc(msg, wp, lp);
}

}  // namespace sona
