// Every resource the program needs is in the built Sonadesk.exe with its type, id and size,
// read back from the exe itself (mapped as a data file), not from the sources.
#include <gtest/gtest.h>

#include <memory>

#include "platform/Gdi.h"
#include "res/resource.h"

namespace sona {
namespace {

class ExeResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        exe = LoadLibraryExA("Sonadesk.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (exe) FreeLibrary(exe);
        exe = nullptr;
    }
    // The raw bytes of a resource, or empty.
    static std::string Bytes(UINT id, const char* type) {
        HRSRC r = FindResourceA(exe, MAKEINTRESOURCEA(id), type);
        if (!r) return std::string();
        HGLOBAL g = LoadResource(exe, r);
        const char* p = (const char*)LockResource(g);
        return p ? std::string(p, SizeofResource(exe, r)) : std::string();
    }
    static HMODULE exe;
};
HMODULE ExeResources::exe = nullptr;

struct Sized {
    UINT id;
    int w, h;
};

// Decodes a PNG resource with GDI+ and returns its size and pixel format.
static bool PngSize(const std::string& bytes, int* w, int* h, Gdiplus::PixelFormat* format) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) return false;
    Gdiplus::Bitmap* bmp = Gdiplus::Bitmap::FromStream(stream);
    bool ok = bmp && bmp->GetLastStatus() == Gdiplus::Ok;
    if (ok) {
        *w = (int)bmp->GetWidth();
        *h = (int)bmp->GetHeight();
        *format = bmp->GetPixelFormat();
    }
    delete bmp;
    stream->Release();
    return ok;
}

TEST_F(ExeResources, PngSkinsHaveTheirSizesAndAlpha) {
    ASSERT_NE(exe, nullptr);
    const Sized pngs[] = {
        {207, 1024, 28}, {208, 29, 600}, {211, 32, 33}, {212, 29, 600}, {213, 116, 84}, {214, 32, 33},
        {215, 900, 86},  {216, 184, 85}, {219, 312, 155}, {278, 122, 123}, {279, 133, 130}, {234, 800, 600},
        {257, 35, 35},   {258, 35, 35},  {265, 35, 35},  {266, 35, 35},  {255, 21, 21},  {256, 21, 21},
        {261, 21, 21},   {262, 21, 21},  {263, 21, 21},  {264, 21, 21},  {259, 21, 20},  {267, 21, 20},
        {252, 18, 19},   {253, 18, 19},  {254, 18, 19},  {268, 18, 19},  {269, 18, 19},  {270, 18, 19},
    };
    for (const Sized& s : pngs) {
        int w = 0, h = 0;
        Gdiplus::PixelFormat f = 0;
        ASSERT_TRUE(PngSize(Bytes(s.id, "PNG"), &w, &h, &f)) << "PNG " << s.id;
        EXPECT_EQ(w, s.w) << "PNG " << s.id;
        EXPECT_EQ(h, s.h) << "PNG " << s.id;
        EXPECT_TRUE(Gdiplus::IsAlphaPixelFormat(f)) << "PNG " << s.id;
    }
    // The tab strip and the command pictures: present, decodable, with alpha.
    for (UINT id : {220u, 221u, 222u, 223u, 224u, 225u, 226u, 227u, 240u, 241u, 242u, 243u, 244u, 245u, 246u, 247u,
                    248u, 249u, 250u, 251u}) {
        int w = 0, h = 0;
        Gdiplus::PixelFormat f = 0;
        ASSERT_TRUE(PngSize(Bytes(id, "PNG"), &w, &h, &f)) << "PNG " << id;
        EXPECT_GT(w, 0);
        EXPECT_TRUE(Gdiplus::IsAlphaPixelFormat(f)) << "PNG " << id;
    }
}

// The first paint draws the tabs, arrows and command buttons before GDI+ is loaded, from twins the
// build made of their PNGs: each twin must be its PNG, pixel for pixel, premultiplied.
TEST_F(ExeResources, FirstPaintSkinsAreTheirPngsPremultiplied) {
    ASSERT_NE(exe, nullptr);
    const UINT twins[] = {IDP_TAB, IDP_TAB_SELECTED, IDP_ARROW_LEFT, IDP_ARROW_RIGHT, IDP_CMD_ADD_TEXT,
                          IDP_CMD_MUSIC, IDP_CMD_PICTURE, IDP_CMD_MOVIE, IDP_CMD_CREATE_DESK, IDP_CMD_DELETE,
                          IDP_CMD_REMOVE_DESK, IDP_CMD_EXIT, IDP_CMD_ADD_TEXT_HOVER, IDP_CMD_EXIT_HOVER,
                          IDP_CMD_MUSIC_HOVER, IDP_CMD_PICTURE_HOVER, IDP_CMD_MOVIE_HOVER,
                          IDP_CMD_CREATE_DESK_HOVER, IDP_CMD_DELETE_HOVER, IDP_CMD_REMOVE_DESK_HOVER};
    for (UINT id : twins) {
        std::string twin = Bytes(id, "SKIN");
        ASSERT_GE(twin.size(), 8u) << "no twin of PNG " << id;
        uint32_t w = *(const uint32_t*)&twin[0], h = *(const uint32_t*)&twin[4];
        ASSERT_EQ(twin.size(), 8 + (size_t)w * h * 4) << "PNG " << id;

        std::string png = Bytes(id, "PNG");
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, png.size());
        memcpy(GlobalLock(block), png.data(), png.size());
        GlobalUnlock(block);
        IStream* stream = nullptr;
        ASSERT_TRUE(SUCCEEDED(CreateStreamOnHGlobal(block, TRUE, &stream)));
        std::unique_ptr<Gdiplus::Bitmap> bmp(Gdiplus::Bitmap::FromStream(stream));
        stream->Release();
        ASSERT_TRUE(bmp && bmp->GetLastStatus() == Gdiplus::Ok) << "PNG " << id;
        ASSERT_EQ(bmp->GetWidth(), w) << "PNG " << id;
        ASSERT_EQ(bmp->GetHeight(), h) << "PNG " << id;
        int off = 0;
        for (uint32_t y = 0; y < h; y++)
            for (uint32_t x = 0; x < w; x++) {
                Gdiplus::Color c;
                bmp->GetPixel((INT)x, (INT)y, &c);
                const unsigned char* p = (const unsigned char*)&twin[8 + ((size_t)y * w + x) * 4];
                int a = c.GetA();
                int want[4] = {(c.GetB() * a + 127) / 255, (c.GetG() * a + 127) / 255, (c.GetR() * a + 127) / 255, a};
                for (int k = 0; k < 4; k++) off += p[k] != want[k];
            }
        EXPECT_EQ(off, 0) << "PNG " << id << ": channels that differ from its twin";
    }
}

