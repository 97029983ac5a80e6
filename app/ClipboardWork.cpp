#include "app/ClipboardWork.h"

#include <objbase.h>
#include <shellapi.h>

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>

#include "app/PasteNames.h"
#include "items/ThumbStore.h"
#include "platform/CommonDialogs.h"
#include "platform/FileNames.h"
#include "platform/Gdi.h"
#include "platform/Text.h"

namespace sona {

namespace {

std::mutex workLock;
std::condition_variable workDone;
int workers = 0;

// Ends a worker's count for WaitClipboardWork (StartWorker began it) as the worker returns.
struct WorkerCount {
    ~WorkerCount() {
        std::lock_guard<std::mutex> l(workLock);
        workers--;
        workDone.notify_all();
    }
};

std::vector<uint8_t> GetBytes(UINT format) {
    std::vector<uint8_t> out;
    HANDLE h = GetClipboardData(format);
    if (!h) return out;
    size_t size = GlobalSize(h);
    const void* p = GlobalLock(h);
    if (p && size) out.assign((const uint8_t*)p, (const uint8_t*)p + size);
    if (p) GlobalUnlock(h);
    return out;
}

// Offset of the pixels in a packed DIB: header, bit masks, colour table.
size_t DibPixelOffset(const BITMAPINFOHEADER& h) {
    size_t offset = h.biSize;
    if (h.biSize == sizeof(BITMAPINFOHEADER) && (h.biCompression == BI_BITFIELDS || h.biCompression == 6 /*BI_ALPHABITFIELDS*/))
        offset += h.biCompression == BI_BITFIELDS ? 12 : 16;
    size_t colours = h.biClrUsed ? h.biClrUsed : (h.biBitCount <= 8 ? (size_t)1 << h.biBitCount : 0);
    return offset + colours * 4;
}

// The PNG encoder of GDI+.
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    HANDLE f = OpenFileHandle(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, bytes.data(), (DWORD)bytes.size(), &written, nullptr) && written == bytes.size();
    CloseHandle(f);
    if (!ok) RemoveFile(path);
    return ok != FALSE;
}

// A new file name in the pasted pictures' folder for a picture pasted now; empty when the folder
// cannot be made.
std::string NewPastedPath(const std::string& folder) {
    MakeFolder(folder);
    DWORD attributes = FileAttributesOf(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return "";
    SYSTEMTIME t;
    GetLocalTime(&t);
    PasteTime when{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
    for (int attempt = 1; attempt < 1000; attempt++) {
        std::string path = folder + PastedPictureName(when, attempt);
        if (!PathExists(path)) return path;
    }
    return "";
}

// `picture` drawn at kept size w by h (a smooth reduction), or null when GDI+ cannot.
std::unique_ptr<Gdiplus::Bitmap> ReducedCopy(Gdiplus::Image& picture, uint32_t w, uint32_t h) {
    auto out = std::make_unique<Gdiplus::Bitmap>((INT)w, (INT)h, PixelFormat32bppARGB);
    if (out->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Graphics g(out.get());
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    if (g.DrawImage(&picture, Gdiplus::Rect(0, 0, (INT)w, (INT)h)) != Gdiplus::Ok) return nullptr;
    return out;
}

// A GDI+ bitmap over a copy of `bytes` (an encoded picture); the stream lives as long as it.
struct StreamPicture {
    IStream* stream = nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    explicit StreamPicture(const std::vector<uint8_t>& bytes) {
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        if (!mem) return;
        if (void* p = GlobalLock(mem)) {
            std::memcpy(p, bytes.data(), bytes.size());
            GlobalUnlock(mem);
        }
        if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream))) {
            GlobalFree(mem);
            stream = nullptr;
            return;
        }
        bitmap.reset(Gdiplus::Bitmap::FromStream(stream));
    }
    ~StreamPicture() {
        bitmap.reset();
        if (stream) stream->Release();
    }
};

// Writes the pasted picture as a PNG: PNG bytes as they came when the picture is of a sane size,
// else decoded here and reduced; a DIB through GDI+.
void KeepPastedPicture(const std::string& folder, const std::vector<uint8_t>& png, const std::vector<uint8_t>& dib,
                       PasteResult* out) {
    out->pictureFailed = true;
    std::string path = NewPastedPath(folder);
    if (path.empty()) return;
    Gdiplus::Image* picture = nullptr;
    std::unique_ptr<StreamPicture> fromPng;
    std::unique_ptr<Gdiplus::Bitmap> fromDib;
    uint32_t w = 0, h = 0;
    if (!png.empty()) {
        if (!PictureSizeFromHeader(png.data(), png.size(), &w, &h) || !w || !h) return;
        out->pictureWidth = w;
        out->pictureHeight = h;
        KeptPictureSize(w, h, kPastedSideLimit, &out->keptWidth, &out->keptHeight);
        if (out->keptWidth == w && out->keptHeight == h) {
            if (!WriteFileBytes(path, png)) return;
            out->picturePath = path;
            out->pictureFailed = false;
            return;
        }
        fromPng = std::make_unique<StreamPicture>(png);
        picture = fromPng->bitmap.get();
    } else {
        if (dib.size() < sizeof(BITMAPINFOHEADER)) return;
        BITMAPINFOHEADER header;
        std::memcpy(&header, dib.data(), sizeof header);
        size_t offset = DibPixelOffset(header);
        if (header.biSize < sizeof header || offset >= dib.size()) return;
        fromDib.reset(Gdiplus::Bitmap::FromBITMAPINFO((const BITMAPINFO*)dib.data(), (void*)(dib.data() + offset)));
        picture = fromDib.get();
    }
    if (!picture || picture->GetLastStatus() != Gdiplus::Ok) return;
    w = picture->GetWidth();
    h = picture->GetHeight();
    if (!w || !h) return;
    out->pictureWidth = w;
    out->pictureHeight = h;
    KeptPictureSize(w, h, kPastedSideLimit, &out->keptWidth, &out->keptHeight);
    std::unique_ptr<Gdiplus::Bitmap> reduced;
    if (out->keptWidth != w || out->keptHeight != h) {
        reduced = ReducedCopy(*picture, out->keptWidth, out->keptHeight);
        if (!reduced) return;
        picture = reduced.get();
    }
    std::wstring wide = WideFilePath(path);
    if (picture->Save(wide.c_str(), &kPngEncoder, nullptr) != Gdiplus::Ok) {
        RemoveFile(path);
        return;
    }
    out->picturePath = path;
    out->pictureFailed = false;
}

struct PasteJob {
    HWND target;
    UINT message;
    std::string folder;
};

DWORD WINAPI PasteMain(void* param) {
    std::unique_ptr<PasteJob> job((PasteJob*)param);
    WorkerCount counted;
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto result = std::make_unique<PasteResult>();
    std::vector<uint8_t> png, dib;
    if (OpenClipboardPatiently(nullptr, 25)) {
        UINT pngFormat = RegisterClipboardFormatA("PNG");
        bool any = false;
        if (IsClipboardFormatAvailable(CF_HDROP)) {
            result->files = DroppedFilePaths((HDROP)GetClipboardData(CF_HDROP));
            any = !result->files.empty();
        }
        if (!any && pngFormat && IsClipboardFormatAvailable(pngFormat)) {
            png = GetBytes(pngFormat);
            if (!LooksLikePng(png.data(), png.size())) png.clear();
            any = !png.empty();
        }
        if (!any && IsClipboardFormatAvailable(CF_DIB)) {
            dib = GetBytes(CF_DIB);
            any = !dib.empty();
        }
        if (!any && IsClipboardFormatAvailable(CF_UNICODETEXT)) {
            std::vector<uint8_t> wide = GetBytes(CF_UNICODETEXT);
            size_t chars = wide.size() / sizeof(wchar_t);
            std::wstring text((const wchar_t*)wide.data(), chars);
            text.resize(wcsnlen(text.c_str(), chars));
            result->text = WideToUtf8(text);
            any = !result->text.empty();
        }
        if (!any && IsClipboardFormatAvailable(CF_TEXT)) {
            std::vector<uint8_t> bytes = GetBytes(CF_TEXT);
            result->text = AnsiToUtf8(std::string((const char*)bytes.data(), strnlen((const char*)bytes.data(), bytes.size())));
        }
        CloseClipboard();
    }
    if (!png.empty() || !dib.empty()) KeepPastedPicture(job->folder, png, dib, result.get());
    if (PostMessageW(job->target, job->message, 0, (LPARAM)result.get())) result.release();
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

struct CopyJob {
    HWND target;
    UINT message;
    std::string path;
    DWORD sequence;
};

DWORD WINAPI CopyMain(void* param) {
    std::unique_ptr<CopyJob> job((CopyJob*)param);
    WorkerCount counted;
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto result = std::make_unique<CopiedPicture>();
    result->sequence = job->sequence;
    result->dib = PictureFileAsDib(job->path, kPastedSideLimit);
    if (!result->dib.empty() && PostMessageW(job->target, job->message, 0, (LPARAM)result.get())) result.release();
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

template <typename Job>
bool StartWorker(LPTHREAD_START_ROUTINE main, Job* job) {
    {
        std::lock_guard<std::mutex> l(workLock);
        workers++;
    }
    HANDLE t = CreateThread(nullptr, 0, main, job, 0, nullptr);
    if (!t) {
        delete job;
        WorkerCount ended;
        return false;
    }
    CloseHandle(t);
    return true;
}

}  // namespace

std::vector<uint8_t> PictureFileAsDib(const std::string& path, uint32_t limit) {
    std::vector<uint8_t> out;
    std::wstring wpath = WideFilePath(path);
    Gdiplus::Bitmap picture(wpath.c_str());
    if (picture.GetLastStatus() != Gdiplus::Ok) return out;
    uint32_t pw = picture.GetWidth(), ph = picture.GetHeight(), w, h;
    if (pw == 0 || ph == 0) return out;
    KeptPictureSize(pw, ph, limit, &w, &h);
    std::unique_ptr<Gdiplus::Bitmap> reduced;
    Gdiplus::Bitmap* source = &picture;
    if (w != pw || h != ph) {
        reduced = ReducedCopy(picture, w, h);
        if (!reduced) return out;
        source = reduced.get();
    }
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, (INT)w, (INT)h);
    if (source->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return out;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = (LONG)w;
    header.biHeight = (LONG)h;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = w * h * 4;
    out.resize(sizeof header + (size_t)w * h * 4);
    std::memcpy(out.data(), &header, sizeof header);
    uint8_t* rows = out.data() + sizeof header;
    for (UINT y = 0; y < h; y++)
        std::memcpy(rows + (size_t)(h - 1 - y) * w * 4, (const uint8_t*)data.Scan0 + (size_t)y * data.Stride, (size_t)w * 4);
    source->UnlockBits(&data);
    return out;
}

bool StartPaste(HWND target, UINT message, const std::string& pastedFolder) {
    return StartWorker(PasteMain, new PasteJob{target, message, pastedFolder});
}

bool StartPictureCopy(HWND target, UINT message, const std::string& path, DWORD sequence) {
    return StartWorker(CopyMain, new CopyJob{target, message, path, sequence});
}

bool OpenClipboardPatiently(HWND owner, int tries) {
    for (int i = 0; i < tries; i++) {
        if (OpenClipboard(owner)) return true;
        Sleep(20);
    }
    return false;
}

bool WaitClipboardWork(DWORD ms) {
    std::unique_lock<std::mutex> l(workLock);
    return workDone.wait_for(l, std::chrono::milliseconds(ms), [] { return workers == 0; });
}

}  // namespace sona
