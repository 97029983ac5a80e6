// Desk-switch benchmark: how long the real Sonadesk.exe takes to show a desk of 20 camera-sized
// pictures (4000 by 3000 JPEG), against decoding the same 20 files once with GDI+ in a bare loop.
// Goal: a switch to a desk seen before costs at most half of that decode.
//   bench_desk_switch FOLDER_WITH_SONADESK_EXE [ROUNDS]
// The folder gets the pictures and a desk store (desk 1 empty, desk 2 the 20 pictures, desk 1
// current). The program is started there; its tabs are clicked by posted mouse messages, and a
// switch counts as done when the program answers a sent message and shows all 20 item windows.
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

namespace {

const int kPictures = 20;
const int kWidth = 4000, kHeight = 3000;

double Now() {
    static LARGE_INTEGER freq{};
    if (!freq.QuadPart) QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)freq.QuadPart;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::wstring Wide(const std::string& s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
    w.resize(n - 1);
    return w;
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

// Twenty different pictures with gradients and shapes, so the decoder has real work to do.
bool MakePictures(const std::vector<std::string>& paths) {
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

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; i++) out.push_back((uint8_t)(v >> (8 * i)));
}

void PutFloat(std::vector<uint8_t>& out, float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    Put32(out, v);
}

// The store: desk 1 empty, desk 2 with the pictures in a 5 by 4 grid of 200 by 150 windows.
// Rectangles are relative to the main window's outer size, 800 by 500.
bool WriteStore(const std::string& dataFolder, const std::vector<std::string>& paths) {
    std::vector<uint8_t> out;
    Put32(out, 2);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, (uint32_t)paths.size());
    for (size_t i = 0; i < paths.size(); i++) {
        Put32(out, 3);
        char path[260] = {};
        std::strncpy(path, paths[i].c_str(), 259);
        out.insert(out.end(), path, path + 260);
        int x = 20 + (int)(i % 5) * 210, y = 20 + (int)(i / 5) * 160;
        PutFloat(out, x / 800.0f);
        PutFloat(out, y / 500.0f);
        PutFloat(out, (x + 200) / 800.0f);
        PutFloat(out, (y + 150) / 500.0f);
        out.insert(out.end(), 16, 0);
    }
    CreateDirectoryA(dataFolder.c_str(), nullptr);
    for (const char* name : {"Media", "Media_bak"}) {
        FILE* f = std::fopen((dataFolder + name).c_str(), "wb");
        if (!f) return false;
        std::fwrite(out.data(), 1, out.size(), f);
        std::fclose(f);
    }
    return true;
}

// The bare decode: every file read and decoded by GDI+, its size asked, then freed.
double DecodeAll(const std::vector<std::string>& paths) {
    double t0 = Now();
    for (auto& p : paths) {
        Gdiplus::Bitmap bmp(Wide(p).c_str(), FALSE);
        // Reading one pixel makes lazy decoders (Windows' own GDI+) decode the file too.
        Gdiplus::Color c;
        bmp.GetPixel(kWidth / 2, kHeight / 2, &c);
        if (bmp.GetWidth() != (UINT)kWidth) std::printf("decode failed: %s\n", p.c_str());
    }
    return Now() - t0;
}

struct Program {
    DWORD pid = 0;
    HANDLE process = nullptr;
    HWND main = nullptr;
};

