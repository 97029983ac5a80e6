// Pictures of a restored desk read by the loader's workers: the window comes first and the picture
// follows; display copies are kept in the thumbs folder and survive a restart; a damaged copy or
// a changed file is read again; switching away while pictures load leaves nothing behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/MainDeskWindow.h"
#include "items/JpegEighth.h"
#include "items/PictureCache.h"
#include "items/PictureItem.h"
#include "items/PictureLoader.h"
#include "platform/Gdi.h"
#include "platform/Text.h"
#include "store/DeskStore.h"

using namespace sona;

namespace {

std::string Folder(const char* leaf) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string f = std::string(tmp) + "sona_loader_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(f.c_str(), nullptr);
    if (leaf) {
        f += leaf;
        f += "\\";
        CreateDirectoryA(f.c_str(), nullptr);
    }
    return f;
}

void EmptyFolder(const std::string& folder) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + fd.cFileName).c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::vector<std::string> FilesIn(const std::string& folder, const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

bool JpegEncoder(CLSID* clsid) {
    UINT n = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&n, &size);
    std::vector<BYTE> buf(size);
    auto* codecs = (Gdiplus::ImageCodecInfo*)buf.data();
    Gdiplus::GetImageEncoders(n, size, codecs);
    for (UINT i = 0; i < n; i++)
        if (wcscmp(codecs[i].MimeType, L"image/jpeg") == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    return false;
}

// A JPEG of one colour with a darker left half, so scaling faults show in the middle column.
std::string MakeJpeg(const std::string& name, int w, int h, Gdiplus::Color colour) {
    std::string path = Folder("pictures") + name;
    Gdiplus::Bitmap bmp(w, h, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics g(&bmp);
        Gdiplus::SolidBrush brush(colour);
        g.FillRectangle(&brush, 0, 0, w, h);
    }
    CLSID jpeg;
    EXPECT_TRUE(JpegEncoder(&jpeg));
    EXPECT_EQ(bmp.Save(AnsiToWide(path).c_str(), &jpeg, nullptr), Gdiplus::Ok);
    return path;
}

class OwnerWindow : public Window {
public:
    OwnerWindow() {
        const char* cls = RegisterWindowClass(0, LoadCursorA(nullptr, IDC_ARROW));
        CreateEx(0, cls, "owner", WS_POPUP, 0, 0, 10, 10, nullptr, 0);
    }
};

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// Runs the messages below `last` only: the items' own drawing, not the pictures' arrival.
void PumpBelow(UINT last) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, last - 1, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// Runs the message loop until the item has its picture (or 20 s have passed).
bool WaitForPicture(const PictureItem& item) {
    for (int i = 0; i < 4000 && item.PicturePending(); i++) {
        Pump();
        Sleep(5);
    }
    Pump();
    return !item.PicturePending();
}

uint32_t PixelAt(const PictureItem& item, int x, int y) {
    const OffscreenSurface& s = item.Surface();
    return s.pixels()[y * s.width() + x];
}

int ThreadCount() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 te{};
    te.dwSize = sizeof te;
    int n = 0;
    DWORD pid = GetCurrentProcessId();
    for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
        if (te.th32OwnerProcessID == pid) n++;
    CloseHandle(snap);
    return n;
}

class PictureLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        thumbs = Folder("thumbs");
        EmptyFolder(thumbs);
        ASSERT_TRUE(PictureLoader::Shared().WaitIdle(20000));
        PictureLoader::Shared().SetThumbFolder(thumbs);
        // The folder was emptied behind the loader's back: let it look again.
        PictureLoader::Shared().SetThumbBudget(64ull << 20);
        PictureCache::Shared().Clear();
    }
    void TearDown() override {
        PictureLoader::Shared().WaitIdle(20000);
        PictureLoader::Shared().SetThumbFolder(std::string());
    }
    // As a restart finds things: nothing in memory, the thumbs folder as it was left.
    void ForgetMemory() { PictureCache::Shared().Clear(); }

    std::string thumbs;
    OwnerWindow owner;
};

}  // namespace

TEST_F(PictureLoaderTest, AtLeastTwoWorkers) { EXPECT_GE(PictureLoader::Shared().WorkerLimit(), 2); }

