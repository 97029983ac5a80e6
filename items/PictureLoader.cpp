#include "items/PictureLoader.h"

#include <objbase.h>

#include <algorithm>

#include "items/JpegEighth.h"
#include "platform/Gdi.h"
#include "platform/FileNames.h"
#include "platform/Text.h"
#include "store/Resources.h"

namespace sona {

namespace {

uint64_t NowStamp() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (uint64_t)ft.dwHighDateTime << 32 | ft.dwLowDateTime;
}

// Pixels of a premultiplied 32-bit GDI+ bitmap, top-down.
bool ReadPixels(Gdiplus::Bitmap& bmp, uint32_t w, uint32_t h, std::vector<uint32_t>* out) {
    Gdiplus::BitmapData d{};
    Gdiplus::Rect r(0, 0, (INT)w, (INT)h);
    if (bmp.LockBits(&r, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &d) != Gdiplus::Ok) return false;
    out->resize((size_t)w * h);
    for (uint32_t y = 0; y < h; y++)
        std::copy_n((const uint32_t*)((const uint8_t*)d.Scan0 + (ptrdiff_t)y * d.Stride), w, out->data() + (size_t)y * w);
    bmp.UnlockBits(&d);
    return true;
}

}  // namespace

PictureLoader& PictureLoader::Shared() {
    // Never destroyed: workers may still hold it while static destructors run.
    static PictureLoader* loader = new PictureLoader;
    return *loader;
}

// One worker per core, at least two (the decoder also waits on the disk), at most four (each
// holds a whole decoded camera picture, tens of megabytes of a 32-bit address space).
PictureLoader::PictureLoader() {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    workerLimit = std::min(4, std::max(2, (int)si.dwNumberOfProcessors));
}

uint32_t PictureLoader::Request(HWND target, UINT message, const PictureKey& key, int cx, int cy) {
    std::lock_guard<std::mutex> l(lock);
    uint32_t id = nextId++;
    if (nextId == 0) nextId = 1;
    queue.push_back(Job{id, target, message, key, cx, cy});
    if (workers < workerLimit && (size_t)workers < queue.size() + running.size()) {
        workers++;
        HANDLE t = CreateThread(nullptr, 0, WorkerMain, this, 0, nullptr);
        if (t)
            CloseHandle(t);
        else
            workers--;
    }
    return id;
}

void PictureLoader::Cancel(uint32_t id) {
    if (!id) return;
    std::lock_guard<std::mutex> l(lock);
    for (auto it = queue.begin(); it != queue.end(); ++it)
        if (it->id == id) {
            queue.erase(it);
            if (queue.empty() && running.empty()) idle.notify_all();
            return;
        }
    if (running.count(id)) cancelled.insert(id);
    results.erase(id);
}

bool PictureLoader::Take(uint32_t id, LoadedPicture* out) {
    std::lock_guard<std::mutex> l(lock);
    auto it = results.find(id);
    if (it == results.end()) return false;
    *out = std::move(it->second);
    results.erase(it);
    return true;
}

bool PictureLoader::Shutdown(DWORD ms) {
    std::unique_lock<std::mutex> l(lock);
    queue.clear();
    for (uint32_t id : running) cancelled.insert(id);
    bool done = idle.wait_for(l, std::chrono::milliseconds(ms), [this] { return workers == 0; });
    results.clear();
    return done;
}

bool PictureLoader::WaitIdle(DWORD ms) {
    std::unique_lock<std::mutex> l(lock);
    return idle.wait_for(l, std::chrono::milliseconds(ms), [this] { return workers == 0 && queue.empty(); });
}

int PictureLoader::RunningWorkers() {
    std::lock_guard<std::mutex> l(lock);
    return workers;
}

size_t PictureLoader::QueuedRequests() {
    std::lock_guard<std::mutex> l(lock);
    return queue.size();
}

size_t PictureLoader::UnclaimedResults() {
    std::lock_guard<std::mutex> l(lock);
    return results.size();
}

