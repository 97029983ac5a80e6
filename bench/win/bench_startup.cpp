// Start-up benchmark: time from process start to the first full paint of the main window, for
// Sonadesk.exe against a minimal program that only opens an 800x500 window, alternated.
// "Full paint" = the window's pixels on screen (centre and top band) show what they show once
// the program has settled, learned from one warm-up run of each program.
//   bench_startup SONADESK_EXE MINIMAL_EXE [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct Target {
    std::string exe;
    COLORREF centre = CLR_INVALID, band = CLR_INVALID;
};

struct Found {
    DWORD pid;
    HWND hwnd;
};

static BOOL CALLBACK FindWindowOf(HWND h, LPARAM lp) {
    Found* f = (Found*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    RECT r;
    if (pid == f->pid && IsWindowVisible(h) && GetWindowRect(h, &r) && r.right - r.left == 800 &&
        r.bottom - r.top == 500) {
        f->hwnd = h;
        return FALSE;
    }
    return TRUE;
}

static void Sample(HWND h, COLORREF* centre, COLORREF* band) {
    RECT r;
    GetWindowRect(h, &r);
    HDC screen = GetDC(nullptr);
    *centre = GetPixel(screen, r.left + 400, r.top + 250);
    *band = GetPixel(screen, r.left + 600, r.top + 5);
    ReleaseDC(nullptr, screen);
}

static void Kill(PROCESS_INFORMATION& pi) {
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    Sleep(300);
}

// One run: milliseconds until the settled pixels show (learn = record them after 4 s instead).
static double Run(Target& t, bool learn) {
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + t.exe + "\"";
    LARGE_INTEGER freq, start, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    Found f{pi.dwProcessId, nullptr};
    double ms = -1;
    for (;;) {
        QueryPerformanceCounter(&now);
        double elapsed = 1000.0 * (now.QuadPart - start.QuadPart) / freq.QuadPart;
        if (elapsed > 20000) break;
        if (!f.hwnd) EnumWindows(FindWindowOf, (LPARAM)&f);
        if (f.hwnd) {
            if (learn) {
                Sleep(4000);
                Sample(f.hwnd, &t.centre, &t.band);
                ms = 0;
                break;
            }
            COLORREF c, b;
            Sample(f.hwnd, &c, &b);
            if (c == t.centre && b == t.band) {
                ms = elapsed;
                break;
            }
        }
        Sleep(1);
    }
    Kill(pi);
    return ms;
}

static double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: bench_startup SONADESK_EXE MINIMAL_EXE [RUNS]\n");
        return 2;
    }
    Target sona{argv[1]}, minimal{argv[2]};
    int runs = argc > 3 ? std::atoi(argv[3]) : 7;
    Run(sona, true);
    Run(minimal, true);
    std::vector<double> a, b;
    for (int i = 0; i < runs; i++) {
        double x = Run(sona, false), y = Run(minimal, false);
        if (x > 0) a.push_back(x);
        if (y > 0) b.push_back(y);
    }
    double ma = Median(a), mb = Median(b);
    std::printf("startup: Sonadesk %.0f ms, minimal window %.0f ms (median of %d), ratio %.2f (goal <= 1.15)\n", ma,
                mb, runs, mb > 0 ? ma / mb : 0.0);
    return 0;
}
