// Text at the program's edges. Inside the program a file path or a note's full text is UTF-8 in a
// std::string, so that no name is lost to the system code page; it becomes UTF-16 at every
// wide Win32, GDI+ or COM call. The fixed ANSI fields of the stored records and the few ANSI
// windows still meet the code page through the Ansi functions below.
#pragma once
#include <string>

namespace sona {

// System code page (CP_ACP) to UTF-16 and back. WideToAnsi never maps a character to a look-alike
// (no best fit: "ę" becomes "?", never "e"), so the result can be shown but must not name a file.
std::wstring AnsiToWide(const char* text);
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const wchar_t* text);
std::string WideToAnsi(const std::wstring& text);

// UTF-8 to UTF-16 and back; invalid sequences become U+FFFD.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const wchar_t* text);
std::string WideToUtf8(const std::wstring& text);

// The code page's exact spelling of `text`: false (and *out untouched) when any character has
// none, so a name converted here always names the same file again.
bool WideToAnsiExact(const std::wstring& text, std::string* out);

// Between the code page and UTF-8 (a stored ANSI field read into the program's text, and back
// exactly where that is possible).
std::string AnsiToUtf8(const std::string& text);
bool Utf8ToAnsiExact(const std::string& text, std::string* out);

}  // namespace sona