void PictureLoader::SetThumbFolder(const std::string& folder) {
    std::lock_guard<std::mutex> l(lock);
    thumbFolder = folder;
    if (!thumbFolder.empty() && thumbFolder.back() != '\\') thumbFolder += '\\';
    folderSet = true;
}

std::string PictureLoader::ThumbFolder() {
    std::lock_guard<std::mutex> l(lock);
    if (!folderSet) {
        thumbFolder = GetDataFolder() + "Thumbs\\";
        folderSet = true;
    }
    return thumbFolder;
}

bool PictureLoader::TrimThumbs(uint64_t keepBytes) {
    std::string folder = ThumbFolder();
    if (folder.empty()) return false;
    std::lock_guard<std::mutex> l(indexLock);
    EnsureIndex(folder);
    std::vector<std::string> gone = index->EvictTo(keepBytes);
    for (auto& name : gone) RemoveFile(folder + name);
    return !gone.empty();
}

uint64_t PictureLoader::ThumbBytes() {
    std::string folder = ThumbFolder();
    if (folder.empty()) return 0;
    std::lock_guard<std::mutex> l(indexLock);
    EnsureIndex(folder);
    return index->Bytes();
}

void PictureLoader::SetThumbBudget(uint64_t bytes) {
    std::lock_guard<std::mutex> l(indexLock);
    thumbBudget = bytes;
    index.reset();
}

uint64_t PictureLoader::DiskHits() {
    std::lock_guard<std::mutex> l(lock);
    return diskHits;
}

uint64_t PictureLoader::EighthReads() {
    std::lock_guard<std::mutex> l(lock);
    return eighthReads;
}

uint64_t PictureLoader::Decodes() {
    std::lock_guard<std::mutex> l(lock);
    return decodes;
}

