// Camera-sized photos and a desk store that shows them, for the benchmarks that start the real
// Sonadesk.exe on photo desks (start-up, desk switch). Header only: each benchmark is one exe.
#pragma once
#include <windows.h>
#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace photos {

const int kWidth = 4000, kHeight = 3000;
// Set by a picture item while its picture is still being read.
const char kPendingProperty[] = "SonadeskPicturePending";

inline std::wstring Wide(const std::string& s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
    w.resize(n - 1);
    return w;
}

inline bool JpegEncoder(CLSID* clsid) {
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

// Different pictures with gradients and shapes, so the decoder has real work to do; files that
// exist already are kept. GDI+ must be running.
inline bool MakePictures(const std::vector<std::string>& paths) {
    CLSID jpeg;
    if (!JpegEncoder(&jpeg)) return false;
    for (size_t i = 0; i < paths.size(); i++) {
        if (GetFileAttributesA(paths[i].c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        Gdiplus::Bitmap bmp(kWidth, kHeight, PixelFormat24bppRGB);
        Gdiplus::Graphics g(&bmp);
        Gdiplus::LinearGradientBrush grad(Gdiplus::Point(0, 0), Gdiplus::Point(kWidth, kHeight),
                                          Gdiplus::Color(255, (BYTE)(i * 12), 80, 200),
                                          Gdiplus::Color(255, 240, (BYTE)(255 - i * 12), 40));
        g.FillRectangle(&grad, 0, 0, kWidth, kHeight);
        for (int k = 0; k < 40; k++) {
            Gdiplus::SolidBrush dot(Gdiplus::Color(255, (BYTE)(k * 6), (BYTE)(i * 11), (BYTE)(k * 3 + i)));
            g.FillEllipse(&dot, (int)((k * 397 + i * 131) % kWidth), (int)((k * 211 + i * 89) % kHeight), 300, 220);
        }
        if (bmp.Save(Wide(paths[i]).c_str(), &jpeg, nullptr) != Gdiplus::Ok) return false;
    }
    return true;
}

// A picture on a desk: its file and its place in screen pixels of an 800 by 500 main window.
struct Placed {
    std::string path;
    int left, top, right, bottom;
};

inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; i++) out.push_back((uint8_t)(v >> (8 * i)));
}

inline void PutFloat(std::vector<uint8_t>& out, float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    Put32(out, v);
}

// Writes `store` as both "Media" and "Media_bak" in `dataFolder` (made when missing).
inline bool WriteStoreFiles(const std::string& dataFolder, const std::vector<uint8_t>& store) {
    CreateDirectoryA(dataFolder.c_str(), nullptr);
    for (const char* name : {"Media", "Media_bak"}) {
        FILE* f = std::fopen((dataFolder + name).c_str(), "wb");
        if (!f) return false;
        std::fwrite(store.data(), 1, store.size(), f);
        std::fclose(f);
    }
    return true;
}

// Writes "Media" and "Media_bak" in `dataFolder`: the desks in order, picture records only.
inline bool WriteStore(const std::string& dataFolder, const std::vector<std::vector<Placed>>& desks,
                       uint32_t current) {
    std::vector<uint8_t> out;
    Put32(out, (uint32_t)desks.size());
    Put32(out, current);
    for (const auto& desk : desks) {
        Put32(out, (uint32_t)desk.size());
        for (const Placed& p : desk) {
            Put32(out, 3);
            char path[260] = {};
            std::strncpy(path, p.path.c_str(), 259);
            out.insert(out.end(), path, path + 260);
            PutFloat(out, p.left / 800.0f);
            PutFloat(out, p.top / 500.0f);
            PutFloat(out, p.right / 800.0f);
            PutFloat(out, p.bottom / 500.0f);
            out.insert(out.end(), 16, 0);
        }
    }
    return WriteStoreFiles(dataFolder, out);
}

}  // namespace photos
