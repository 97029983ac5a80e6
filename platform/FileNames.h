// File names at the file calls. Inside the program a path is UTF-8; every call that opens, checks,
// makes or hands on a file takes it as UTF-16 through WideFilePath, so a name the code page cannot
// spell and a path longer than MAX_PATH reach the file system as they are.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace sona {

// The UTF-16 form of a UTF-8 path for the wide file calls. A full path of MAX_PATH characters or
// more gets the "\\?\" form ("\\?\UNC\" for a share), which those calls need to go past MAX_PATH;
// "/" becomes "\" there, since that form is taken literally.
std::wstring WideFilePath(const std::string& path);

// GetFileAttributesW of the path; INVALID_FILE_ATTRIBUTES when there is nothing there.
DWORD FileAttributesOf(const std::string& path);
inline bool PathExists(const std::string& path) { return FileAttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

// CreateFileW on WideFilePath(path); the other arguments as CreateFile takes them.
HANDLE OpenFileHandle(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags);

bool RemoveFile(const std::string& path);
bool MakeFolder(const std::string& path);
bool ReplaceFile(const std::string& from, const std::string& to, DWORD moveFlags);

// The names (UTF-8) of the files in `folder` (ending in "\\"), folders left out.
std::vector<std::string> FilesIn(const std::string& folder);

// The 8.3 short form of an existing file's path (UTF-8), or empty when the volume keeps none or
// the file is not there.
std::string ShortPathOf(const std::string& path);

// The text a record's ANSI path field keeps for `path`, never naming another file: the path itself
// when the code page spells it exactly and it fits (*exact set); else its 8.3 short form when that
// exists, is spelt exactly and fits; else the code page's rendering with "?" for what it cannot
// spell ("?" is in no file name), cut to fit and then ending in "?" too.
std::string AnsiPathField(const std::string& path, bool* exact);

// The code page's rendering of a note's text (no look-alikes: "?" for what it cannot spell), at
// most `maxBytes` bytes and never a character cut in half. *exact: it spells the whole text.
std::string AnsiNoteField(const std::string& text, size_t maxBytes, bool* exact);

}  // namespace sona