BOOL CALLBACK FindMain(HWND h, LPARAM lp) {
    Program* p = (Program*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    RECT r;
    if (pid == p->pid && IsWindowVisible(h) && GetWindowRect(h, &r) && r.right - r.left == 800 &&
        r.bottom - r.top == 500) {
        p->main = h;
        return FALSE;
    }
    return TRUE;
}

struct Counter {
    const Program* p;
    int items;
};

BOOL CALLBACK CountItems(HWND h, LPARAM lp) {
    Counter* c = (Counter*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    LONG ex = GetWindowLongA(h, GWL_EXSTYLE);
    if (pid == c->p->pid && IsWindowVisible(h) && GetWindow(h, GW_OWNER) == c->p->main &&
        (ex & (WS_EX_LAYERED | WS_EX_TOOLWINDOW)) == (WS_EX_LAYERED | WS_EX_TOOLWINDOW))
        c->items++;
    return TRUE;
}

int Items(const Program& p) {
    Counter c{&p, 0};
    EnumWindows(CountItems, (LPARAM)&c);
    return c.items;
}

// Clicks desk tab `desk` (0-based) and waits until the program is idle with `expected` items.
double SwitchTo(const Program& p, int desk, int expected) {
    int x = 16 + desk * 34 + 17, y = 9 + 17;
    LPARAM at = (LPARAM)((y << 16) | x);
    double t0 = Now();
    PostMessageA(p.main, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(p.main, WM_LBUTTONUP, 0, at);
    for (;;) {
        DWORD_PTR r;
        SendMessageTimeoutA(p.main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &r);
        if (Items(p) == expected) break;
        if (Now() - t0 > 120000) {
            std::printf("switch to desk %d timed out with %d items\n", desk + 1, Items(p));
            break;
        }
        Sleep(1);
    }
    return Now() - t0;
}

// Private bytes of the program, read through kernel32's K32GetProcessMemoryInfo.
double PrivateMegabytes(HANDLE process) {
    struct Counters {
        DWORD cb, PageFaultCount;
        SIZE_T PeakWorkingSetSize, WorkingSetSize, QuotaPeakPagedPoolUsage, QuotaPagedPoolUsage,
            QuotaPeakNonPagedPoolUsage, QuotaNonPagedPoolUsage, PagefileUsage, PeakPagefileUsage;
    } c{};
    c.cb = sizeof c;
    using Fn = BOOL(WINAPI*)(HANDLE, Counters*, DWORD);
    Fn fn = (Fn)GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo");
    if (!fn || !fn(process, &c, sizeof c)) return -1;
    return c.PagefileUsage / 1048576.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: bench_desk_switch FOLDER_WITH_SONADESK_EXE [ROUNDS]\n");
        return 2;
    }
    std::string folder = argv[1];
    if (folder.back() != '\\') folder += '\\';
    int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    std::string pictures = folder + "pictures\\";
    CreateDirectoryA(pictures.c_str(), nullptr);
    std::vector<std::string> paths;
    for (int i = 0; i < kPictures; i++) {
        char name[32];
        std::snprintf(name, sizeof name, "camera%02d.jpg", i);
        paths.push_back(pictures + name);
    }
    if (!MakePictures(paths) || !WriteStore(folder + "Data\\", paths)) {
        std::printf("desk-switch: could not make the pictures or the store in %s\n", folder.c_str());
        return 1;
    }

    // Baseline first, once to warm the file cache, then measured.
    DecodeAll(paths);
    std::vector<double> decodes;
    for (int r = 0; r < rounds; r++) decodes.push_back(DecodeAll(paths));

    Program p;
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::string exe = folder + "Sonadesk.exe";
    std::string cmd = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) {
        std::printf("desk-switch: cannot start %s\n", exe.c_str());
        return 1;
    }
    CloseHandle(pi.hThread);
    p.pid = pi.dwProcessId;
    p.process = pi.hProcess;
    for (int waited = 0; !p.main && waited < 30000; waited += 50) {
        Sleep(50);
        EnumWindows(FindMain, (LPARAM)&p);
    }
    if (!p.main) {
        std::printf("desk-switch: the main window did not appear\n");
        TerminateProcess(p.process, 1);
        return 1;
    }
    Sleep(1500);  // past the first-paint timer
    double memStart = PrivateMegabytes(p.process);

    double cold = SwitchTo(p, 1, kPictures);
    double memCold = PrivateMegabytes(p.process);
    std::vector<double> warm, back;
    for (int r = 0; r < rounds; r++) {
        back.push_back(SwitchTo(p, 0, 0));
        warm.push_back(SwitchTo(p, 1, kPictures));
    }
    double memWarm = PrivateMegabytes(p.process);
    TerminateProcess(p.process, 0);
    WaitForSingleObject(p.process, 10000);
    CloseHandle(p.process);
    Gdiplus::GdiplusShutdown(token);

    double decode = Median(decodes), switchWarm = Median(warm);
    std::printf("desk-switch: %d pictures of %dx%d, %d rounds (medians)\n", kPictures, kWidth, kHeight, rounds);
    std::printf("  bare GDI+ decode of the 20 files   %8.1f ms\n", decode);
    std::printf("  first switch to the desk (cold)    %8.1f ms\n", cold);
    std::printf("  switch to the desk seen before     %8.1f ms\n", switchWarm);
    std::printf("  switch back to the empty desk      %8.1f ms\n", Median(back));
    std::printf("  program private memory: %.1f MB at start, %.1f MB after the first switch, %.1f MB after %d more\n",
                memStart, memCold, memWarm, rounds);
    double ratio = decode > 0 ? switchWarm / decode : 0;
    std::printf("  ratio switch / decode = %.3f (goal <= 0.5): %s\n", ratio, ratio <= 0.5 ? "met" : "NOT met");
    return 0;
}
