// Functions of system DLLs that only some commands need (the file and colour dialogs, dropped
// files) are bound on first use, so start-up does not load those DLLs and all they pull in.
#pragma once
#include <windows.h>

namespace sona {

// Loads a system DLL from the system folder only: a DLL of the same name beside the program (a
// downloads folder, a shared drive) is never loaded in its place.
HMODULE LoadSystemLibrary(const char* dll);

// Takes the program's folder and the current folder out of the DLL search for the whole process
// (also for the DLLs that system DLLs load later). Called first thing at start-up.
void RestrictDllSearch();

// The address of `name` in `dll`, loaded on first use and kept; null when either is missing.
FARPROC LateBoundProc(const char* dll, const char* name);

template <typename F>
F LateBound(const char* dll, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(LateBoundProc(dll, name)));
}

}  // namespace sona