// The window and its frame show at once; the picture is drawn when the worker's copy arrives.
TEST_F(PictureLoaderTest, WindowFirstThenThePictureFromTheWorkers) {
    std::string file = MakeJpeg("later.jpg", 1600, 1200, Gdiplus::Color(255, 230, 20, 20));
    uint64_t decodes = PictureLoader::Shared().Decodes();
    PictureItem item;
    item.LoadPictureLater(file);
    EXPECT_EQ(item.path, file);
    EXPECT_TRUE(item.HasPicture());
    ASSERT_TRUE(item.Create(RECT{100, 100, 460, 370}, owner.hwnd, 0));
    // Asked for while the window was being made; the frame shows at once.
    ASSERT_TRUE(item.PicturePending());
    // Pending, so it went to the workers: queued, being decoded, or (on a fast worker) decoded
    // already with its result waiting in the window's queue.
    EXPECT_TRUE(PictureLoader::Shared().QueuedRequests() + PictureLoader::Shared().RunningWorkers() > 0 ||
                PictureLoader::Shared().Decodes() == decodes + 1);
    PumpBelow(WM_PICTURE_READY);
    EXPECT_TRUE(IsWindowVisible(item.hwnd));
    ASSERT_TRUE(item.PicturePending());
    EXPECT_NE(GetPropA(item.hwnd, PictureItem::kPendingProperty), nullptr);
    // The frame is there, the picture area still empty.
    bool frameDrawn = false;
    for (int x = 0; x < 24; x++) frameDrawn = frameDrawn || (PixelAt(item, x, 135) >> 24) > 0;
    EXPECT_TRUE(frameDrawn);
    EXPECT_EQ(PixelAt(item, 180, 135), 0u);
    ASSERT_TRUE(WaitForPicture(item));
    EXPECT_EQ(GetPropA(item.hwnd, PictureItem::kPendingProperty), nullptr);
    EXPECT_EQ(item.PictureWidth(), 1600u);
    EXPECT_EQ(item.PictureHeight(), 1200u);
    uint32_t mid = PixelAt(item, 180, 135);
    EXPECT_EQ(mid >> 24, 255u);
    EXPECT_GT((mid >> 16) & 0xFF, 200u);
    EXPECT_LT(mid & 0xFF, 60u);
    EXPECT_EQ(PictureLoader::Shared().Decodes(), decodes + 1);
    EXPECT_EQ(FilesIn(thumbs, "*.thumb").size(), 1u);
}

// A camera-sized JPEG shown small is read at one eighth of its size, and its display copy looks
// like the one made from a full decode; shown large enough to need more, it is decoded in full.
TEST_F(PictureLoaderTest, ASmallCopyOfACameraJpegComesFromItsBlockAveragesAndLooksTheSame) {
    std::string path = Folder("pictures") + "detailed.jpg";
    {
        Gdiplus::Bitmap bmp(3200, 2400, PixelFormat24bppRGB);
        Gdiplus::Graphics g(&bmp);
        Gdiplus::LinearGradientBrush grad(Gdiplus::Point(0, 0), Gdiplus::Point(3200, 2400),
                                          Gdiplus::Color(255, 10, 80, 200), Gdiplus::Color(255, 240, 220, 30));
        g.FillRectangle(&grad, 0, 0, 3200, 2400);
        for (int k = 0; k < 30; k++) {
            Gdiplus::SolidBrush dot(Gdiplus::Color(255, (BYTE)(k * 8), (BYTE)(255 - k * 7), (BYTE)(k * 5)));
            g.FillEllipse(&dot, (k * 397) % 3000, (k * 211) % 2200, 260, 180);
        }
        CLSID jpeg;
        ASSERT_TRUE(JpegEncoder(&jpeg));
        ASSERT_EQ(bmp.Save(AnsiToWide(path).c_str(), &jpeg, nullptr), Gdiplus::Ok);
    }
    std::vector<uint8_t> bytes;
    {
        FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        int c;
        while ((c = std::fgetc(f)) != EOF) bytes.push_back((uint8_t)c);
        std::fclose(f);
    }
    JpegEighth eighth;
    ASSERT_TRUE(DecodeJpegEighth(bytes.data(), bytes.size(), &eighth));
    EXPECT_EQ(eighth.width, 3200u);
    EXPECT_EQ(eighth.height, 2400u);
    ASSERT_EQ(eighth.eighthWidth, 400u);
    const int cx = 187, cy = 140;
    auto size = DisplayCopySize(3200, 2400, cx, cy);
    auto fromEighth = PictureCache::MakeCopyFromReduced(eighth.pixels.data(), eighth.eighthWidth, eighth.eighthHeight,
                                                        3200, 2400, cx, cy);
    Gdiplus::Image full(AnsiToWide(path).c_str(), FALSE);
    auto fromFull = PictureCache::MakeCopy(full, cx, cy);
    ASSERT_TRUE(fromEighth && fromFull);
    ASSERT_EQ(fromEighth->GetWidth(), size.first);
    ASSERT_EQ(fromFull->GetWidth(), size.first);
    double total = 0;
    int worst = 0;
    for (UINT y = 0; y < size.second; y++)
        for (UINT x = 0; x < size.first; x++) {
            Gdiplus::Color a, b;
            fromEighth->GetPixel((INT)x, (INT)y, &a);
            fromFull->GetPixel((INT)x, (INT)y, &b);
            int d[3] = {std::abs(a.GetR() - b.GetR()), std::abs(a.GetG() - b.GetG()), std::abs(a.GetB() - b.GetB())};
            for (int k : d) {
                total += k;
                worst = std::max(worst, k);
            }
            EXPECT_EQ(a.GetA(), 255);
        }
    double mean = total / (3.0 * size.first * size.second);
    EXPECT_LT(mean, 2.5) << "worst " << worst;

    uint64_t eighths = PictureLoader::Shared().EighthReads();
    {
        PictureItem small;
        small.LoadPictureLater(path);
        ASSERT_TRUE(small.Create(RECT{0, 0, 200, 150}, owner.hwnd, 0));
        ASSERT_TRUE(WaitForPicture(small));
        EXPECT_EQ(small.PictureWidth(), 3200u);
        EXPECT_EQ(PictureLoader::Shared().EighthReads(), eighths + 1);
    }
    ForgetMemory();
    PictureItem large;
    large.LoadPictureLater(path);
    ASSERT_TRUE(large.Create(RECT{0, 0, 720, 540}, owner.hwnd, 0));
    ASSERT_TRUE(WaitForPicture(large));
    EXPECT_EQ(large.PictureWidth(), 3200u);
    EXPECT_EQ(PictureLoader::Shared().EighthReads(), eighths + 1);
}

