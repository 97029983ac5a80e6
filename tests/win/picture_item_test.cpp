// Picture items as real windows: sizes, frame orientation, aspect lock, the grey panel of a
// missing file, the messages to the owner, and the import commands of the main window.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "items/ItemIds.h"
#include "app/MainDeskWindow.h"
#include "items/PictureCache.h"
#include "items/PictureItem.h"
#include "platform/Gdi.h"
#include "platform/Text.h"

using namespace sona;

namespace {

// A folder of its own for each run's test pictures.
std::string TestFolder() {
    static std::string folder;
    if (folder.empty()) {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        folder = std::string(tmp) + "sona_pictures_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    return folder;
}

bool EncoderFor(const wchar_t* mime, CLSID* clsid) {
    UINT n = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&n, &size);
    if (!size) return false;
    std::vector<BYTE> buf(size);
    auto* codecs = (Gdiplus::ImageCodecInfo*)buf.data();
    Gdiplus::GetImageEncoders(n, size, codecs);
    for (UINT i = 0; i < n; i++)
        if (wcscmp(codecs[i].MimeType, mime) == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    return false;
}

// Writes a w by h picture of one colour as PNG, BMP or JPEG ("image/png" ...).
std::string MakePicture(const std::string& name, int w, int h, const wchar_t* mime = L"image/png",
                        Gdiplus::Color colour = Gdiplus::Color(255, 200, 30, 30)) {
    std::string path = TestFolder() + name;
    Gdiplus::Bitmap bmp(w, h, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&bmp);
        Gdiplus::SolidBrush brush(colour);
        g.FillRectangle(&brush, 0, 0, w, h);
    }
    CLSID clsid;
    EXPECT_TRUE(EncoderFor(mime, &clsid));
    EXPECT_EQ(bmp.Save(AnsiToWide(path).c_str(), &clsid, nullptr), Gdiplus::Ok);
    return path;
}

// A placeable Windows metafile: the Aldus header GDI+ needs for its size, then the records a
// metafile DC recorded (one filled rectangle over w by h units at 96 units an inch).
std::string MakeWmf(const std::string& name, int w, int h) {
    std::string path = TestFolder() + name;
    HDC mdc = CreateMetaFileA(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(20, 120, 200));
    SelectObject(mdc, brush);
    Rectangle(mdc, 0, 0, w, h);
    HMETAFILE mf = CloseMetaFile(mdc);
    DeleteObject(brush);
    UINT size = GetMetaFileBitsEx(mf, 0, nullptr);
    std::vector<BYTE> bits(size);
    GetMetaFileBitsEx(mf, size, bits.data());
    DeleteMetaFile(mf);
    WORD header[11] = {};
    header[0] = 0xCDD7;
    header[1] = 0x9AC6;
    header[5] = (WORD)w;
    header[6] = (WORD)h;
    header[7] = 96;
    WORD sum = 0;
    for (int i = 0; i < 10; i++) sum ^= header[i];
    header[10] = sum;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(header, 1, 22, f);
    std::fwrite(bits.data(), 1, bits.size(), f);
    std::fclose(f);
    return path;
}

std::string MakeGarbage(const std::string& name) {
    std::string path = TestFolder() + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs("this is not a picture at all, just text with a picture's name", f);
    std::fclose(f);
    return path;
}

// Stands in for the main window: records what the items send it.
class OwnerWindow : public Window {
public:
    OwnerWindow() {
        const char* cls = RegisterWindowClass(0, LoadCursorA(nullptr, IDC_ARROW));
        CreateEx(0, cls, "owner", WS_POPUP, 0, 0, 10, 10, nullptr, 0);
    }
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_DESKITEM_SELECT) {
            selects++;
            selected = (HWND)lp;
            return 0;
        }
        if (msg == WM_DESKITEM_REMOVE) {
            removes++;
            removed = (HWND)lp;
            if (onRemove) onRemove();
            return 0;
        }
        return Default();
    }
    int selects = 0, removes = 0;
    HWND selected = nullptr;
    HWND removed = nullptr;
    void (*onRemove)() = nullptr;
};

