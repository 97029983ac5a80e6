// Scale benchmark: how the real Sonadesk.exe copes with desks of many items, against a bare
// program (this one) that makes as many layered windows of the same sizes on the same desktop.
//   bench_scale FOLDER_WITH_SONADESK_EXE [ROUNDS] [KINDS]
// KINDS picks from "pnmv" (pictures, notes, music, movies); all four by default. For each kind
// the folder gets a store whose desk 1 is empty and whose desks 2 to 4 hold N items of that kind
// (pictures and notes 10, 100, 400; music 5, 20, 50; movies 2, 10, 20). The program is started on
// desk 1; its tabs are clicked by posted mouse messages. A desk counts as shown when the program
// answers a sent message and all N item windows are visible with their pictures. Meanwhile a
// second thread sends the main window a message every few milliseconds and keeps the longest
// wait for an answer (the freeze). On the largest desk the main window is also clicked (which
// restacks the items) and the bottom item is sent to the front and back again.
// Goals: warm switch <= 1.2 x the bare floor; longest freeze <= 100 ms; a media card <= 0.6 MB
// and <= 4 GDI objects.
#include "bench/win/DeskProgram.h"
#include "bench/win/PhotoFiles.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using desk::Median;
using desk::Now;
using desk::PrivateMegabytes;
using desk::Program;
using desk::StallProbe;

const UINT kCommandToFront = 10110, kCommandToBack = 10111;

struct Kind {
    char letter;
    const char* name;
    uint32_t type;  // the store's item code
    int counts[3];
    int w, h;  // the stored size (notes size themselves to their text)
};
const Kind kKinds[] = {
    {'p', "picture", 3, {10, 100, 400}, 240, 180},
    {'n', "note", 4, {10, 100, 400}, 120, 40},
    {'m', "music card", 1, {5, 20, 50}, 260, 130},
    {'v', "movie", 0, {2, 10, 20}, 379, 350},
};

void Put32(std::vector<uint8_t>& out, uint32_t v) { photos::Put32(out, v); }

void PutRect(std::vector<uint8_t>& out, int l, int t, int r, int b) {
    photos::PutFloat(out, l / 800.0f);
    photos::PutFloat(out, t / 500.0f);
    photos::PutFloat(out, r / 800.0f);
    photos::PutFloat(out, b / 500.0f);
}

void PutChars(std::vector<uint8_t>& out, const std::string& s, size_t field) {
    std::vector<char> f(field, 0);
    std::memcpy(f.data(), s.c_str(), std::min(s.size(), field - 1));
    out.insert(out.end(), f.begin(), f.end());
}

// One record of `kind` at (l, t) in the stored layouts: path or text first, the place, the rest.
void PutRecord(std::vector<uint8_t>& out, const Kind& kind, const std::string& file, int i, int l, int t) {
    Put32(out, kind.type);
    int r = l + kind.w, b = t + kind.h;
    switch (kind.type) {
    case 3:  // picture: path, place, 16 reserved
        PutChars(out, file, 260);
        PutRect(out, l, t, r, b);
        out.insert(out.end(), 16, 0);
        break;
    case 0:
    case 1:  // movie, music: path, 32 reserved, place, 12 reserved
        PutChars(out, file, 260);
        out.insert(out.end(), 32, 0);
        PutRect(out, l, t, r, b);
        out.insert(out.end(), 12, 0);
        break;
    case 4: {  // note: text, place, 8 reserved, colours, LOGFONTA, 3 words
        char text[32];
        std::snprintf(text, sizeof text, "Note %d", i + 1);
        PutChars(out, text, 10000);
        PutRect(out, l, t, r, b);
        out.insert(out.end(), 8, 0);
        Put32(out, 0x202020);
        Put32(out, 0xC8C8C8);
        Put32(out, 12);  // lfHeight in points
        out.insert(out.end(), 16 + 8, 0);
        PutChars(out, "Microsoft Sans Serif", 32);
        out.insert(out.end(), 12, 0);
        break;
    }
    }
}

