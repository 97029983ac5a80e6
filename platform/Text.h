// ANSI (system code page) text meets UTF-16 only at GDI+ and COM.
#pragma once
#include <string>

namespace sona {

std::wstring AnsiToWide(const char* text);
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const wchar_t* text);

}  // namespace sona