TEST_F(ExeResources, BitmapsHaveTheirSizes) {
    ASSERT_NE(exe, nullptr);
    // Width and height; 0 means "at least as large as the other entries need" (checked below).
    const Sized bitmaps[] = {
        {158, 17, 10},  {159, 17, 10},  {161, 17, 1},   {162, 17, 16},  {163, 17, 16},  {164, 68, 25},
        {165, 68, 25},  {1181, 68, 25}, {129, 11, 11},  {141, 11, 11},  {142, 11, 11},  {189, 16, 12},
        {218, 16, 16},  {239, 16, 16},  {241, 16, 16},  {242, 16, 16},  {243, 16, 16},  {244, 16, 16},
        {245, 16, 16},  {246, 16, 16},  {247, 16, 16},  {229, 355, 120}, {230, 800, 64}, {1182, 800, 50},
    };
    for (const Sized& s : bitmaps) {
        HBITMAP b = (HBITMAP)LoadImageA(exe, MAKEINTRESOURCEA(s.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        ASSERT_NE(b, nullptr) << "bitmap " << s.id;
        BITMAP bm{};
        GetObjectA(b, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, s.w) << "bitmap " << s.id;
        EXPECT_EQ(bm.bmHeight, s.h) << "bitmap " << s.id;
        DeleteObject(b);
    }
    struct AtLeast {
        UINT id;
        int w, h;
    } minimum[] = {{154, 64, 59}, {160, 17, 1}, {187, 1, 13}, {233, 1, 1}, {271, 160, 20}};
    for (const AtLeast& s : minimum) {
        HBITMAP b = (HBITMAP)LoadImageA(exe, MAKEINTRESOURCEA(s.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        ASSERT_NE(b, nullptr) << "bitmap " << s.id;
        BITMAP bm{};
        GetObjectA(b, sizeof bm, &bm);
        EXPECT_GE(bm.bmWidth, s.w) << "bitmap " << s.id;
        EXPECT_GE(bm.bmHeight, s.h) << "bitmap " << s.id;
        DeleteObject(b);
    }
}

TEST_F(ExeResources, IconCursorDialogsMediaAndLanguagePack) {
    ASSERT_NE(exe, nullptr);
    for (int size : {16, 32, 48}) {
        HICON icon = (HICON)LoadImageA(exe, MAKEINTRESOURCEA(IDI_SONADESK), IMAGE_ICON, size, size, 0);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO ii{};
        GetIconInfo(icon, &ii);
        BITMAP bm{};
        GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, size);
        if (ii.hbmColor) DeleteObject(ii.hbmColor);
        if (ii.hbmMask) DeleteObject(ii.hbmMask);
        DestroyIcon(icon);
    }
    EXPECT_NE(FindResourceA(exe, MAKEINTRESOURCEA(IDC_HAND_LINK), (LPCSTR)RT_GROUP_CURSOR), nullptr);
    for (UINT id : {IDD_MAIN_DESK, IDD_ABOUT, IDD_ADD_TEXT})
        EXPECT_NE(FindResourceA(exe, MAKEINTRESOURCEA(id), (LPCSTR)RT_DIALOG), nullptr) << "dialog " << id;
    std::string jpg = Bytes(IDR_DEMO_JPG, "IDR_RES");
    ASSERT_GT(jpg.size(), 4u);
    EXPECT_EQ(jpg.substr(0, 2), std::string("\xFF\xD8", 2));
    EXPECT_NE(jpg.find("JFIF"), std::string::npos);
    std::string mp3 = Bytes(IDR_DEMO_MP3, "IDR_RES");
    ASSERT_GT(mp3.size(), 10000u);
    bool id3 = mp3.compare(0, 3, "ID3") == 0;
    bool frame = (unsigned char)mp3[0] == 0xFF && ((unsigned char)mp3[1] & 0xE6) == 0xE2;  // layer III sync
    EXPECT_TRUE(id3 || frame);
    EXPECT_EQ(Bytes(IDR_LANG_PACK, "IDR_ENG_LANG").size(), 19760u);
}

}  // namespace
}  // namespace sona