SIZE WindowSize(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// Pixel (x, y) of the item's last render: premultiplied BGRA.
struct Pixel {
    int b, g, r, a;
};
Pixel PixelAt(const PictureItem& item, int x, int y) {
    const OffscreenSurface& s = item.Surface();
    uint32_t v = s.pixels()[y * s.width() + x];
    return Pixel{(int)(v & 0xFF), (int)((v >> 8) & 0xFF), (int)((v >> 16) & 0xFF), (int)(v >> 24)};
}

// Removes a posted message of `msg` for `h` from the queue, so that no move loop starts.
bool TakePosted(HWND h, UINT msg, MSG* out) { return PeekMessageA(out, h, msg, msg, PM_REMOVE) != FALSE; }

void DrainQueue() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

class PictureItemTest : public ::testing::Test {
protected:
    void SetUp() override { PictureCache::Shared().Clear(); }
    OwnerWindow owner;
};

}  // namespace

TEST_F(PictureItemTest, OpenedSizeKeepsProportionsWithLongerSide360) {
    EXPECT_EQ(PictureItem::OpenedSize(400, 200).cx, 360);
    EXPECT_EQ(PictureItem::OpenedSize(400, 200).cy, 180);
    EXPECT_EQ(PictureItem::OpenedSize(200, 400).cx, 180);
    EXPECT_EQ(PictureItem::OpenedSize(200, 400).cy, 360);
    EXPECT_EQ(PictureItem::OpenedSize(300, 300).cx, 360);
    EXPECT_EQ(PictureItem::OpenedSize(300, 300).cy, 360);
    EXPECT_EQ(PictureItem::OpenedSize(0, 300).cx, 0);
}

TEST_F(PictureItemTest, DecodesJpegBmpPngAndWmf) {
    struct {
        std::string path;
        uint32_t w, h;
    } files[] = {
        {MakePicture("dec.jpg", 64, 48, L"image/jpeg"), 64, 48},
        {MakePicture("dec.bmp", 50, 70, L"image/bmp"), 50, 70},
        {MakePicture("dec.png", 33, 33, L"image/png"), 33, 33},
        {MakeWmf("dec.wmf", 192, 96), 192, 96},
    };
    for (auto& f : files) {
        PictureItem item;
        item.LoadPicture(f.path);
        EXPECT_TRUE(item.HasPicture());
        EXPECT_EQ(item.PictureWidth(), f.w) << f.path;
        EXPECT_EQ(item.PictureHeight(), f.h) << f.path;
        EXPECT_EQ(item.path, f.path);
    }
}

TEST_F(PictureItemTest, UndecodableFileAndFolderHaveNoSize) {
    PictureItem item;
    item.LoadPicture(MakeGarbage("garbage.jpg"));
    EXPECT_TRUE(item.HasPicture());
    EXPECT_EQ(item.PictureWidth(), 0u);
    EXPECT_EQ(item.PictureHeight(), 0u);
    item.LoadPicture(TestFolder());
    EXPECT_EQ(item.PictureWidth(), 0u);
}