// The same desk after a restart reads the copy from the thumbs folder and looks the same.
TEST_F(PictureLoaderTest, AfterARestartTheCopyComesFromDiskAndLooksTheSame) {
    std::string file = MakeJpeg("again.jpg", 2400, 1800, Gdiplus::Color(255, 20, 160, 40));
    std::vector<uint32_t> first;
    {
        PictureItem a;
        a.LoadPictureLater(file);
        ASSERT_TRUE(a.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
        ASSERT_TRUE(WaitForPicture(a));
        first.assign(a.Surface().pixels(), a.Surface().pixels() + 360 * 270);
    }
    ForgetMemory();
    uint64_t decodes = PictureLoader::Shared().Decodes(), hits = PictureLoader::Shared().DiskHits();
    PictureItem b;
    b.LoadPictureLater(file);
    ASSERT_TRUE(b.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
    ASSERT_TRUE(b.PicturePending());
    ASSERT_TRUE(WaitForPicture(b));
    EXPECT_EQ(PictureLoader::Shared().Decodes(), decodes);
    EXPECT_EQ(PictureLoader::Shared().DiskHits(), hits + 1);
    EXPECT_EQ(b.PictureWidth(), 2400u);
    EXPECT_EQ(b.PictureHeight(), 1800u);
    std::vector<uint32_t> second(b.Surface().pixels(), b.Surface().pixels() + 360 * 270);
    EXPECT_TRUE(first == second);
}

// A copy cut short, with a flipped byte, or with nothing in it is not used: the file is decoded
// again and a good copy takes its place.
TEST_F(PictureLoaderTest, DamagedCacheFileIsIgnoredAndRebuilt) {
    std::string file = MakeJpeg("damaged.jpg", 1600, 1200, Gdiplus::Color(255, 30, 30, 220));
    {
        PictureItem a;
        a.LoadPictureLater(file);
        ASSERT_TRUE(a.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
        ASSERT_TRUE(WaitForPicture(a));
    }
    std::vector<std::string> names = FilesIn(thumbs, "*.thumb");
    ASSERT_EQ(names.size(), 1u);
    std::string entry = thumbs + names[0];
    struct Damage {
        const char* what;
        void (*apply)(const std::string&);
    } damages[] = {
        {"cut short",
         [](const std::string& f) {
             HANDLE h = CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             SetFilePointer(h, 1000, nullptr, FILE_BEGIN);
             SetEndOfFile(h);
             CloseHandle(h);
         }},
        {"flipped byte",
         [](const std::string& f) {
             FILE* fp = std::fopen(f.c_str(), "r+b");
             std::fseek(fp, 5000, SEEK_SET);
             int c = std::fgetc(fp);
             std::fseek(fp, 5000, SEEK_SET);
             std::fputc(c ^ 0x40, fp);
             std::fclose(fp);
         }},
        {"empty",
         [](const std::string& f) {
             FILE* fp = std::fopen(f.c_str(), "wb");
             std::fclose(fp);
         }},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        d.apply(entry);
        ForgetMemory();
        uint64_t decodes = PictureLoader::Shared().Decodes(), hits = PictureLoader::Shared().DiskHits();
        {
            PictureItem b;
            b.LoadPictureLater(file);
            ASSERT_TRUE(b.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
            ASSERT_TRUE(WaitForPicture(b));
            EXPECT_EQ(PictureLoader::Shared().Decodes(), decodes + 1);
            EXPECT_EQ(PictureLoader::Shared().DiskHits(), hits);
            uint32_t mid = PixelAt(b, 180, 135);
            EXPECT_EQ(mid >> 24, 255u);
            EXPECT_GT(mid & 0xFF, 180u);
        }
        // Rebuilt: the next restart reads it from disk again.
        ForgetMemory();
        PictureItem c;
        c.LoadPictureLater(file);
        ASSERT_TRUE(c.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
        ASSERT_TRUE(WaitForPicture(c));
        EXPECT_EQ(PictureLoader::Shared().DiskHits(), hits + 1);
        EXPECT_EQ(PictureLoader::Shared().Decodes(), decodes + 1);
    }
}

// A file replaced on disk under the same name is decoded again, in memory and on disk alike.
TEST_F(PictureLoaderTest, ChangedFileIsReadAgain) {
    std::string file = MakeJpeg("changes.jpg", 1600, 1200, Gdiplus::Color(255, 220, 20, 20));
    {
        PictureItem a;
        a.LoadPictureLater(file);
        ASSERT_TRUE(a.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
        ASSERT_TRUE(WaitForPicture(a));
        EXPECT_EQ(a.PictureWidth(), 1600u);
    }
    Sleep(20);
    MakeJpeg("changes.jpg", 1200, 1600, Gdiplus::Color(255, 20, 20, 220));
    struct Case {
        const char* what;
        bool restart;
    } cases[] = {{"same run", false}, {"after a restart", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.restart) ForgetMemory();
        PictureItem b;
        b.LoadPictureLater(file);
        ASSERT_TRUE(b.Create(RECT{0, 0, 270, 360}, owner.hwnd, 0));
        ASSERT_TRUE(WaitForPicture(b));
        EXPECT_EQ(b.PictureWidth(), 1200u);
        EXPECT_EQ(b.PictureHeight(), 1600u);
        EXPECT_TRUE(b.FrameRotated());
        uint32_t mid = PixelAt(b, 135, 180);
        EXPECT_GT(mid & 0xFF, 180u);
        EXPECT_LT((mid >> 16) & 0xFF, 60u);
    }
}

// A file that does not decode ends its wait with no size (the frame alone, as always); a file
// that is gone never waits and shows the grey panel.
TEST_F(PictureLoaderTest, UndecodableAndMissingFiles) {
    std::string garbage = Folder("pictures") + "garbage.jpg";
    FILE* f = std::fopen(garbage.c_str(), "wb");
    std::fputs("not a picture", f);
    std::fclose(f);
    PictureItem bad;
    bad.LoadPictureLater(garbage);
    ASSERT_TRUE(bad.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
    ASSERT_TRUE(WaitForPicture(bad));
    EXPECT_EQ(bad.PictureWidth(), 0u);
    EXPECT_EQ(PixelAt(bad, 180, 135), 0u);
    EXPECT_TRUE(FilesIn(thumbs, "*.thumb").empty());

    PictureItem gone;
    gone.LoadPictureLater(Folder("pictures") + "no-such-file.jpg");
    ASSERT_TRUE(gone.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
    EXPECT_FALSE(gone.PicturePending());
    Pump();
    EXPECT_EQ(PixelAt(gone, 180, 135) >> 24, 100u);
}

// The folder keeps to its budget, dropping the copies used longest ago.
TEST_F(PictureLoaderTest, ThumbsFolderStaysWithinItsBudget) {
    // A 360 by 270 item of a 1600 by 1200 picture keeps a 420 by 315 copy: about 530 KB.
    PictureLoader::Shared().SetThumbBudget(1200 * 1024);
    std::vector<std::string> files;
    for (int i = 0; i < 4; i++) {
        files.push_back(MakeJpeg("budget" + std::to_string(i) + ".jpg", 1600, 1200,
                                 Gdiplus::Color(255, (BYTE)(40 * i), 100, 100)));
        PictureItem a;
        a.LoadPictureLater(files.back());
        ASSERT_TRUE(a.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
        ASSERT_TRUE(WaitForPicture(a));
        Sleep(20);
    }
    PictureLoader::Shared().SetThumbBudget(64ull << 20);
    uint64_t bytes = 0;
    for (auto& name : FilesIn(thumbs, "*.thumb")) {
        WIN32_FILE_ATTRIBUTE_DATA d;
        GetFileAttributesExA((thumbs + name).c_str(), GetFileExInfoStandard, &d);
        bytes += d.nFileSizeLow;
    }
    EXPECT_LE(bytes, 1200u * 1024);
    EXPECT_EQ(FilesIn(thumbs, "*.thumb").size(), 2u);
    // The two newest stayed: after a restart they are read from disk, the oldest is decoded.
    ForgetMemory();
    uint64_t hits = PictureLoader::Shared().DiskHits();
    for (int i : {3, 2}) {
        PictureItem a;
        a.LoadPictureLater(files[i]);
        ASSERT_TRUE(a.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
        ASSERT_TRUE(WaitForPicture(a));
    }
    EXPECT_EQ(PictureLoader::Shared().DiskHits(), hits + 2);
    EXPECT_TRUE(FilesIn(thumbs, "*.tmp").empty());
}

// A desk of large pictures shown and left at once: every request is cancelled, no result waits
// for a window that is gone, the workers end and no window is left.
TEST_F(PictureLoaderTest, SwitchingAwayWhileLoadingLeavesNoWindowThreadOrResult) {
    std::vector<std::string> files;
    for (int i = 0; i < 8; i++)
        files.push_back(MakeJpeg("switch" + std::to_string(i) + ".jpg", 3000, 2000,
                                 Gdiplus::Color(255, 200, (BYTE)(20 * i), 40)));
    ASSERT_TRUE(PictureLoader::Shared().WaitIdle(20000));
    Sleep(200);
    int threadsBefore = ThreadCount();
    MainDeskWindow desk;
    ASSERT_TRUE(desk.CreateModeless(nullptr));
    desk.Live().Clear();
    for (int d = 0; d < 2; d++) desk.Model().CreateDesk();
    ASSERT_TRUE(desk.Model().SelectDesk(0));
    for (size_t i = 0; i < files.size(); i++) {
        RecordPtr rec = NewRecord(kItemPicture);
        auto* p = (PictureItemRecord*)rec.get();
        std::strncpy(p->path, files[i].c_str(), sizeof p->path - 1);
        p->rect = RelativeRect{0.01f * i, 0.02f * i, 0.01f * i + 0.3f, 0.02f * i + 0.35f};
        desk.Model().AppendRecord(kItemPicture, std::move(rec));
    }
    uint64_t decodes = PictureLoader::Shared().Decodes();
    std::vector<HWND> windows;
    for (int round = 0; round < 3; round++) {
        ASSERT_TRUE(desk.Model().SelectDesk(0));
        desk.Live().Show();
        desk.Live().FinishBuild();
        ASSERT_EQ(desk.Live().Items().size(), files.size());
        for (auto& item : desk.Live().Items()) {
            windows.push_back(item->ItemWindow());
            EXPECT_TRUE(static_cast<PictureItem*>(item.get())->PicturePending());
        }
        // Left before any picture could be taken in: the workers' results have nobody to go to.
        ASSERT_TRUE(desk.Model().SelectDesk(1));
        desk.Live().Show();
        desk.Live().FinishBuild();
    }
    EXPECT_TRUE(desk.Live().Items().empty());
    ASSERT_TRUE(PictureLoader::Shared().WaitIdle(30000));
    Pump();
    EXPECT_EQ(PictureLoader::Shared().QueuedRequests(), 0u);
    EXPECT_EQ(PictureLoader::Shared().UnclaimedResults(), 0u);
    EXPECT_EQ(PictureLoader::Shared().RunningWorkers(), 0);
    // Each round decodes at most what it asked for; copies written by cancelled requests serve
    // the next round.
    EXPECT_LE(PictureLoader::Shared().Decodes() - decodes, (uint64_t)(3 * files.size()));
    for (HWND w : windows) EXPECT_FALSE(IsWindow(w));
    int threadsAfter = ThreadCount();
    for (int i = 0; i < 200 && threadsAfter > threadsBefore; i++) {
        Sleep(10);
        threadsAfter = ThreadCount();
    }
    EXPECT_LE(threadsAfter, threadsBefore);
    desk.Model().Clear();
    desk.DestroyWindow();
}
