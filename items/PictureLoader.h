// Reads pictures for the picture items away from the user-interface thread.
//
// A small pool of worker threads (one per core, at least two) takes requests in order. Each
// worker makes its own GDI+ objects: it finds the display copy in "Data\Thumbs" or reads the
// file (a large JPEG shown small from its 8x8 block averages alone, anything else decoded whole
// and reduced by a cheap block average to about twice the size), then scales it with GDI+'s
// high-quality pass, writes the copy to "Data\Thumbs" and posts the item a message. The item
// then takes the result by its request id. Requests are identified by id, never by the item's
// address: an item that is destroyed cancels its request, and a result whose request was
// cancelled (or a message that reaches a window reusing the handle) finds nothing.
//
// Workers start when there is work and end when the queue is empty, so an idle program holds no
// extra thread.
#pragma once
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "items/PictureCache.h"
#include "items/ThumbStore.h"

namespace sona {

// What a request gives back: the picture's full size (0 by 0 when it did not decode) and its
// display copy as premultiplied BGRA pixels.
struct LoadedPicture {
    ThumbImage image;
    bool fromDisk = false;
};

class PictureLoader {
public:
    static PictureLoader& Shared();

    // Queues a request: read `key.path` for a picture area of cx by cy and post `message` with
    // wParam = the request id to `target` when done. Before decoding, when the file's header
    // tells the picture's size, `message` + 1 is posted with the id and lParam = MAKELPARAM
    // (width, height). Returns the id (never 0).
    uint32_t Request(HWND target, UINT message, const PictureKey& key, int cx, int cy);
    // Forgets a request: dropped if queued, its result discarded if running or done.
    void Cancel(uint32_t id);
    // Hands over the result of a finished request once; false for unknown or cancelled ids.
    bool Take(uint32_t id, LoadedPicture* out);

    // Drops every queued request and waits (up to `ms`) until no worker runs. The application
    // calls it before GDI+ is shut down.
    bool Shutdown(DWORD ms = 10000);
    // Waits until the queue is empty and no worker runs; false on timeout.
    bool WaitIdle(DWORD ms);

    int RunningWorkers();
    size_t QueuedRequests();
    size_t UnclaimedResults();
    int WorkerLimit() const { return workerLimit; }

    // Folder of the display copies, with a trailing backslash; "Data\Thumbs\" beside the
    // program unless set (tests use their own). An empty folder turns the disk copies off.
    void SetThumbFolder(const std::string& folder);
    std::string ThumbFolder();
    // Bytes the folder may hold at most; less on a disk short of space.
    void SetThumbBudget(uint64_t bytes);
    // Deletes the least recently used copies until the folder holds at most `keepBytes`; true
    // when any went. A save that failed for want of space tries again after this.
    bool TrimThumbs(uint64_t keepBytes);
    uint64_t ThumbBytes();
    // Counts since start, for tests and the benchmark.
    uint64_t DiskHits();
    uint64_t Decodes();
    // Of those, the JPEGs read at one eighth of their size.
    uint64_t EighthReads();

private:
    PictureLoader();
    struct Job {
        uint32_t id;
        HWND target;
        UINT message;
        PictureKey key;
        int cx, cy;
    };
    static DWORD WINAPI WorkerMain(void* self);
    void Work();
    LoadedPicture Load(const Job& job);
    void TellSize(const Job& job);
    bool LoadEighth(const Job& job, ThumbImage* image);
    bool ReadThumb(const std::string& folder, const ThumbKey& key, ThumbImage* out);
    void WriteThumb(const std::string& folder, const ThumbKey& key, const ThumbImage& image);
    void EnsureIndex(const std::string& folder);

    std::mutex lock;
    std::condition_variable idle;
    std::deque<Job> queue;
    std::set<uint32_t> running;    // ids being worked on
    std::set<uint32_t> cancelled;  // running ids whose result nobody wants
    std::map<uint32_t, LoadedPicture> results;
    uint32_t nextId = 1;
    int workers = 0;
    int workerLimit = 2;
    bool stopping = false;
    bool folderSet = false;
    std::string thumbFolder;
    uint64_t diskHits = 0, decodes = 0, eighthReads = 0;

    // The folder's index, built from a scan on first use; guarded by its own lock so that
    // reading and writing copies never waits on the queue.
    std::mutex indexLock;
    std::unique_ptr<ThumbIndex> index;
    std::string indexFolder;
    uint64_t thumbBudget = 64ull << 20;
};

}  // namespace sona