DWORD WINAPI PictureLoader::WorkerMain(void* self) {
    // Some GDI+ decoders go through COM; this thread's own apartment keeps them off the UI's.
    HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ((PictureLoader*)self)->Work();
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

void PictureLoader::Work() {
    std::unique_lock<std::mutex> l(lock);
    while (!queue.empty()) {
        Job job = queue.front();
        queue.pop_front();
        running.insert(job.id);
        l.unlock();
        LoadedPicture result = Load(job);
        l.lock();
        running.erase(job.id);
        if (cancelled.erase(job.id)) continue;
        results[job.id] = std::move(result);
        // A window that is gone takes no message; its result must not linger.
        if (!PostMessageA(job.target, job.message, (WPARAM)job.id, 0)) results.erase(job.id);
    }
    workers--;
    idle.notify_all();
}

LoadedPicture PictureLoader::Load(const Job& job) {
    LoadedPicture out;
    ThumbKey tk(job.key, (uint32_t)std::max(0, job.cx), (uint32_t)std::max(0, job.cy));
    std::string folder = ThumbFolder();
    if (!folder.empty() && ReadThumb(folder, tk, &out.image)) {
        out.fromDisk = true;
        std::lock_guard<std::mutex> l(lock);
        diskHits++;
        return out;
    }
    {
        // Switched away before this one started: the decode is not worth its second.
        std::lock_guard<std::mutex> l(lock);
        if (cancelled.count(job.id)) return out;
        decodes++;
    }
    TellSize(job);
    uint32_t pw = 0, ph = 0, cw = 0, ch = 0;
    if (LoadEighth(job, &out.image)) {
        {
            std::lock_guard<std::mutex> l(lock);
            eighthReads++;
        }
        if (!folder.empty()) WriteThumb(folder, tk, out.image);
        return out;
    }
    std::wstring wide = WideFilePath(job.key.path);
    {
        Gdiplus::Image full(wide.c_str(), FALSE);
        if (full.GetLastStatus() != Gdiplus::Ok) return out;
        pw = full.GetWidth();
        ph = full.GetHeight();
        if (pw == 0 || ph == 0) return out;
        auto size = DisplayCopySize(pw, ph, job.cx, job.cy);
        cw = size.first;
        ch = size.second;
        out.image.pictureWidth = pw;
        out.image.pictureHeight = ph;
        std::shared_ptr<Gdiplus::Bitmap> copy = PictureCache::MakeCopy(full, job.cx, job.cy);
        if (!copy || !ReadPixels(*copy, cw, ch, &out.image.pixels)) {
            // The size is known even when no copy could be made; the item draws nothing then.
            out.image.pixels.clear();
            return out;
        }
    }
    out.image.copyWidth = cw;
    out.image.copyHeight = ch;
    if (!folder.empty()) WriteThumb(folder, tk, out.image);
    return out;
}

// A JPEG whose 8x8 block averages still cover the display copy is read at one eighth of its size
// (a small part of a full decode's time); the copy is then made from those pixels as from a
// block-reduced full decode. False when the file is not such a JPEG or the copy needs more pixels.
bool PictureLoader::LoadEighth(const Job& job, ThumbImage* image) {
    HANDLE h = OpenFileHandle(job.key.path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    std::vector<uint8_t> bytes;
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart > 4 && size.QuadPart < (256 << 20);
    uint8_t magic[2] = {};
    DWORD got = 0;
    ok = ok && ReadFile(h, magic, 2, &got, nullptr) && got == 2 && magic[0] == 0xFF && magic[1] == 0xD8;
    if (ok) {
        bytes.resize((size_t)size.QuadPart);
        bytes[0] = magic[0];
        bytes[1] = magic[1];
        ok = ReadFile(h, bytes.data() + 2, (DWORD)bytes.size() - 2, &got, nullptr) && got == bytes.size() - 2;
    }
    CloseHandle(h);
    uint32_t fw = 0, fh = 0;
    if (!ok || !PictureSizeFromHeader(bytes.data(), bytes.size(), &fw, &fh)) return false;
    auto copySize = DisplayCopySize(fw, fh, job.cx, job.cy);
    if ((fw + 7) / 8 < copySize.first || (fh + 7) / 8 < copySize.second) return false;
    JpegEighth eighth;
    if (!DecodeJpegEighth(bytes.data(), bytes.size(), &eighth) || eighth.width != fw || eighth.height != fh)
        return false;
    std::vector<uint8_t>().swap(bytes);
    std::shared_ptr<Gdiplus::Bitmap> copy = PictureCache::MakeCopyFromReduced(
        eighth.pixels.data(), eighth.eighthWidth, eighth.eighthHeight, fw, fh, job.cx, job.cy);
    if (!copy || !ReadPixels(*copy, copySize.first, copySize.second, &image->pixels)) return false;
    image->pictureWidth = fw;
    image->pictureHeight = fh;
    image->copyWidth = copySize.first;
    image->copyHeight = copySize.second;
    return true;
}

// The picture's size from the file's header, to the item ahead of the decode, so that its frame
// turns for a portrait picture at once.
void PictureLoader::TellSize(const Job& job) {
    HANDLE h = OpenFileHandle(job.key.path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE) return;
    // Cameras put their EXIF block, thumbnail included, before the frame header: 64 KB at most.
    std::vector<uint8_t> head(72 * 1024);
    DWORD got = 0;
    BOOL ok = ReadFile(h, head.data(), (DWORD)head.size(), &got, nullptr);
    CloseHandle(h);
    uint32_t w = 0, hgt = 0;
    if (!ok || !PictureSizeFromHeader(head.data(), got, &w, &hgt) || w > 0xFFFF || hgt > 0xFFFF) return;
    std::lock_guard<std::mutex> l(lock);
    if (!cancelled.count(job.id)) PostMessageA(job.target, job.message + 1, (WPARAM)job.id, MAKELPARAM(w, hgt));
}

// The copies already in the folder, oldest use first; leftovers of interrupted writes go.
void PictureLoader::EnsureIndex(const std::string& folder) {
    if (index && indexFolder == folder) return;
    index = std::make_unique<ThumbIndex>(thumbBudget);
    indexFolder = folder;
    MakeFolder(folder);
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(WideFilePath(folder + "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> leftovers;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string name = WideToUtf8(fd.cFileName);
        if (name.size() > 6 && name.compare(name.size() - 6, 6, ".thumb") == 0) {
            uint64_t bytes = (uint64_t)fd.nFileSizeHigh << 32 | fd.nFileSizeLow;
            uint64_t used = (uint64_t)fd.ftLastWriteTime.dwHighDateTime << 32 | fd.ftLastWriteTime.dwLowDateTime;
            index->Add(name, bytes, used);
        } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) {
            leftovers.push_back(name);
        }
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    for (auto& name : leftovers) RemoveFile(folder + name);
    for (auto& name : index->Evict()) RemoveFile(folder + name);
}

bool PictureLoader::ReadThumb(const std::string& folder, const ThumbKey& key, ThumbImage* out) {
    std::string name = ThumbFileName(key);
    std::string file = folder + name;
    HANDLE h = OpenFileHandle(file, GENERIC_READ | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    std::vector<uint8_t> bytes;
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart < (64 << 20);
    if (ok) {
        bytes.resize((size_t)size.QuadPart);
        DWORD got = 0;
        ok = ReadFile(h, bytes.data(), (DWORD)bytes.size(), &got, nullptr) && got == bytes.size();
    }
    ok = ok && DecodeThumb(bytes.data(), bytes.size(), key, out);
    uint64_t now = NowStamp();
    if (ok) {
        // The write time is the entry's last use, so the order survives a restart.
        FILETIME ft{(DWORD)now, (DWORD)(now >> 32)};
        SetFileTime(h, nullptr, nullptr, &ft);
    }
    CloseHandle(h);
    std::lock_guard<std::mutex> l(indexLock);
    EnsureIndex(folder);
    if (ok) {
        index->Touch(name, now);
    } else {
        // Damaged, cut short or made for an older version of the file: rebuilt from the picture.
        RemoveFile(file);
        index->Remove(name);
    }
    return ok;
}

// Written beside its place under a name of this thread's own and renamed over it, so that a
// crash leaves either the old entry, the new one or a leftover the next scan removes.
void PictureLoader::WriteThumb(const std::string& folder, const ThumbKey& key, const ThumbImage& image) {
    {
        std::lock_guard<std::mutex> l(indexLock);
        EnsureIndex(folder);
    }
    std::vector<uint8_t> bytes = EncodeThumb(key, image);
    std::string name = ThumbFileName(key);
    {
        // The folder yields to the user's files: its bound shrinks with the disk's free space, and
        // a copy that does not fit it is not written at all.
        std::lock_guard<std::mutex> l(indexLock);
        ULARGE_INTEGER freeBytes{};
        if (GetDiskFreeSpaceExW(WideFilePath(folder).c_str(), &freeBytes, nullptr, nullptr))
            index->SetBudget(ThumbBudgetFor(freeBytes.QuadPart, index->Bytes(), thumbBudget));
        if (bytes.size() > index->Budget() / 2) return;
        index->Remove(name);
        for (auto& gone : index->EvictTo(index->Budget() - bytes.size())) RemoveFile(folder + gone);
    }
    std::string tmp = folder + name + "." + std::to_string(GetCurrentThreadId()) + ".tmp";
    HANDLE h = OpenFileHandle(tmp, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD put = 0;
    bool ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &put, nullptr) && put == bytes.size();
    CloseHandle(h);
    if (!ok || !ReplaceFile(tmp, folder + name, MOVEFILE_REPLACE_EXISTING)) {
        RemoveFile(tmp);
        return;
    }
    std::lock_guard<std::mutex> l(indexLock);
    index->Add(name, bytes.size(), NowStamp());
    for (auto& gone : index->Evict()) RemoveFile(folder + gone);
}

}  // namespace sona
