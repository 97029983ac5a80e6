#include "store/AtomicFile.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/FileNames.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sona {

const char* FileWriteResultName(FileWriteResult result) {
    switch (result) {
    case FileWriteResult::kOk: return "ok";
    case FileWriteResult::kCannotCreate: return "cannot create";
    case FileWriteResult::kWriteFailed: return "write failed";
    case FileWriteResult::kCannotReplace: return "cannot replace";
    }
    return "unknown";
}

static std::string TempPathFor(const std::string& path) { return path + ".tmp"; }

#ifdef _WIN32

FileWriteResult WriteFileAtomically(const std::string& path, const void* data, size_t size) {
    const std::string temp = TempPathFor(path);
    HANDLE h = OpenFileHandle(temp, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE) return FileWriteResult::kCannotCreate;

    bool ok = true;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    size_t left = size;
    while (ok && left > 0) {
        DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0) {
            ok = false;
            break;
        }
        p += written;
        left -= written;
    }
    if (ok && !FlushFileBuffers(h)) ok = false;
    if (!CloseHandle(h)) ok = false;
    if (!ok) {
        RemoveFile(temp);
        return FileWriteResult::kWriteFailed;
    }
    if (!ReplaceFile(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        RemoveFile(temp);
        return FileWriteResult::kCannotReplace;
    }
    return FileWriteResult::kOk;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out) {
    out->clear();
    HANDLE h = OpenFileHandle(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    if (GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart < 0x40000000)
        out->reserve(static_cast<size_t>(size.QuadPart));
    bool ok = true;
    uint8_t chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(h, chunk, sizeof chunk, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        out->insert(out->end(), chunk, chunk + got);
    }
    CloseHandle(h);
    return ok;
}

#else  // POSIX

static bool WriteAll(int fd, const uint8_t* p, size_t left) {
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// Makes the rename itself durable. Best effort: some file systems refuse fsync on folders.
static void SyncParentFolder(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

FileWriteResult WriteFileAtomically(const std::string& path, const void* data, size_t size) {
    const std::string temp = TempPathFor(path);
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return FileWriteResult::kCannotCreate;

    bool ok = WriteAll(fd, static_cast<const uint8_t*>(data), size);
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (!ok) {
        ::unlink(temp.c_str());
        return FileWriteResult::kWriteFailed;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return FileWriteResult::kCannotReplace;
    }
    SyncParentFolder(path);
    return FileWriteResult::kOk;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out) {
    out->clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            ::close(fd);
            return false;
        }
        if (st.st_size > 0) out->reserve(static_cast<size_t>(st.st_size));
    }
    bool ok = true;
    uint8_t chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        if (n == 0) break;
        out->insert(out->end(), chunk, chunk + n);
    }
    ::close(fd);
    return ok;
}

#endif

}  // namespace sona