// Desk 1 empty and current, then one desk per count, the items spread over the screen.
bool WriteStore(const std::string& dataFolder, const Kind& kind, const std::vector<std::string>& files) {
    std::vector<uint8_t> out;
    Put32(out, 4);
    Put32(out, 0);
    Put32(out, 0);
    for (int n : kind.counts) {
        Put32(out, (uint32_t)n);
        for (int i = 0; i < n; i++) {
            int l = 10 + (i * 37) % (1200 - kind.w), t = 60 + (i * 23) % (980 - kind.h);
            PutRecord(out, kind, files[(size_t)i % files.size()], i, l, t);
        }
    }
    return photos::WriteStoreFiles(dataFolder, out);
}

struct Census {
    const Program* p;
    int items = 0, pending = 0;
    int windows = 0;  // every window of the process, top-level and child
    std::vector<HWND> itemWindows;
    std::vector<SIZE> sizes;
};

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
    ((Census*)lp)->windows++;
    return TRUE;
}

BOOL CALLBACK CountWindow(HWND h, LPARAM lp) {
    Census* c = (Census*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != c->p->pid) return TRUE;
    c->windows++;
    EnumChildWindows(h, CountChild, lp);
    LONG ex = GetWindowLongA(h, GWL_EXSTYLE);
    if (IsWindowVisible(h) && GetWindow(h, GW_OWNER) == c->p->main &&
        (ex & (WS_EX_LAYERED | WS_EX_TOOLWINDOW)) == (WS_EX_LAYERED | WS_EX_TOOLWINDOW)) {
        c->items++;
        c->itemWindows.push_back(h);
        RECT r;
        GetWindowRect(h, &r);
        c->sizes.push_back(SIZE{r.right - r.left, r.bottom - r.top});
        if (GetPropA(h, photos::kPendingProperty)) c->pending++;
    }
    return TRUE;
}

Census Take(const Program& p) {
    Census c{&p};
    EnumWindows(CountWindow, (LPARAM)&c);
    return c;
}

// Waits until the program answers and shows `expected` items, none still waiting for its picture.
bool WaitShown(const Program& p, int expected, double t0) {
    for (;;) {
        DWORD_PTR r;
        SendMessageTimeoutA(p.main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &r);
        Census c = Take(p);
        if (c.items == expected && c.pending == 0) return true;
        if (Now() - t0 > 180000) {
            std::printf("  timed out with %d items, %d waiting\n", c.items, c.pending);
            return false;
        }
        Sleep(5);
    }
}

// Waits until the program has been idle (answering at once) for a while.
void WaitIdle(const Program& p) {
    int quick = 0;
    while (quick < 10) {
        double t0 = Now();
        DWORD_PTR r;
        SendMessageTimeoutA(p.main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &r);
        quick = Now() - t0 < 5 ? quick + 1 : 0;
        Sleep(10);
    }
}

double SwitchTo(const Program& p, int desk, int expected) {
    int x = 16 + desk * 34 + 17, y = 9 + 17;
    LPARAM at = (LPARAM)((y << 16) | x);
    double t0 = Now();
    PostMessageA(p.main, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(p.main, WM_LBUTTONUP, 0, at);
    WaitShown(p, expected, t0);
    return Now() - t0;
}

// ---------------------------------------------------------------------------------------------
// The floor: N layered tool popups of the given sizes, each given a half-transparent picture with
// UpdateLayeredWindow and shown without activation, as the items are; timed until this thread is
// idle again, then destroyed.

LRESULT CALLBACK BareProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

double BareFloor(const std::vector<SIZE>& sizes, HWND owner) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = BareProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = "BareLayered";
        RegisterClassA(&wc);
        registered = true;
    }
    (void)owner;
    std::vector<HWND> made;
    double t0 = Now();
    HDC screen = GetDC(nullptr);
    for (size_t i = 0; i < sizes.size(); i++) {
        int w = std::max<LONG>(1, sizes[i].cx), h = std::max<LONG>(1, sizes[i].cy);
        int x = 10 + (int)(i * 37) % 1000, y = 60 + (int)(i * 23) % 700;
        HWND hw = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_LAYERED, "BareLayered", "", WS_POPUP, x, y, w, h, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC mem = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(mem, bmp);
        uint32_t* px = (uint32_t*)bits;
        for (int k = 0; k < w * h; k++) px[k] = 0x80404040;  // grey at half alpha, premultiplied
        POINT at{x, y}, src{0, 0};
        SIZE size{w, h};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 254, AC_SRC_ALPHA};
        UpdateLayeredWindow(hw, screen, &at, &size, mem, &src, 0, &blend, ULW_ALPHA);
        SelectObject(mem, old);
        DeleteDC(mem);
        DeleteObject(bmp);
        ShowWindow(hw, SW_SHOWNA);
        made.push_back(hw);
        Pump();
    }
    ReleaseDC(nullptr, screen);
    Pump();
    GdiFlush();
    double took = Now() - t0;
    for (HWND hw : made) DestroyWindow(hw);
    Pump();
    return took;
}

