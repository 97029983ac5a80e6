// Test probe, run under the same Wine as Sonadesk: finds the program's windows and prints what
// the end-to-end tests check (rectangles, styles, properties), one JSON object per line, and
// posts or sends messages on request.
//   probe windows             every top-level window of the running Sonadesk process
//   probe wait-main SECONDS   waits for the main window, prints it (exit 1 if it never comes)
//   probe children HWND       the child windows of a window
//   probe post|send HWND MSG WPARAM LPARAM   (numbers in decimal or 0x hex)
//   probe foreground          the foreground and focus windows
//   probe text HWND           the window's text as WM_GETTEXT gives it (a tooltip: its tip)
//   probe profile SECTION KEY the value of a key of Sonadesk.ini; profile-clear empties CommandPath
//   probe zorder              every visible top-level window of any process, topmost first
//   probe broadcast NAME      sends the registered message NAME to every top-level window
//   probe hold-hotkey SECONDS holds Ctrl+Alt+D for that long (prints {"held": 1} once it has it)
//   probe ping HWND SECONDS   sends the window WM_NULL again and again for that long: how long its
//                             answers took (the longest is how long it froze) and how many visible
//                             windows it owned at the first and the last answer (last line; each
//                             new longest answer is printed as it comes)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static const char kInstanceName[] = "0xa8eb1243, 0x1751, 0x4fea, 0xa7, 0x6d, 0x7d, 0xa6, 0x93, 0x9f, 0xac, 0x4a";

static std::string Escape(const char* s) {
    std::string out;
    for (; *s; s++) {
        unsigned char c = (unsigned char)*s;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20 || c >= 0x80) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += (char)c;
        }
    }
    return out;
}

static void PrintWindow(HWND h) {
    char cls[256] = {}, title[512] = {};
    GetClassNameA(h, cls, sizeof cls);
    GetWindowTextA(h, title, sizeof title);
    RECT r{};
    GetWindowRect(h, &r);
    RECT c{};
    GetClientRect(h, &c);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int region = GetWindowRgn(h, rgn);
    RECT rb{};
    if (region != ERROR) GetRgnBox(rgn, &rb);
    DeleteObject(rgn);
    std::printf(
        "{\"hwnd\": %lu, \"pid\": %lu, \"class\": \"%s\", \"title\": \"%s\", \"rect\": [%ld, %ld, %ld, %ld], "
        "\"client\": [%ld, %ld], \"style\": %lu, \"exstyle\": %lu, \"visible\": %d, \"iconic\": %d, "
        "\"owner\": %lu, \"parent\": %lu, \"id\": %ld, \"prop\": %ld, \"region\": %d, \"regionbox\": [%ld, %ld, %ld, %ld], "
        "\"enabled\": %d, \"origin\": [%ld, %ld]}\n",
        (unsigned long)(ULONG_PTR)h, pid, Escape(cls).c_str(), Escape(title).c_str(), r.left, r.top, r.right,
        r.bottom, c.right, c.bottom, (unsigned long)GetWindowLongA(h, GWL_STYLE),
        (unsigned long)GetWindowLongA(h, GWL_EXSTYLE), IsWindowVisible(h) ? 1 : 0, IsIconic(h) ? 1 : 0,
        (unsigned long)(ULONG_PTR)GetWindow(h, GW_OWNER), (unsigned long)(ULONG_PTR)GetParent(h),
        (long)GetWindowLongA(h, GWL_ID), (long)(INT_PTR)GetPropA(h, kInstanceName), region, rb.left, rb.top,
        rb.right, rb.bottom, IsWindowEnabled(h) ? 1 : 0, origin.x, origin.y);
}

static HWND mainWindow = nullptr;

static BOOL CALLBACK FindMain(HWND h, LPARAM) {
    if ((INT_PTR)GetPropA(h, kInstanceName) == 1) {
        mainWindow = h;
        return FALSE;
    }
    return TRUE;
}

static DWORD targetPid = 0;

static BOOL CALLBACK PrintProcessWindow(HWND h, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == targetPid) PrintWindow(h);
    return TRUE;
}

static BOOL CALLBACK PrintChild(HWND h, LPARAM parent) {
    if (GetParent(h) == (HWND)parent) PrintWindow(h);
    return TRUE;
}

static BOOL CALLBACK PrintVisible(HWND h, LPARAM) {
    if (IsWindowVisible(h)) PrintWindow(h);
    return TRUE;
}

struct OwnedCount {
    HWND owner;
    int n;
};

static BOOL CALLBACK CountOwned(HWND w, LPARAM lp) {
    OwnedCount* o = (OwnedCount*)lp;
    if (GetWindow(w, GW_OWNER) == o->owner && IsWindowVisible(w)) o->n++;
    return TRUE;
}

