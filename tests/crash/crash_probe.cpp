// A program that crashes on purpose, with Sonadesk's crash reporter installed as the real
// program installs it: the test of the reports runs this, never the shipped exe. Its own .debug
// file (as the shipped exe's) lets the test symbolise the dump it leaves.
//   crash_probe [write|abort]   a write through a null pointer (default) or abort()
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "app/CrashReport.h"
#include "platform/LateBound.h"

// Not inlined, so the fault's address lies in a function of this name and line.
__attribute__((noinline)) void CrashProbeWriteThroughNull(volatile int* target) {
    *target = 0x5EC0DE;  // the faulting write
}

int main(int argc, char** argv) {
    sona::RestrictDllSearch();
    sona::InstallCrashReporter();
    if (argc > 1 && std::strcmp(argv[1], "abort") == 0) std::abort();
    volatile int* nowhere = nullptr;
    CrashProbeWriteThroughNull(nowhere);
    return 0;
}
