// Every private message of the note windows, in one place so that no two share a number. Each
// says who sends it, who receives it and what it carries. The note windows keep no timers.
#pragma once
#include <windows.h>

namespace sona {

// TextFormatBar -> the add-text dialog, sent by its OK and Cancel: lParam 0 OK, 1 Cancel.
constexpr UINT WM_ADDTEXT_CLOSE = WM_USER + 214;

}  // namespace sona
