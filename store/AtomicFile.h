// Whole-file writes that never leave a half-written file behind, and whole-file reads.
// Portable interface; the implementation uses Win32 file calls on Windows and POSIX elsewhere.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sona {

enum class FileWriteResult {
    kOk,
    kCannotCreate,   // the temporary file beside the target could not be created
    kWriteFailed,    // writing or flushing the temporary file failed
    kCannotReplace,  // the temporary file could not be renamed over the target
};

const char* FileWriteResultName(FileWriteResult result);

// Paths are UTF-8 (on Windows they reach the wide file calls, long paths included).
// Writes data to "<path>.tmp" in the same folder, flushes it to the disk and renames it over path.
// On any failure the temporary file is removed and an existing file at path is left untouched.
FileWriteResult WriteFileAtomically(const std::string& path, const void* data, size_t size);

// Reads the whole file. False when it cannot be opened or read; *out then holds what was read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out);

}  // namespace sona
