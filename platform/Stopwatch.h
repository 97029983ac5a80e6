// Time spent since a start, for work that gives the message loop back after a few milliseconds.
#pragma once
#include <windows.h>

#include <algorithm>

namespace sona {

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&freq);
        QueryPerformanceCounter(&start);
    }
    // Milliseconds since the start. In whole microseconds first: a 64-bit integer becomes a double
    // only on the x87 unit in 32-bit code, a 32-bit one in SSE2 (no turn comes near 2^31 us).
    double ElapsedMs() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        long long us = (now.QuadPart - start.QuadPart) * 1000000 / (freq.QuadPart ? freq.QuadPart : 1);
        return (double)(int)std::min<long long>(us, 0x7FFFFFFF) / 1000.0;
    }

private:
    LARGE_INTEGER freq{}, start{};
};

}  // namespace sona
