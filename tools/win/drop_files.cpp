// Test helper: drops files on a window as Explorer does, for the end-to-end tests (a bare X
// server has no file manager to drag from).
//   drop_files HWND PATH...
// Builds a DROPFILES block (wide names, as Explorer gives them, double-NUL ended) inside the
// target's process and posts
// WM_DROPFILES with it. The target reads it with DragQueryFile like any drop; DragFinish there
// cannot free a block it did not allocate, so the few hundred bytes stay until it exits.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

int main() {
    // The names as the command line has them, in any language.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) {
        std::fprintf(stderr, "usage: drop_files HWND PATH...\n");
        return 2;
    }
    HWND target = (HWND)(ULONG_PTR)std::wcstoul(argv[1], nullptr, 0);
    DWORD pid = 0;
    if (!GetWindowThreadProcessId(target, &pid) || !pid) return 3;
    std::vector<char> block(sizeof(DROPFILES));
    for (int i = 2; i < argc; i++) {
        const char* name = (const char*)argv[i];
        block.insert(block.end(), name, name + (std::wcslen(argv[i]) + 1) * sizeof(wchar_t));
    }
    block.push_back('\0');
    block.push_back('\0');
    DROPFILES* df = (DROPFILES*)block.data();
    df->pFiles = sizeof(DROPFILES);
    df->pt.x = 100;
    df->pt.y = 100;
    df->fNC = FALSE;
    df->fWide = TRUE;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return 4;
    void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    SIZE_T written = 0;
    bool ok = remote && WriteProcessMemory(process, remote, block.data(), block.size(), &written) &&
              written == block.size();
    CloseHandle(process);
    if (!ok) return 5;
    return PostMessageA(target, WM_DROPFILES, (WPARAM)remote, 0) ? 0 : 6;
}
