#include "platform/CommonDialogs.h"

#include <commdlg.h>

#include "platform/FileNames.h"
#include "platform/LateBound.h"
#include "platform/Text.h"

namespace sona {

std::vector<std::string> RunOpenFileDialog(HWND owner, const char* filter, DWORD flags) {
    std::string f(filter ? filter : "");
    for (char& c : f)
        if (c == '|') c = '\0';
    f.push_back('\0');
    std::wstring wideFilter = AnsiToWide(f);
    std::vector<wchar_t> buf(64 * 1024, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = wideFilter.c_str();
    ofn.lpstrFile = buf.data();
    ofn.nMaxFile = (DWORD)buf.size();
    // The multi-select list needs the Explorer-style dialog to come back NUL-separated.
    ofn.Flags = flags | OFN_EXPLORER;
    std::vector<std::string> paths;
    auto getOpenFileName = LateBound<BOOL(WINAPI*)(OPENFILENAMEW*)>("comdlg32.dll", "GetOpenFileNameW");
    if (!getOpenFileName || !getOpenFileName(&ofn)) return paths;
    const wchar_t* p = buf.data();
    std::wstring first = p;
    p += first.size() + 1;
    if (!(flags & OFN_ALLOWMULTISELECT) || *p == L'\0') {
        if (!first.empty()) paths.push_back(WideToUtf8(first));
        return paths;
    }
    // Folder, then the file names, each NUL-terminated.
    std::wstring folder = first;
    if (!folder.empty() && folder.back() != L'\\') folder.push_back(L'\\');
    while (*p) {
        std::wstring name = p;
        p += name.size() + 1;
        paths.push_back(WideToUtf8(folder + name));
    }
    return paths;
}

std::vector<std::string> DroppedFilePaths(HDROP drop) {
    std::vector<std::string> paths;
    auto dragQueryFile = LateBound<UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT)>("shell32.dll", "DragQueryFileW");
    if (!drop || !dragQueryFile) return paths;
    UINT count = dragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; i++) {
        // Asked for its length first: a path past MAX_PATH comes whole.
        UINT length = dragQueryFile(drop, i, nullptr, 0);
        if (length == 0) continue;
        std::vector<wchar_t> name(length + 1, L'\0');
        UINT n = dragQueryFile(drop, i, name.data(), length + 1);
        if (n == 0 || n > length) continue;
        paths.push_back(WideToUtf8(std::wstring(name.data(), n)));
    }
    return paths;
}

bool RunColourDialog(HWND owner, COLORREF initial, DWORD flags, COLORREF* chosen) {
    static COLORREF custom[16] = {};
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = initial;
    cc.lpCustColors = custom;
    cc.Flags = flags | CC_RGBINIT;
    auto chooseColor = LateBound<BOOL(WINAPI*)(CHOOSECOLORA*)>("comdlg32.dll", "ChooseColorA");
    if (!chooseColor || !chooseColor(&cc)) return false;
    *chosen = cc.rgbResult;
    return true;
}

bool FileStatusOk(const char* path) {
    if (!path || !*path) return false;
    return FileAttributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace sona
