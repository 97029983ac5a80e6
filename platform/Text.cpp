#include "platform/Text.h"

#include <windows.h>

namespace sona {

namespace {

std::wstring ToWide(UINT codePage, const char* text, int length) {
    if (!text || length == 0) return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring w(n, L'\0');
    MultiByteToWideChar(codePage, 0, text, length, &w[0], n);
    return w;
}

// `flags` and `usedDefault` as WideCharToMultiByte takes them (both must be 0/null for UTF-8).
std::string FromWide(UINT codePage, DWORD flags, const wchar_t* text, int length, BOOL* usedDefault) {
    if (!text || length == 0) return std::string();
    int n = WideCharToMultiByte(codePage, flags, text, length, nullptr, 0, nullptr, usedDefault);
    if (n <= 0) return std::string();
    std::string s(n, '\0');
    WideCharToMultiByte(codePage, flags, text, length, &s[0], n, nullptr, usedDefault);
    return s;
}

int Length(const wchar_t* text) { return text ? lstrlenW(text) : 0; }

}  // namespace

std::wstring AnsiToWide(const char* text) { return ToWide(CP_ACP, text, text ? lstrlenA(text) : 0); }

std::wstring AnsiToWide(const std::string& text) {
    return ToWide(CP_ACP, text.c_str(), static_cast<int>(text.size()));
}

std::string WideToAnsi(const wchar_t* text) {
    return FromWide(CP_ACP, WC_NO_BEST_FIT_CHARS, text, Length(text), nullptr);
}

std::string WideToAnsi(const std::wstring& text) {
    return FromWide(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()), nullptr);
}

std::wstring Utf8ToWide(const std::string& text) {
    return ToWide(CP_UTF8, text.c_str(), static_cast<int>(text.size()));
}

std::string WideToUtf8(const wchar_t* text) { return FromWide(CP_UTF8, 0, text, Length(text), nullptr); }

std::string WideToUtf8(const std::wstring& text) {
    return FromWide(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr);
}

bool WideToAnsiExact(const std::wstring& text, std::string* out) {
    BOOL usedDefault = FALSE;
    std::string s = FromWide(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()),
                             &usedDefault);
    if (usedDefault || (s.empty() && !text.empty())) return false;
    // A code page may still spell two characters alike; only a round trip proves the name.
    if (AnsiToWide(s) != text) return false;
    *out = std::move(s);
    return true;
}

std::string AnsiToUtf8(const std::string& text) { return WideToUtf8(AnsiToWide(text)); }

bool Utf8ToAnsiExact(const std::string& text, std::string* out) {
    return WideToAnsiExact(Utf8ToWide(text), out);
}

}  // namespace sona
