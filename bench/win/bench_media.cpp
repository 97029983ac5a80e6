// The decoder's own share of a core: plays one file on a bare DirectShow graph (no window, no
// item) for a number of seconds and prints the CPU time this process used meanwhile.
//   bench_media.exe FILE [SECONDS]   ->  "graph_cpu_seconds 0.123 over 10.0 s"
#include <windows.h>
#include <dshow.h>

#include <cstdio>
#include <cstdlib>

// User plus kernel time of this process, in seconds.
static double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER k{{kernel.dwLowDateTime, kernel.dwHighDateTime}}, u{{user.dwLowDateTime, user.dwHighDateTime}};
    return (double)(k.QuadPart + u.QuadPart) / 1e7;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_media FILE [SECONDS]\n");
        return 2;
    }
    double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    CoInitialize(nullptr);
    wchar_t path[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH);
    IGraphBuilder* graph = nullptr;
    IMediaControl* control = nullptr;
    IMediaSeeking* seeking = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, (void**)&graph)) ||
        FAILED(graph->RenderFile(path, nullptr)) ||
        FAILED(graph->QueryInterface(IID_IMediaControl, (void**)&control)) ||
        FAILED(graph->QueryInterface(IID_IMediaSeeking, (void**)&seeking))) {
        std::printf("graph_failed\n");
        return 1;
    }
    control->Run();
    // Let the pipeline fill before measuring, as the program's run does.
    Sleep(1000);
    LONGLONG duration = 0;
    seeking->GetDuration(&duration);
    double c0 = ProcessCpuSeconds();
    DWORD t0 = GetTickCount();
    while (GetTickCount() - t0 < (DWORD)(seconds * 1000)) {
        Sleep(100);
        // A song shorter than the run starts again, as the item's loop does.
        LONGLONG pos = 0;
        seeking->GetCurrentPosition(&pos);
        if (duration > 0 && pos >= duration) {
            control->Stop();
            LONGLONG zero = 0;
            seeking->SetPositions(&zero, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
            control->Run();
        }
    }
    double c1 = ProcessCpuSeconds();
    double wall = (GetTickCount() - t0) / 1000.0;
    std::printf("graph_cpu_seconds %.3f over %.1f s\n", c1 - c0, wall);
    control->Stop();
    seeking->Release();
    control->Release();
    graph->Release();
    CoUninitialize();
    return 0;
}