static unsigned long Number(const char* s) { return std::strtoul(s, nullptr, 0); }

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string cmd = argv[1];
    if (cmd == "wait-main") {
        double seconds = argc > 2 ? std::atof(argv[2]) : 10;
        DWORD until = GetTickCount() + (DWORD)(seconds * 1000);
        do {
            mainWindow = nullptr;
            EnumWindows(FindMain, 0);
            if (mainWindow) {
                PrintWindow(mainWindow);
                return 0;
            }
            Sleep(50);
        } while ((long)(until - GetTickCount()) > 0);
        return 1;
    }
    if (cmd == "windows") {
        EnumWindows(FindMain, 0);
        if (!mainWindow) return 1;
        GetWindowThreadProcessId(mainWindow, &targetPid);
        EnumWindows(PrintProcessWindow, 0);
        return 0;
    }
    if (cmd == "children" && argc > 2) {
        HWND parent = (HWND)(ULONG_PTR)Number(argv[2]);
        EnumChildWindows(parent, PrintChild, (LPARAM)parent);
        return 0;
    }
    if ((cmd == "post" || cmd == "send") && argc > 5) {
        HWND h = (HWND)(ULONG_PTR)Number(argv[2]);
        UINT msg = (UINT)Number(argv[3]);
        WPARAM wp = (WPARAM)Number(argv[4]);
        LPARAM lp = (LPARAM)Number(argv[5]);
        if (cmd == "post") return PostMessageA(h, msg, wp, lp) ? 0 : 1;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(h, msg, wp, lp, SMTO_NORMAL, 10000, &result)) return 1;
        std::printf("{\"result\": %ld}\n", (long)result);
        return 0;
    }
    if (cmd == "text" && argc > 2) {
        // WM_GETTEXT is marshalled across processes; a tooltip answers with its current tip.
        HWND h = (HWND)(ULONG_PTR)Number(argv[2]);
        char text[1024] = {};
        DWORD_PTR got = 0;
        SendMessageTimeoutA(h, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_NORMAL, 5000, &got);
        std::printf("{\"text\": \"%s\"}\n", Escape(text).c_str());
        return 0;
    }
    if (cmd == "foreground") {
        HWND fg = GetForegroundWindow();
        GUITHREADINFO gi{sizeof gi};
        GetGUIThreadInfo(0, &gi);
        std::printf("{\"foreground\": %lu, \"focus\": %lu, \"active\": %lu}\n", (unsigned long)(ULONG_PTR)fg,
                    (unsigned long)(ULONG_PTR)gi.hwndFocus, (unsigned long)(ULONG_PTR)gi.hwndActive);
        return 0;
    }
    if (cmd == "zorder") {
        EnumWindows(PrintVisible, 0);
        return 0;
    }
    if (cmd == "broadcast" && argc > 2) {
        UINT msg = RegisterWindowMessageA(argv[2]);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(HWND_BROADCAST, msg, 0, 0, SMTO_NORMAL, 5000, &result);
        return 0;
    }
    if (cmd == "hold-hotkey" && argc > 2) {
        if (!RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'D')) return 1;
        std::printf("{\"held\": 1}\n");
        std::fflush(stdout);
        Sleep((DWORD)(std::atof(argv[2]) * 1000));
        return 0;
    }
    if (cmd == "ping" && argc > 3) {
        HWND h = (HWND)(ULONG_PTR)Number(argv[2]);
        double seconds = std::atof(argv[3]);
        LARGE_INTEGER freq, start, t0, t1;
        QueryPerformanceFrequency(&freq);
        QueryPerformanceCounter(&start);
        auto ms = [&](LARGE_INTEGER a, LARGE_INTEGER b) { return (double)(b.QuadPart - a.QuadPart) * 1000.0 / freq.QuadPart; };
        double worst = 0, first = -1;
        int count = 0, ownedFirst = -1, ownedLast = -1;
        do {
            QueryPerformanceCounter(&t0);
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result)) return 1;
            QueryPerformanceCounter(&t1);
            OwnedCount owned{h, 0};
            EnumWindows(CountOwned, (LPARAM)&owned);
            double took = ms(t0, t1);
            if (first < 0) {
                first = took;
                ownedFirst = owned.n;
            }
            ownedLast = owned.n;
            if (took > worst) {
                worst = took;
                // As it goes, so a caller may stop the probe once the operation is over.
                std::printf("{\"max_ms\": %.1f}\n", worst);
                std::fflush(stdout);
            }
            count++;
            Sleep(20);
        } while (ms(start, t1) < seconds * 1000);
        std::printf("{\"count\": %d, \"max_ms\": %.1f, \"first_ms\": %.1f, \"owned_first\": %d, \"owned_last\": %d}\n",
                    count, worst, first, ownedFirst, ownedLast);
        return 0;
    }
    if (cmd == "profile-clear") {
        WritePrivateProfileStringA("CommandPath", nullptr, nullptr, "Sonadesk.ini");
        return 0;
    }
    if (cmd == "profile" && argc > 3) {
        char value[1024] = {};
        GetPrivateProfileStringA(argv[2], argv[3], "", value, sizeof value, "Sonadesk.ini");
        std::printf("{\"value\": \"%s\"}\n", Escape(value).c_str());
        return 0;
    }
    return 2;
}
