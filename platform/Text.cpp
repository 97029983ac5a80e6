#include "platform/Text.h"

#include <windows.h>

namespace sona {

std::wstring AnsiToWide(const char* text) {
    if (!text || !*text) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &w[0], n);
    w.resize(n - 1);
    return w;
}

std::wstring AnsiToWide(const std::string& text) { return AnsiToWide(text.c_str()); }

std::string WideToAnsi(const wchar_t* text) {
    if (!text || !*text) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string s(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &s[0], n, nullptr, nullptr);
    s.resize(n - 1);
    return s;
}

}  // namespace sona
