// Start-up benchmark: time from process start to the first full paint of the main window, for
// Sonadesk.exe against a minimal program that only opens an 800x500 window, alternated under one
// Wine server; once with an empty desk, once with 20 camera photos (4000x3000 JPEG) on the desk
// shown, and for that one also the time until the last photo shows.
// "Full paint" = the window's pixels on screen (centre and top band) show what they show once
// the program has settled, learned from one warm-up run of each program. The photos lie around
// the main window, never over those pixels. A photo "shows" when its item window is visible and
// no longer waits for its picture (the item's pending property is gone).
//   bench_startup SONADESK_EXE MINIMAL_EXE [RUNS [PHOTO_SONADESK_EXE]]
// PHOTO_SONADESK_EXE is a copy of Sonadesk.exe in a folder of its own, where the photos and the
// desk store are made. Its first start reads every photo (no display copies kept yet) and is
// reported apart; the median is of the starts after it.
// On a display of another density the main window is 800x500 scaled by it (a DPI-aware program)
// or 800x500 (one that is not); either is found, and the sampled pixels scale with it.
#include "bench/win/PhotoFiles.h"

#include <cstdlib>

struct Target {
    std::string exe;
    int width = 0, height = 0;  // of the main window, as found
    COLORREF centre = CLR_INVALID, band = CLR_INVALID;
    int photos = 0;  // item windows to wait for after the first paint
};

struct Found {
    DWORD pid;
    HWND hwnd;
};

// Windows Vista and later, so not in the headers for the oldest Windows the program targets.
static void BecomeDpiAware() {
    typedef BOOL(WINAPI * SetProcessDpiAwareFn)();
    SetProcessDpiAwareFn aware = reinterpret_cast<SetProcessDpiAwareFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware")));
    if (aware) aware();
}

// The screen's density, as Wine reports it to any program.
static int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

static bool MainWindowSize(int w, int h) {
    int dpi = ScreenDpi();
    return (w == 800 && h == 500) || (w == MulDiv(800, dpi, 96) && h == MulDiv(500, dpi, 96));
}

