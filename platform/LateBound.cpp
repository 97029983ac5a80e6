#include "platform/LateBound.h"

namespace sona {

namespace {

// Not in the headers for the Windows versions the program targets; present since Windows 8 and on
// Windows 7 with KB2533623.
const DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

HMODULE LoadSystemLibrary(const char* dll) {
    HMODULE module = LoadLibraryExA(dll, nullptr, kSearchSystem32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    // A system without the flag: the full path names the system folder's copy.
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n + 1 + lstrlenA(dll) >= MAX_PATH) return nullptr;
    lstrcatA(path, "\\");
    lstrcatA(path, dll);
    return LoadLibraryA(path);
}

void RestrictDllSearch() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(kSearchSystem32);
    // Older systems: at least the current folder leaves the search.
    SetDllDirectoryA("");
}

FARPROC LateBoundProc(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    if (!module) module = LoadSystemLibrary(dll);  // kept loaded for the life of the process
    return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace sona
