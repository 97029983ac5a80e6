#include "store/DataFolder.h"

#include <windows.h>

#include <shlobj.h>

#include "platform/LateBound.h"
#include "platform/Text.h"

namespace sona {

namespace {

const int kLocalAppData = 0x001c;      // CSIDL_LOCAL_APPDATA
const int kFlagCreate = 0x8000;        // CSIDL_FLAG_CREATE
const char kNoticeFile[] = "DataFolderShown";

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The executable's folder with a trailing backslash. The wide call: a folder the code page
// cannot spell ("Пользователь") must still be found.
std::string ExeFolder() {
    std::wstring module(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &module[0], (DWORD)module.size());
        if (n == 0) return std::string();
        if (n < module.size()) {
            module.resize(n);
            break;
        }
        module.resize(module.size() * 2);  // a long path (\\?\ or a long-path-aware system)
    }
    size_t slash = module.find_last_of(L'\\');
    return WideToUtf8(slash == std::wstring::npos ? std::wstring() : module.substr(0, slash + 1));
}

// %LOCALAPPDATA% through the shell (its DLL is bound only on this rare path), else the variable.
std::string LocalAppData() {
    using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, wchar_t*);
    wchar_t path[MAX_PATH] = {};
    if (auto get = LateBound<GetFolderPathFn>("shell32.dll", "SHGetFolderPathW"))
        if (SUCCEEDED(get(nullptr, kLocalAppData | kFlagCreate, nullptr, 0, path)) && path[0])
            return WideToUtf8(path);
    DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return WideToUtf8(path);
    return std::string();
}

// Copies the desks from beside the program to the per-user folder, once: a store already there
// is the newer one (it has been saved to since) and is never overwritten.
bool CopyStoreFrom(const std::string& from, const std::string& to) {
    std::wstring w = Utf8ToWide(to), f = Utf8ToWide(from);
    if (Exists(w + L"Media") || Exists(w + L"Media_bak")) return false;
    bool copied = false;
    for (const wchar_t* name : {L"Media", L"Media_bak"})
        if (Exists(f + name) && CopyFileW((f + name).c_str(), (w + name).c_str(), TRUE)) copied = true;
    return copied;
}

DataFolderPlace Decide() {
    DataFolderPlace place;
    place.besideExe = ExeFolder() + "Data\\";
    place.folder = place.besideExe;
    CreateFolderTree(place.besideExe);
    if (FolderIsWritable(place.besideExe)) return place;

    std::string base = LocalAppData();
    if (base.empty()) return place;  // nowhere better: saving will say what failed
    if (base.back() != '\\') base += '\\';
    std::string perUser = base + "Varnel\\Sonadesk\\Data\\";
    if (!CreateFolderTree(perUser)) return place;
    place.folder = perUser;
    place.perUser = true;
    place.copiedStore = CopyStoreFrom(place.besideExe, perUser);
    return place;
}

}  // namespace

bool FolderIsWritable(const std::string& folder) {
    // A file of this process's own name, gone again when its handle closes.
    std::wstring probe = Utf8ToWide(folder) + L".write-test-" + std::to_wstring(GetCurrentProcessId());
    HANDLE f = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(f, "x", 1, &written, nullptr) && written == 1;
    CloseHandle(f);
    DeleteFileW(probe.c_str());  // a file system that ignores the close flag
    return ok;
}

bool CreateFolderTree(const std::string& folder) {
    std::wstring w = Utf8ToWide(folder);
    while (!w.empty() && (w.back() == L'\\' || w.back() == L'/')) w.pop_back();
    if (w.empty()) return false;
    if (Exists(w)) return true;
    size_t slash = w.find_last_of(L"\\/");
    // A drive ("C:") or a share's root ends the climb.
    if (slash != std::wstring::npos && slash > 2) CreateFolderTree(WideToUtf8(w.substr(0, slash)));
    return CreateDirectoryW(w.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

const DataFolderPlace& GetDataFolderPlace() {
    static const DataFolderPlace place = Decide();
    return place;
}

std::string GetDataFolder() {
    const std::string& folder = GetDataFolderPlace().folder;
    // The user may remove the folder while the program runs; the next file written recreates it.
    if (!Exists(Utf8ToWide(folder))) CreateFolderTree(folder);
    return folder;
}

bool DataFolderNeedsNotice() {
    const DataFolderPlace& place = GetDataFolderPlace();
    return place.perUser && !Exists(Utf8ToWide(place.folder + kNoticeFile));
}

void MarkDataFolderShown() {
    std::wstring path = Utf8ToWide(GetDataFolderPlace().folder + kNoticeFile);
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
}

}  // namespace sona
