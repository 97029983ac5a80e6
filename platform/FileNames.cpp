#include "platform/FileNames.h"

#include "platform/Text.h"

namespace sona {

std::wstring WideFilePath(const std::string& path) {
    std::wstring wide = Utf8ToWide(path);
    if (wide.size() < MAX_PATH || wide.compare(0, 4, L"\\\\?\\") == 0) return wide;
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') return L"\\\\?\\" + wide;
    if (wide.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
    return wide;  // a relative path: the caller's business
}

DWORD FileAttributesOf(const std::string& path) {
    if (path.empty()) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(WideFilePath(path).c_str());
}

HANDLE OpenFileHandle(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    return CreateFileW(WideFilePath(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
}

bool RemoveFile(const std::string& path) { return DeleteFileW(WideFilePath(path).c_str()) != FALSE; }

bool MakeFolder(const std::string& path) { return CreateDirectoryW(WideFilePath(path).c_str(), nullptr) != FALSE; }

bool ReplaceFile(const std::string& from, const std::string& to, DWORD moveFlags) {
    return MoveFileExW(WideFilePath(from).c_str(), WideFilePath(to).c_str(), moveFlags) != FALSE;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(WideFilePath(folder + "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(WideToUtf8(fd.cFileName));
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    return names;
}

std::string ShortPathOf(const std::string& path) {
    std::wstring wide = WideFilePath(path);
    DWORD n = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (n == 0) return std::string();
    std::wstring shortName(n, L'\0');
    n = GetShortPathNameW(wide.c_str(), &shortName[0], n);
    if (n == 0 || n >= shortName.size()) return std::string();
    shortName.resize(n);
    if (shortName.compare(0, 4, L"\\\\?\\") == 0) {
        shortName.erase(0, 4);
        if (shortName.compare(0, 4, L"UNC\\") == 0) shortName.replace(0, 4, L"\\\\");
    }
    return WideToUtf8(shortName);
}

namespace {

constexpr size_t kFieldChars = MAX_PATH - 1;  // the path field's characters before its NUL

// The code page's rendering of `wide`, cut character by character until it takes at most
// `maxBytes` bytes (a double-byte character is never split).
std::string RenderCut(std::wstring wide, size_t maxBytes, bool* cut) {
    std::string s = WideToAnsi(wide);
    *cut = false;
    while (s.size() > maxBytes && !wide.empty()) {
        size_t drop = s.size() - maxBytes;
        wide.resize(wide.size() > drop ? wide.size() - drop : 0);
        // Never leave half a surrogate pair behind.
        if (!wide.empty() && wide.back() >= 0xD800 && wide.back() <= 0xDBFF) wide.pop_back();
        s = WideToAnsi(wide);
        *cut = true;
    }
    return s;
}

}  // namespace

std::string AnsiPathField(const std::string& path, bool* exact) {
    *exact = false;
    std::string ansi;
    if (Utf8ToAnsiExact(path, &ansi) && ansi.size() <= kFieldChars) {
        *exact = true;
        return ansi;
    }
    std::string shortPath = ShortPathOf(path);
    if (!shortPath.empty() && Utf8ToAnsiExact(shortPath, &ansi) && ansi.size() <= kFieldChars) return ansi;
    bool cut = false;
    std::string shown = RenderCut(Utf8ToWide(path), kFieldChars - 1, &cut);
    // A cut path might be the whole name of another file; a "?" at its end is in no file name.
    if (cut || shown.find('?') == std::string::npos) shown.push_back('?');
    return shown;
}

std::string AnsiNoteField(const std::string& text, size_t maxBytes, bool* exact) {
    std::string ansi;
    *exact = Utf8ToAnsiExact(text, &ansi) && ansi.size() <= maxBytes;
    if (*exact) return ansi;
    bool cut = false;
    return RenderCut(Utf8ToWide(text), maxBytes, &cut);
}

}  // namespace sona