struct Row {
    const Kind* kind;
    int n;
    double first = 0, warm = 0, floor = 0;
    double freezeBuild = 0, freezeClick = 0, freezeRestack = 0;
    double mbPerItem = 0;
    double windowsPerItem = 0;
    double gdiPerItem = -1, userPerItem = -1;
};

void RunKind(const Kind& kind, const std::string& folder, int rounds, std::vector<Row>* rows) {
    std::string data = folder + "Data\\";
    std::vector<std::string> files;
    if (kind.type == 3) {
        // Eight different phone-sized photos, shared round the desk.
        std::string pictures = folder + "pictures\\";
        CreateDirectoryA(pictures.c_str(), nullptr);
        for (int i = 0; i < 8; i++) {
            char name[32];
            std::snprintf(name, sizeof name, "photo%02d.jpg", i);
            files.push_back(pictures + name);
        }
        if (!photos::MakePictures(files)) {
            std::printf("scale: could not make the pictures\n");
            return;
        }
    } else if (kind.type == 0) {
        // A short movie (MJPEG + PCM AVI, which Wine's DirectShow plays without extra decoders),
        // written once by the script beside the exe; absent, the cards show no file.
        files.push_back(folder + "clip.avi");
    } else if (kind.type == 1) {
        files.push_back(data + "demo01.mp3");
    } else {
        files.push_back("");
    }
    if (!WriteStore(data, kind, files)) {
        std::printf("scale: could not write the store\n");
        return;
    }
    Program p;
    if (!desk::StartProgram(folder + "Sonadesk.exe", folder, "scale", &p)) return;
    WaitIdle(p);
    StallProbe probe;
    probe.Start(p.main);
    probe.measuring = true;
    Census empty = Take(p);
    double memEmpty = PrivateMegabytes(p.process);
    // GDI and USER objects as Windows counts them (Wine answers 0: not counted).
    DWORD gdiEmpty = GetGuiResources(p.process, 0), userEmpty = GetGuiResources(p.process, 1);

    std::vector<Row> mine;
    for (int d = 0; d < 3; d++) {
        Row row;
        row.kind = &kind;
        row.n = kind.counts[d];
        probe.Take();
        row.first = SwitchTo(p, 1 + d, row.n);
        WaitIdle(p);
        row.freezeBuild = probe.Take();
        Census shown = Take(p);
        double mem = PrivateMegabytes(p.process);
        row.mbPerItem = (mem - memEmpty) / row.n;
        row.windowsPerItem = (double)(shown.windows - empty.windows) / row.n;
        DWORD gdi = GetGuiResources(p.process, 0), user = GetGuiResources(p.process, 1);
        if (gdi) row.gdiPerItem = ((double)gdi - gdiEmpty) / row.n;
        if (user) row.userPerItem = ((double)user - userEmpty) / row.n;
        // The floor gets the sizes the items really have.
        std::vector<SIZE> sizes = shown.sizes;
        SwitchTo(p, 0, 0);
        WaitIdle(p);
        std::vector<double> floors;
        for (int r = 0; r < 2; r++) floors.push_back(BareFloor(sizes, p.main));
        row.floor = Median(floors);
        mine.push_back(row);
    }
    for (int d = 0; d < 3; d++) {
        std::vector<double> warm;
        for (int r = 0; r < rounds; r++) {
            SwitchTo(p, 0, 0);
            WaitIdle(p);
            probe.Take();
            warm.push_back(SwitchTo(p, 1 + d, mine[d].n));
            WaitIdle(p);
            mine[d].freezeBuild = std::max(mine[d].freezeBuild, probe.Take());
        }
        mine[d].warm = Median(warm);
        // Clicks on the main window's view (each restacks the items above it), then the bottom
        // item to the front and back again.
        probe.Take();
        for (int k = 0; k < 3; k++) {
            LPARAM at = (LPARAM)((300 << 16) | 400);
            PostMessageA(p.main, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageA(p.main, WM_LBUTTONUP, 0, at);
            WaitIdle(p);
        }
        mine[d].freezeClick = probe.Take();
        Census shown = Take(p);
        if (!shown.itemWindows.empty()) {
            HWND bottom = shown.itemWindows.back();
            PostMessageA(bottom, WM_COMMAND, kCommandToFront, 0);
            WaitIdle(p);
            WaitShown(p, mine[d].n, Now());
            shown = Take(p);
            if (!shown.itemWindows.empty()) PostMessageA(shown.itemWindows.front(), WM_COMMAND, kCommandToBack, 0);
            WaitIdle(p);
            WaitShown(p, mine[d].n, Now());
        }
        mine[d].freezeRestack = probe.Take();
    }
    probe.Stop();
    desk::StopProgram(&p);
    for (auto& r : mine) rows->push_back(r);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: bench_scale FOLDER_WITH_SONADESK_EXE [ROUNDS] [KINDS]\n");
        return 2;
    }
    std::string folder = argv[1];
    if (folder.back() != '\\') folder += '\\';
    int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    std::string kinds = argc > 3 ? argv[3] : "pnmv";

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    std::vector<Row> rows;
    for (const Kind& k : kKinds) {
        if (kinds.find(k.letter) == std::string::npos) continue;
        std::printf("scale: %s desks...\n", k.name);
        std::fflush(stdout);
        RunKind(k, folder, rounds, &rows);
    }
    Gdiplus::GdiplusShutdown(token);

    std::printf("\nscale: desks of N items; switch times from the tab click until all N show; ratios to the "
                "bare floor\n(N layered windows of the same sizes made by a minimal program on the same desktop), "
                "%d warm rounds (median)\n\n",
                rounds);
    std::printf("| kind | N | floor ms | first ms | first x | warm ms | warm x | freeze build ms | freeze click ms | "
                "freeze front/back ms | MB/item | windows/item | GDI/item | USER/item |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    bool warmMet = true, freezeMet = true;
    for (const Row& r : rows) {
        double fx = r.floor > 0 ? r.first / r.floor : 0, wx = r.floor > 0 ? r.warm / r.floor : 0;
        char gdi[16] = "n/a", user[16] = "n/a";
        if (r.gdiPerItem >= 0) std::snprintf(gdi, sizeof gdi, "%.1f", r.gdiPerItem);
        if (r.userPerItem >= 0) std::snprintf(user, sizeof user, "%.1f", r.userPerItem);
        std::printf("| %s | %d | %.0f | %.0f | %.2f | %.0f | %.2f | %.0f | %.0f | %.0f | %.3f | %.1f | %s | %s |\n",
                    r.kind->name, r.n, r.floor, r.first, fx, r.warm, wx, r.freezeBuild, r.freezeClick,
                    r.freezeRestack, r.mbPerItem, r.windowsPerItem, gdi, user);
        if (wx > 1.2) warmMet = false;
        if (r.n <= 400 && std::max({r.freezeBuild, r.freezeClick, r.freezeRestack}) > 100) freezeMet = false;
    }
    std::printf("\n  warm switch <= 1.2 x floor for every kind and N: %s\n", warmMet ? "met" : "NOT met");
    std::printf("  longest freeze <= 100 ms (build, clicks, front/back): %s\n", freezeMet ? "met" : "NOT met");
    std::printf("  (windows/item counts every window of the process, top-level and child; GDI and USER objects "
                "read with GetGuiResources, which Wine does not count: n/a)\n");
    return 0;
}
