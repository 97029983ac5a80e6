#include "platform/CommonDialogs.h"

#include <commdlg.h>

#include "platform/LateBound.h"

namespace sona {

std::vector<std::string> RunOpenFileDialog(HWND owner, const char* filter, DWORD flags) {
    std::string f(filter ? filter : "");
    for (char& c : f)
        if (c == '|') c = '\0';
    f.push_back('\0');
    std::vector<char> buf(64 * 1024, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = f.c_str();
    ofn.lpstrFile = buf.data();
    ofn.nMaxFile = (DWORD)buf.size();
    // The multi-select list needs the Explorer-style dialog to come back NUL-separated.
    ofn.Flags = flags | OFN_EXPLORER;
    std::vector<std::string> paths;
    auto getOpenFileName = LateBound<BOOL(WINAPI*)(OPENFILENAMEA*)>("comdlg32.dll", "GetOpenFileNameA");
    if (!getOpenFileName || !getOpenFileName(&ofn)) return paths;
    const char* p = buf.data();
    std::string first = p;
    p += first.size() + 1;
    if (!(flags & OFN_ALLOWMULTISELECT) || *p == '\0') {
        if (first.size() < MAX_PATH) paths.push_back(first);
        return paths;
    }
    // Folder, then the file names, each NUL-terminated.
    std::string folder = first;
    if (!folder.empty() && folder.back() != '\\') folder.push_back('\\');
    while (*p) {
        std::string name = p;
        p += name.size() + 1;
        std::string full = folder + name;
        if (full.size() < MAX_PATH) paths.push_back(full);
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
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace sona