static BOOL CALLBACK FindWindowOf(HWND h, LPARAM lp) {
    Found* f = (Found*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    RECT r;
    if (pid == f->pid && IsWindowVisible(h) && GetWindowRect(h, &r) &&
        MainWindowSize(r.right - r.left, r.bottom - r.top)) {
        f->hwnd = h;
        return FALSE;
    }
    return TRUE;
}

struct Shown {
    DWORD pid;
    HWND main;
    int count;
};

static BOOL CALLBACK CountShownPhotos(HWND h, LPARAM lp) {
    Shown* s = (Shown*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    LONG ex = GetWindowLongA(h, GWL_EXSTYLE);
    if (pid == s->pid && IsWindowVisible(h) && GetWindow(h, GW_OWNER) == s->main &&
        (ex & (WS_EX_LAYERED | WS_EX_TOOLWINDOW)) == (WS_EX_LAYERED | WS_EX_TOOLWINDOW) &&
        !GetPropA(h, photos::kPendingProperty))
        s->count++;
    return TRUE;
}

static void Sample(HWND h, COLORREF* centre, COLORREF* band) {
    RECT r;
    GetWindowRect(h, &r);
    HDC screen = GetDC(nullptr);
    int w = r.right - r.left, hh = r.bottom - r.top;
    *centre = GetPixel(screen, r.left + w / 2, r.top + hh / 2);
    *band = GetPixel(screen, r.left + MulDiv(600, w, 800), r.top + MulDiv(5, hh, 500));
    ReleaseDC(nullptr, screen);
}

static void Kill(PROCESS_INFORMATION& pi) {
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    Sleep(300);
}

struct Timing {
    double firstPaint = -1;  // ms until the settled pixels show
    double lastPhoto = -1;   // ms until every photo shows (targets with photos)
};

// One run (learn = record the settled pixels after 4 s instead of timing).
static Timing Run(Target& t, bool learn) {
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + t.exe + "\"";
    std::string dir = t.exe.substr(0, t.exe.find_last_of('\\') + 1);
    LARGE_INTEGER freq, start, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    Timing out;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) return out;
    auto elapsed = [&] {
        QueryPerformanceCounter(&now);
        return 1000.0 * (now.QuadPart - start.QuadPart) / freq.QuadPart;
    };
    Found f{pi.dwProcessId, nullptr};
    while (elapsed() < 20000) {
        if (!f.hwnd) EnumWindows(FindWindowOf, (LPARAM)&f);
        if (f.hwnd) {
            if (learn) {
                Sleep(4000);
                RECT r;
                GetWindowRect(f.hwnd, &r);
                t.width = r.right - r.left;
                t.height = r.bottom - r.top;
                Sample(f.hwnd, &t.centre, &t.band);
                out.firstPaint = 0;
                break;
            }
            COLORREF c, b;
            Sample(f.hwnd, &c, &b);
            if (c == t.centre && b == t.band) {
                out.firstPaint = elapsed();
                break;
            }
        }
        Sleep(1);
    }
    while (!learn && t.photos > 0 && out.firstPaint >= 0 && elapsed() < 120000) {
        Shown s{pi.dwProcessId, f.hwnd, 0};
        EnumWindows(CountShownPhotos, (LPARAM)&s);
        if (s.count >= t.photos) {
            out.lastPhoto = elapsed();
            break;
        }
        Sleep(5);
    }
    Kill(pi);
    return out;
}

static double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Twenty photos and a store of one desk that shows them in rows above and below the main window
// (centred on the 1280x1024 screen at 240, 262), away from the pixels the benchmark samples.
static bool MakePhotoDesk(const std::string& exe, int count) {
    std::string folder = exe.substr(0, exe.find_last_of('\\') + 1);
    std::string pictures = folder + "pictures\\";
    CreateDirectoryA(pictures.c_str(), nullptr);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    std::vector<std::string> paths;
    std::vector<std::vector<photos::Placed>> desks(1);
    const int w = 160, h = 120, perRow = 7;
    const int rows[] = {5, 135, 770};
    for (int i = 0; i < count; i++) {
        char name[32];
        std::snprintf(name, sizeof name, "camera%02d.jpg", i);
        paths.push_back(pictures + name);
        int x = 5 + (i % perRow) * (w + 10), y = rows[i / perRow];
        desks[0].push_back({paths.back(), x, y, x + w, y + h});
    }
    bool ok = photos::MakePictures(paths) && photos::WriteStore(folder + "Data\\", desks, 0);
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: bench_startup SONADESK_EXE MINIMAL_EXE [RUNS [PHOTO_SONADESK_EXE]]\n");
        return 2;
    }
    // Window places, sizes and screen pixels in physical pixels, whatever the density.
    BecomeDpiAware();
    Target sona{argv[1]}, minimal{argv[2]};
    int runs = argc > 3 ? std::atoi(argv[3]) : 7;
    const int kPhotos = 20;
    Target photoDesk{argc > 4 ? argv[4] : ""};
    photoDesk.photos = kPhotos;
    if (!photoDesk.exe.empty() && !MakePhotoDesk(photoDesk.exe, kPhotos)) {
        std::printf("startup: could not make the photos or the store beside %s\n", photoDesk.exe.c_str());
        return 1;
    }
    Run(sona, true);
    Run(minimal, true);
    // The photo desk's main window settles on the same pixels as the empty one's.
    photoDesk.centre = sona.centre;
    photoDesk.band = sona.band;
    Timing cold;
    if (!photoDesk.exe.empty()) cold = Run(photoDesk, false);

    std::vector<double> a, b, p, last;
    for (int i = 0; i < runs; i++) {
        Timing x = Run(sona, false), y = Run(minimal, false);
        if (x.firstPaint > 0) a.push_back(x.firstPaint);
        if (y.firstPaint > 0) b.push_back(y.firstPaint);
        if (!photoDesk.exe.empty()) {
            Timing z = Run(photoDesk, false), y2 = Run(minimal, false);
            if (z.firstPaint > 0) p.push_back(z.firstPaint);
            if (z.lastPhoto > 0) last.push_back(z.lastPhoto);
            if (y2.firstPaint > 0) b.push_back(y2.firstPaint);
        }
    }
    double ma = Median(a), mb = Median(b);
    std::printf("startup at %d DPI: Sonadesk's main window %dx%d, the minimal window %dx%d\n", ScreenDpi(), sona.width,
                sona.height, minimal.width, minimal.height);
    std::printf("startup: Sonadesk %.0f ms, minimal window %.0f ms (median of %d), ratio %.2f (goal <= 1.15)\n", ma,
                mb, runs, mb > 0 ? ma / mb : 0.0);
    if (!photoDesk.exe.empty()) {
        double mp = Median(p);
        std::printf("startup with %d photos on the desk: first paint %.0f ms, ratio %.2f (goal <= 1.15); "
                    "last photo shown %.0f ms (median of %d)\n",
                    kPhotos, mp, mb > 0 ? mp / mb : 0.0, Median(last), runs);
        std::printf("  first start of the photo desk (no display copies yet): first paint %.0f ms, last photo %.0f ms\n",
                    cold.firstPaint, cold.lastPhoto);
    }
    return 0;
}
