// The Open dialog and the colour dialog.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace sona {

// Every Open dialog of the program: several files may be chosen (each becomes an item where
// more than one can be used); the overwrite prompt is the flag users of the program know it by.
constexpr DWORD kOpenDialogFlags = OFN_OVERWRITEPROMPT | OFN_ALLOWMULTISELECT;

// Runs an Open dialog. `filter` uses "|" between display names and patterns and ends in "||".
// Returns every chosen file as a full UTF-8 path (several when OFN_ALLOWMULTISELECT is in
// `flags`), whatever its language or length, or nothing when the user cancels.
std::vector<std::string> RunOpenFileDialog(HWND owner, const char* filter, DWORD flags);

// The files of a drop (WM_DROPFILES or the clipboard's CF_HDROP) as UTF-8 paths, in order, any
// length. The drop is not released.
std::vector<std::string> DroppedFilePaths(HDROP drop);

// Runs the system colour dialog; true and the colour on OK.
bool RunColourDialog(HWND owner, COLORREF initial, DWORD flags, COLORREF* chosen);

// True when a file-status query on `path` (UTF-8) succeeds (file or folder exists).
bool FileStatusOk(const char* path);
inline bool FileStatusOk(const std::string& path) { return FileStatusOk(path.c_str()); }

}  // namespace sona
