// The Open dialog and the colour dialog.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

namespace sona {

// Every Open dialog of the program: several files may be chosen (each becomes an item where
// more than one can be used); the overwrite prompt is the flag users of the program know it by.
constexpr DWORD kOpenDialogFlags = OFN_OVERWRITEPROMPT | OFN_ALLOWMULTISELECT;

// Runs an Open dialog. `filter` uses "|" between display names and patterns and ends in "||".
// Returns every chosen file as a full path (several when OFN_ALLOWMULTISELECT is in `flags`),
// or nothing when the user cancels. Paths that do not fit MAX_PATH are left out.
std::vector<std::string> RunOpenFileDialog(HWND owner, const char* filter, DWORD flags);

// Runs the system colour dialog; true and the colour on OK.
bool RunColourDialog(HWND owner, COLORREF initial, DWORD flags, COLORREF* chosen);

// True when a file-status query on `path` succeeds (file or folder exists).
bool FileStatusOk(const char* path);
inline bool FileStatusOk(const std::string& path) { return FileStatusOk(path.c_str()); }

}  // namespace sona