TEST_F(PictureItemTest, WindowIsAnOwnedLayeredToolPopup) {
    PictureItem item;
    item.LoadPicture(MakePicture("shape.png", 400, 300));
    ASSERT_TRUE(item.Create(RECT{100, 100, 460, 370}, owner.hwnd, 0));
    LONG ex = GetWindowLongA(item.hwnd, GWL_EXSTYLE), style = GetWindowLongA(item.hwnd, GWL_STYLE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
    EXPECT_EQ(GetWindow(item.hwnd, GW_OWNER), owner.hwnd);
    EXPECT_EQ(item.ItemWindow(), item.hwnd);
    char cls[64];
    GetClassNameA(item.hwnd, cls, sizeof cls);
    EXPECT_TRUE(GetClassLongA(item.hwnd, GCL_STYLE) & CS_DBLCLKS) << cls;
    EXPECT_EQ(item.Surface().width(), 360);
    EXPECT_EQ(item.Surface().height(), 270);
}

TEST_F(PictureItemTest, OpenPathResizesTo360KeepingTopLeft) {
    PictureItem item;
    item.LoadPicture(MakePicture("start.png", 100, 100));
    ASSERT_TRUE(item.Create(RECT{100, 100, 300, 300}, owner.hwnd, 0));
    item.OpenPath(MakePicture("land1600.jpg", 1600, 1200, L"image/jpeg"));
    RECT r;
    GetWindowRect(item.hwnd, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.right, 460);
    EXPECT_EQ(r.bottom, 370);
    EXPECT_FALSE(item.FrameRotated());
}

TEST_F(PictureItemTest, PortraitTurnsTheFrameAndLandscapeTurnsItBack) {
    PictureItem item;
    item.LoadPicture(MakePicture("l.png", 400, 300));
    ASSERT_TRUE(item.Create(RECT{50, 50, 410, 320}, owner.hwnd, 0));
    EXPECT_FALSE(item.FrameRotated());
    item.OpenPath(MakePicture("portrait.jpg", 1200, 1600, L"image/jpeg"));
    SIZE s = WindowSize(item.hwnd);
    EXPECT_EQ(s.cx, 270);
    EXPECT_EQ(s.cy, 360);
    EXPECT_TRUE(item.FrameRotated());
    // A square picture leaves the frame as it was.
    item.OpenPath(MakePicture("square.png", 500, 500));
    EXPECT_EQ(WindowSize(item.hwnd).cx, 360);
    EXPECT_EQ(WindowSize(item.hwnd).cy, 360);
    EXPECT_TRUE(item.FrameRotated());
    item.OpenPath(MakePicture("land.bmp", 800, 600, L"image/bmp"));
    EXPECT_EQ(WindowSize(item.hwnd).cx, 360);
    EXPECT_EQ(WindowSize(item.hwnd).cy, 270);
    EXPECT_FALSE(item.FrameRotated());
}

TEST_F(PictureItemTest, TurnedFrameIsDrawnUpright) {
    // A portrait picture shows through the middle of the turned frame.
    PictureItem item;
    item.LoadPicture(MakePicture("p.png", 300, 400, L"image/png", Gdiplus::Color(255, 0, 0, 255)));
    ASSERT_TRUE(item.Create(RECT{10, 10, 280, 370}, owner.hwnd, 0));
    ASSERT_TRUE(item.FrameRotated());
    Pixel mid = PixelAt(item, 135, 180);
    EXPECT_EQ(mid.a, 255);
    EXPECT_GT(mid.b, 200);
    EXPECT_LT(mid.r, 40);
}

// A file that does not decode (or a folder, what a multiple selection names) leaves the item
// with its old picture and its old path, so the desk saves the picture it still shows.
TEST_F(PictureItemTest, UndecodableOpenKeepsTheOldPictureAndPath) {
    std::string good = MakePicture("keep.png", 400, 300, L"image/png", Gdiplus::Color(255, 0, 0, 255));
    struct Case {
        const char* what;
        std::string file;
    } cases[] = {{"garbage", MakeGarbage("bad.png")}, {"folder", TestFolder()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PictureItem item;
        item.LoadPicture(good);
        ASSERT_TRUE(item.Create(RECT{100, 100, 460, 370}, owner.hwnd, 0));
        item.OpenPath(c.file);
        EXPECT_EQ(item.path, good);
        EXPECT_EQ(item.PictureWidth(), 400u);
        EXPECT_EQ(item.PictureHeight(), 300u);
        EXPECT_EQ(WindowSize(item.hwnd).cx, 360);
        EXPECT_EQ(WindowSize(item.hwnd).cy, 270);
        PictureItemRecord rec{};
        item.WriteRecord(RecordView(&rec));
        EXPECT_STREQ(rec.path, good.c_str());
        // Drawn again (a resize), it still shows the old picture.
        item.Render();
        Pixel mid = PixelAt(item, 180, 135);
        EXPECT_EQ(mid.a, 255);
        EXPECT_GT(mid.b, 200);
    }
}

TEST_F(PictureItemTest, AspectLockFromRightEdgeAndBottomEdge) {
    PictureItem item;
    item.LoadPicture(MakePicture("aspect.jpg", 1600, 1200, L"image/jpeg"));
    ASSERT_TRUE(item.Create(RECT{100, 100, 460, 370}, owner.hwnd, 0));
    item.lastHitZone = HTRIGHT;
    SetWindowPos(item.hwnd, nullptr, 100, 100, 480, 270, SWP_NOZORDER);
    SIZE s = WindowSize(item.hwnd);
    EXPECT_EQ(s.cx, 480);
    EXPECT_EQ(s.cy, 360);
    SetWindowPos(item.hwnd, nullptr, 100, 100, 360, 270, SWP_NOZORDER);
    item.lastHitZone = HTBOTTOM;
    SetWindowPos(item.hwnd, nullptr, 100, 100, 360, 300, SWP_NOZORDER);
    s = WindowSize(item.hwnd);
    EXPECT_EQ(s.cx, 400);
    EXPECT_EQ(s.cy, 300);
    RECT r;
    GetWindowRect(item.hwnd, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 100);
    // The surface follows the final size.
    EXPECT_EQ(item.Surface().width(), 400);
    EXPECT_EQ(item.Surface().height(), 300);
}

TEST_F(PictureItemTest, NothingSmallerThan100By100) {
    PictureItem item;
    item.LoadPicture(MakePicture("small.jpg", 1600, 1200, L"image/jpeg"));
    ASSERT_TRUE(item.Create(RECT{100, 100, 460, 370}, owner.hwnd, 0));
    MINMAXINFO mm{};
    SendMessageA(item.hwnd, WM_GETMINMAXINFO, 0, (LPARAM)&mm);
    EXPECT_EQ(mm.ptMinTrackSize.x, 100);
    EXPECT_EQ(mm.ptMinTrackSize.y, 100);
    EXPECT_EQ(mm.ptMaxTrackSize.x, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(mm.ptMaxTrackSize.y, GetSystemMetrics(SM_CYMAXIMIZED));
    EXPECT_EQ(mm.ptMaxSize.x, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(mm.ptMaxSize.y, GetSystemMetrics(SM_CYMAXIMIZED));
    // The sizing loop stops at 100 wide; the proportional height must not undercut it either.
    item.lastHitZone = HTRIGHT;
    SetWindowPos(item.hwnd, nullptr, 100, 100, 100, 270, SWP_NOZORDER);
    SIZE s = WindowSize(item.hwnd);
    EXPECT_GE(s.cx, 100);
    EXPECT_GE(s.cy, 100);
    EXPECT_EQ(s.cy, 100);
    EXPECT_EQ(s.cx, 133);
    item.lastHitZone = HTBOTTOMRIGHT;
    SetWindowPos(item.hwnd, nullptr, 100, 100, 133, 100, SWP_NOZORDER);
    s = WindowSize(item.hwnd);
    EXPECT_GE(s.cx, 100);
    EXPECT_GE(s.cy, 100);
}

TEST_F(PictureItemTest, MissingFileShowsTranslucentGreyPanel) {
    std::string file = MakePicture("gone.png", 400, 300, L"image/png", Gdiplus::Color(255, 250, 0, 0));
    PictureItem item;
    item.LoadPicture(file);
    ASSERT_TRUE(item.Create(RECT{100, 100, 460, 370}, owner.hwnd, 0));
    Pixel before = PixelAt(item, 180, 135);
    EXPECT_EQ(before.a, 255);
    EXPECT_GT(before.r, 240);
    ASSERT_TRUE(DeleteFileA(file.c_str()));
    item.Render();
    Pixel after = PixelAt(item, 180, 135);
    // ARGB (100, 100, 100, 100), premultiplied: 100 * 100 / 255 = 39.
    EXPECT_EQ(after.a, 100);
    EXPECT_NEAR(after.r, 39, 1);
    EXPECT_NEAR(after.g, 39, 1);
    EXPECT_NEAR(after.b, 39, 1);
    // The panel fills the picture area only: (12, 9) to (348, 261) on 360 by 270; the frame
    // still lies over its edges.
    Pixel corner = PixelAt(item, 0, 0);
    EXPECT_LT(corner.a, 100);
}

TEST_F(PictureItemTest, ButtonDownSelectsThenMovesFromTheInnerArea) {
    PictureItem item;
    item.LoadPicture(MakePicture("move.png", 400, 300));
    ASSERT_TRUE(item.Create(RECT{100, 100, 500, 400}, owner.hwnd, 0));
    DrainQueue();
    SendMessageA(item.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(200, 240));
    EXPECT_EQ(owner.selects, 1);
    EXPECT_EQ(owner.selected, item.hwnd);
    MSG m;
    ASSERT_TRUE(TakePosted(item.hwnd, WM_NCLBUTTONDOWN, &m));
    EXPECT_EQ(m.wParam, (WPARAM)HTCAPTION);
    EXPECT_EQ(m.lParam, PackPoint(200, 240));
}

TEST_F(PictureItemTest, ButtonDownInTheBandResizesFromTheZone) {
    PictureItem item;
    item.LoadPicture(MakePicture("band.png", 400, 300));
    ASSERT_TRUE(item.Create(RECT{100, 100, 500, 400}, owner.hwnd, 0));
    DrainQueue();
    SendMessageA(item.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(390, 240));
    MSG m;
    ASSERT_TRUE(TakePosted(item.hwnd, WM_NCLBUTTONDOWN, &m));
    EXPECT_EQ(m.wParam, (WPARAM)HTBOTTOMRIGHT);
    EXPECT_EQ(item.lastHitZone, HTBOTTOMRIGHT);
    // A border point between zones does nothing.
    SendMessageA(item.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 25));
    EXPECT_FALSE(TakePosted(item.hwnd, WM_NCLBUTTONDOWN, &m));
    EXPECT_EQ(owner.selects, 2);
}

TEST_F(PictureItemTest, PointerOverTheBandPostsNonClientMoveAndStoresZone) {
    PictureItem item;
    item.LoadPicture(MakePicture("hover.png", 400, 300));
    ASSERT_TRUE(item.Create(RECT{100, 100, 500, 400}, owner.hwnd, 0));
    DrainQueue();
    SendMessageA(item.hwnd, WM_MOUSEMOVE, 0, PackPoint(390, 100));
    MSG m;
    ASSERT_TRUE(TakePosted(item.hwnd, WM_NCMOUSEMOVE, &m));
    EXPECT_EQ(m.wParam, (WPARAM)HTRIGHT);
    EXPECT_EQ(item.lastHitZone, HTRIGHT);
    SendMessageA(item.hwnd, WM_MOUSEMOVE, 0, PackPoint(200, 5));
    EXPECT_EQ(item.lastHitZone, HTTOP);
    // The inner area changes nothing.
    SendMessageA(item.hwnd, WM_MOUSEMOVE, 0, PackPoint(200, 150));
    EXPECT_EQ(item.lastHitZone, HTTOP);
    DrainQueue();
}

TEST_F(PictureItemTest, RemoveCommandAsksTheOwner) {
    PictureItem item;
    item.LoadPicture(MakePicture("remove.png", 400, 300));
    ASSERT_TRUE(item.Create(RECT{100, 100, 500, 400}, owner.hwnd, 0));
    SendMessageA(item.hwnd, WM_COMMAND, ID_DESKITEM_REMOVE, 0);
    // Posted, not sent: the owner hears of it once the command has returned.
    EXPECT_EQ(owner.removes, 0);
    DrainQueue();
    EXPECT_EQ(owner.removes, 1);
    EXPECT_EQ(owner.removed, item.hwnd);
}

TEST_F(PictureItemTest, ADisabledItemAsksForNoRemoval) {
    // Disabled, the item is running its own Open dialog, whose loop would deliver the request.
    PictureItem item;
    item.LoadPicture(MakePicture("busy.png", 400, 300));
    ASSERT_TRUE(item.Create(RECT{100, 100, 500, 400}, owner.hwnd, 0));
    EnableWindow(item.hwnd, FALSE);
    SendMessageA(item.hwnd, WM_COMMAND, ID_DESKITEM_REMOVE, 0);
    DrainQueue();
    EXPECT_EQ(owner.removes, 0);
}

TEST_F(PictureItemTest, TheOwnerDeletesTheItemWhenTheRequestArrives) {
    static PictureItem* doomed = nullptr;
    doomed = new PictureItem;
    doomed->LoadPicture(MakePicture("doomed.png", 400, 300));
    ASSERT_TRUE(doomed->Create(RECT{100, 100, 500, 400}, owner.hwnd, 0));
    HWND h = doomed->hwnd;
    owner.onRemove = [] {
        delete doomed;
        doomed = nullptr;
    };
    SendMessageA(h, WM_COMMAND, ID_DESKITEM_REMOVE, 0);
    EXPECT_NE(doomed, nullptr);
    EXPECT_TRUE(IsWindow(h));
    DrainQueue();
    EXPECT_EQ(doomed, nullptr);
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(PictureItemTest, KeyboardFilterSwallowsEscEnterAndAltF4) {
    PictureItem item;
    item.LoadPicture(MakePicture("keys.png", 400, 300));
    ASSERT_TRUE(item.Create(RECT{100, 100, 500, 400}, owner.hwnd, 0));
    MSG m{item.hwnd, WM_KEYDOWN, VK_ESCAPE, 0};
    EXPECT_TRUE(item.PreTranslateMessage(&m));
    m.wParam = VK_RETURN;
    EXPECT_TRUE(item.PreTranslateMessage(&m));
    m.wParam = 'A';
    EXPECT_FALSE(item.PreTranslateMessage(&m));
    m.message = WM_KEYUP;
    m.wParam = VK_ESCAPE;
    EXPECT_FALSE(item.PreTranslateMessage(&m));
    // Without Alt held, F4 passes.
    m.message = WM_SYSKEYDOWN;
    m.wParam = VK_F4;
    if (!(GetAsyncKeyState(VK_MENU) & 0x8000)) EXPECT_FALSE(item.PreTranslateMessage(&m));
}

TEST_F(PictureItemTest, DoubleClickOpensTheChosenFileAndTakesTheFirstOfSeveral) {
    static std::vector<std::string> offered;
    offered = {MakePicture("dbl1.png", 1200, 1600), MakePicture("dbl2.png", 1600, 1200)};
    static std::string filterSeen;
    static DWORD flagsSeen = 0;
    PictureItem::FileChooser saved = PictureItem::chooseFiles;
    PictureItem::chooseFiles = [](HWND, const char* filter, DWORD flags) {
        filterSeen = filter;
        flagsSeen = flags;
        return offered;
    };
    PictureItem item;
    item.LoadPicture(MakePicture("dbl0.png", 400, 300));
    ASSERT_TRUE(item.Create(RECT{100, 100, 460, 370}, owner.hwnd, 0));
    SendMessageA(item.hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, PackPoint(100, 100));
    PictureItem::chooseFiles = saved;
    EXPECT_EQ(item.path, offered[0]);
    EXPECT_EQ(WindowSize(item.hwnd).cx, 270);
    EXPECT_EQ(WindowSize(item.hwnd).cy, 360);
    EXPECT_EQ(filterSeen,
              "(all picture files)|*.jpg;*.bmp;*png;*.wmf|(*.jpg)|*.jpg|(*.bmp)|*.bmp|(*.png)|*.png|(*.wmf)|*.wmf||");
    EXPECT_EQ(flagsSeen, (DWORD)0x202);
    EXPECT_TRUE(IsWindowEnabled(item.hwnd));
}

TEST_F(PictureItemTest, CancelledOpenChangesNothing) {
    PictureItem::FileChooser saved = PictureItem::chooseFiles;
    PictureItem::chooseFiles = [](HWND, const char*, DWORD) { return std::vector<std::string>(); };
    PictureItem item;
    std::string file = MakePicture("cancel.png", 400, 300);
    item.LoadPicture(file);
    ASSERT_TRUE(item.Create(RECT{100, 100, 460, 370}, owner.hwnd, 0));
    SendMessageA(item.hwnd, WM_COMMAND, ID_DESKITEM_EDIT, 0);
    PictureItem::chooseFiles = saved;
    EXPECT_EQ(item.path, file);
    EXPECT_EQ(WindowSize(item.hwnd).cx, 360);
}

TEST_F(PictureItemTest, RecordCarriesThePath) {
    PictureItem item;
    std::string file = MakePicture("record.png", 40, 30);
    item.LoadPicture(file);
    PictureItemRecord rec{};
    std::memset(rec.path, 'x', sizeof rec.path);
    item.WriteRecord(RecordView(&rec));
    EXPECT_STREQ(rec.path, file.c_str());
}

TEST_F(PictureItemTest, SecondLoadOfTheSameFileComesFromTheCache) {
    std::string file = MakePicture("cached.jpg", 1600, 1200, L"image/jpeg");
    {
        PictureItem a;
        a.LoadPicture(file);
        ASSERT_TRUE(a.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
    }
    uint64_t hits = PictureCache::Shared().Hits();
    EXPECT_EQ(PictureCache::Shared().Count(), 1u);
    EXPECT_GT(PictureCache::Shared().BytesUsed(), 0u);
    EXPECT_LT(PictureCache::Shared().BytesUsed(), (size_t)1600 * 1200 * 4 / 4);
    PictureItem b;
    b.LoadPicture(file);
    EXPECT_EQ(PictureCache::Shared().Hits(), hits + 1);
    EXPECT_EQ(b.PictureWidth(), 1600u);
    EXPECT_EQ(b.PictureHeight(), 1200u);
    ASSERT_TRUE(b.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
    Pixel mid = PixelAt(b, 180, 135);
    EXPECT_EQ(mid.a, 255);
    EXPECT_GT(mid.r, 180);
}

TEST_F(PictureItemTest, ChangedFileIsReadAgain) {
    std::string file = MakePicture("changing.png", 400, 300);
    PictureItem a;
    a.LoadPicture(file);
    EXPECT_EQ(a.PictureWidth(), 400u);
    // The first render keeps only the display copy and lets go of the file.
    ASSERT_TRUE(a.Create(RECT{0, 0, 360, 270}, owner.hwnd, 0));
    Sleep(20);
    MakePicture("changing.png", 300, 500);
    // A different size on disk is a different key, whatever the clock's resolution.
    PictureItem b;
    b.LoadPicture(file);
    EXPECT_EQ(b.PictureWidth(), 300u);
    EXPECT_EQ(b.PictureHeight(), 500u);
}

TEST(PictureCacheTest, StaysWithinItsBudget) {
    PictureCache cache(1000 * 1000 * 4);
    for (int i = 0; i < 10; i++) {
        PictureKey key{"k" + std::to_string(i), 1, 1};
        PictureCopy copy;
        copy.width = 4000;
        copy.height = 3000;
        copy.pixels = std::make_shared<Gdiplus::Bitmap>(600, 450, PixelFormat32bppPARGB);
        cache.Store(key, copy);
        EXPECT_LE(cache.BytesUsed(), cache.Budget());
    }
    EXPECT_EQ(cache.Count(), 3u);
    PictureCopy out;
    EXPECT_TRUE(cache.Find(PictureKey{"k9", 1, 1}, &out));
    EXPECT_FALSE(cache.Find(PictureKey{"k0", 1, 1}, &out));
    EXPECT_FALSE(cache.Find(PictureKey{"k9", 2, 1}, &out));
    EXPECT_EQ(cache.Count(), 2u);
}

// ---------------------------------------------------------------------------------------------
// The import commands on a real main window.

namespace {

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        PictureCache::Shared().Clear();
        ASSERT_TRUE(desk.CreateModeless(nullptr));
        // Start from one empty desk whatever the data folder held.
        desk.Live().Clear();
        desk.Model().CreateDesk();
    }
    void TearDown() override {
        desk.Live().Clear();
        desk.DestroyWindow();
    }
    size_t Records() const { return desk.Model().desks()[0].size(); }
    MainDeskWindow desk;
};

}  // namespace

TEST_F(ImportTest, EverySelectedPictureBecomesItsOwnItemInOrder) {
    std::vector<std::string> files = {MakePicture("i1.png", 400, 200), MakePicture("i2.jpg", 200, 400, L"image/jpeg"),
                                      MakePicture("i3.bmp", 300, 300, L"image/bmp"), MakeWmf("i4.wmf", 192, 96)};
    desk.Import().Files(files, kItemPicture);
    ASSERT_EQ(Records(), 4u);
    ASSERT_EQ(desk.Live().Items().size(), 4u);
    int W, H;
    RECT m = desk.OuterRect(&W, &H);
    SIZE expected[] = {{360, 180}, {180, 360}, {360, 360}, {360, 180}};
    for (size_t i = 0; i < 4; i++) {
        ASSERT_NE(desk.Live().At(i), nullptr);
        EXPECT_EQ(desk.Live().At(i)->ItemType(), (uint32_t)kItemPicture);
        EXPECT_EQ(desk.Model().desks()[0][i].type, (uint32_t)kItemPicture);
        auto* rec = (PictureItemRecord*)desk.Model().desks()[0][i].get();
        EXPECT_STREQ(rec->path, files[i].c_str());
        RECT r;
        GetWindowRect(desk.Live().Items()[i]->ItemWindow(), &r);
        EXPECT_EQ(r.left, m.left);
        EXPECT_EQ(r.top, m.top + 50);
        EXPECT_EQ(r.right - r.left, expected[i].cx) << i;
        EXPECT_EQ(r.bottom - r.top, expected[i].cy) << i;
        EXPECT_FLOAT_EQ(rec->rect.left, (float)m.left / W);
        EXPECT_FLOAT_EQ(rec->rect.top, (float)(m.top + 50) / H);
        EXPECT_FLOAT_EQ(rec->rect.right, (float)(m.left + expected[i].cx) / W);
        EXPECT_FLOAT_EQ(rec->rect.bottom, (float)(m.top + 50 + expected[i].cy) / H);
    }
    // The last one imported is current, so Delete removes it.
    EXPECT_EQ(desk.Live().Current(), desk.Live().Items()[3]->ItemWindow());
    desk.OnDeleteItem();
    EXPECT_EQ(Records(), 3u);
    EXPECT_STREQ(((PictureItemRecord*)desk.Model().desks()[0][2].get())->path, files[2].c_str());
}

TEST_F(ImportTest, UndecodableFileAndFolderAddNothing) {
    std::string good = MakePicture("between.png", 400, 300);
    desk.Import().Files({MakeGarbage("nothing.jpg"), TestFolder(), good, TestFolder() + "missing.png"}, kItemPicture);
    ASSERT_EQ(Records(), 1u);
    ASSERT_EQ(desk.Live().Items().size(), 1u);
    EXPECT_STREQ(((PictureItemRecord*)desk.Model().desks()[0][0].get())->path, good.c_str());
}

TEST_F(ImportTest, RemoveFromTheItemRemovesExactlyThatItem) {
    std::vector<std::string> files = {MakePicture("r1.png", 400, 300), MakePicture("r2.png", 400, 300),
                                      MakePicture("r3.png", 400, 300)};
    desk.Import().Files(files, kItemPicture);
    ASSERT_EQ(Records(), 3u);
    HWND middle = desk.Live().Items()[1]->ItemWindow();
    // The menu's choice arrives as WM_COMMAND after the context menu selected the item.
    SendMessageA(middle, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(100, 100));
    MSG m;
    // The posted move request would wait for a real mouse button: drop it.
    TakePosted(middle, WM_NCLBUTTONDOWN, &m);
    EXPECT_EQ(desk.Live().Current(), middle);
    SendMessageA(middle, WM_COMMAND, ID_DESKITEM_REMOVE, 0);
    DrainQueue();
    EXPECT_FALSE(IsWindow(middle));
    ASSERT_EQ(Records(), 2u);
    EXPECT_STREQ(((PictureItemRecord*)desk.Model().desks()[0][0].get())->path, files[0].c_str());
    EXPECT_STREQ(((PictureItemRecord*)desk.Model().desks()[0][1].get())->path, files[2].c_str());
}

TEST_F(ImportTest, ARemovalRequestRemovesTheItemItNamesNotTheCurrentOne) {
    std::vector<std::string> files = {MakePicture("n1.png", 400, 300), MakePicture("n2.png", 400, 300),
                                      MakePicture("n3.png", 400, 300)};
    desk.Import().Files(files, kItemPicture);
    ASSERT_EQ(Records(), 3u);
    HWND first = desk.Live().Items()[0]->ItemWindow();
    HWND last = desk.Live().Items()[2]->ItemWindow();
    ASSERT_EQ(desk.Live().Current(), last);
    PostMessageA(desk.hwnd, WM_DESKITEM_REMOVE, 0, (LPARAM)first);
    DrainQueue();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(last));
    ASSERT_EQ(Records(), 2u);
    EXPECT_STREQ(((PictureItemRecord*)desk.Model().desks()[0][0].get())->path, files[1].c_str());
    EXPECT_STREQ(((PictureItemRecord*)desk.Model().desks()[0][1].get())->path, files[2].c_str());
}

TEST_F(ImportTest, DeskSwitchRestoresPicturesWhereTheyWere) {
    desk.Import().Files({MakePicture("sw1.png", 400, 300), MakePicture("sw2.png", 300, 400)}, kItemPicture);
    HWND first = desk.Live().Items()[0]->ItemWindow();
    MoveWindow(first, 200, 150, 400, 300, TRUE);
    desk.Live().Sync();
    desk.Live().Show();
    desk.Live().FinishBuild();
    ASSERT_EQ(desk.Live().Items().size(), 2u);
    RECT r;
    GetWindowRect(desk.Live().Items()[0]->ItemWindow(), &r);
    EXPECT_NEAR(r.left, 200, 1);
    EXPECT_NEAR(r.top, 150, 1);
    EXPECT_NEAR(r.right - r.left, 400, 1);
    EXPECT_NEAR(r.bottom - r.top, 300, 1);
}
