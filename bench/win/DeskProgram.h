// The real Sonadesk.exe as the benchmarks that start it see it: a clock, its process and main
// window, a probe of how long the window keeps the user waiting, and its private memory. Header
// only: each benchmark is one exe.
#pragma once
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace desk {

// Milliseconds on the performance counter.
inline double Now() {
    static LARGE_INTEGER freq{};
    if (!freq.QuadPart) QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)freq.QuadPart;
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Program {
    DWORD pid = 0;
    HANDLE process = nullptr;
    HWND main = nullptr;
};

// The program's visible 800 x 500 window.
inline BOOL CALLBACK FindMain(HWND h, LPARAM lp) {
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

// Sends the main window WM_NULL again and again from its own thread, `periodMs` apart, and keeps
// the longest time it took to answer while `measuring`: how long the program was frozen.
struct StallProbe {
    HWND main = nullptr;
    DWORD periodMs = 5;
    std::atomic<bool> stop{false};
    std::atomic<bool> measuring{false};
    std::atomic<double> longest{0};
    HANDLE thread = nullptr;

    static DWORD WINAPI Run(void* self) {
        auto* p = (StallProbe*)self;
        while (!p->stop) {
            double t0 = Now();
            DWORD_PTR r;
            SendMessageTimeoutA(p->main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &r);
            double took = Now() - t0;
            if (p->measuring && took > p->longest) p->longest = took;
            Sleep(p->periodMs);
        }
        return 0;
    }
    void Start(HWND h, DWORD period = 5) {
        main = h;
        periodMs = period;
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    // The longest freeze since the last call.
    double Take() {
        double v = longest;
        longest = 0;
        return v;
    }
    void Stop() {
        stop = true;
        if (thread) {
            WaitForSingleObject(thread, 70000);
            CloseHandle(thread);
        }
    }
};

// Private bytes of the program, read through kernel32's K32GetProcessMemoryInfo.
inline double PrivateMegabytes(HANDLE process) {
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

// Starts `exe` in `folder` and waits for its main window and first paint; `bench` names the
// benchmark in what it prints when that fails.
inline bool StartProgram(const std::string& exe, const std::string& folder, const char* bench, Program* p) {
    *p = Program{};
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) {
        std::printf("%s: cannot start %s\n", bench, exe.c_str());
        return false;
    }
    CloseHandle(pi.hThread);
    p->pid = pi.dwProcessId;
    p->process = pi.hProcess;
    for (int waited = 0; !p->main && waited < 30000; waited += 50) {
        Sleep(50);
        EnumWindows(FindMain, (LPARAM)p);
    }
    if (!p->main) {
        std::printf("%s: the main window did not appear\n", bench);
        TerminateProcess(p->process, 1);
        return false;
    }
    Sleep(1500);  // past the first-paint timer
    return true;
}

// Ends the program the hard way (nothing is saved, so it starts on desk 1 again).
inline void StopProgram(Program* p) {
    TerminateProcess(p->process, 0);
    WaitForSingleObject(p->process, 10000);
    CloseHandle(p->process);
    p->process = nullptr;
}

}  // namespace desk
