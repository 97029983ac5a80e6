// The clipboard's heavy part, done on a worker thread so that the main window keeps answering: a
// paste reads whatever the clipboard holds (a list of hundreds of files, a picture of any size,
// text) and a copy makes the bitmap of a large picture for other programs. The worker posts its
// result to the main window, which places the items.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sona {

// What a paste found, worked out: at most one of files, picture and text is filled.
struct PasteResult {
    std::vector<std::string> files;  // UTF-8 paths, as the clipboard lists them
    std::string picturePath;         // the PNG written under "Data\Pasted\"; "" when none
    bool pictureFailed = false;      // a picture was there but could not be kept
    uint32_t pictureWidth = 0, pictureHeight = 0;  // the picture as it came
    uint32_t keptWidth = 0, keptHeight = 0;        // as it was kept (smaller when it was huge)
    std::string text;                // UTF-8
};

// Reads the clipboard on a worker and posts `message` to `target` with lParam a new PasteResult
// (the receiver owns it). A pasted picture is written as a PNG into `pastedFolder`, its longest
// side cut to kPastedSideLimit. False when the worker could not start.
bool StartPaste(HWND target, UINT message, const std::string& pastedFolder);

// What a picture copy made: the CF_DIB block for the clipboard sequence number it was asked for.
struct CopiedPicture {
    std::vector<uint8_t> dib;
    DWORD sequence = 0;
};

// Makes the bitmap of the picture file at `path` (UTF-8) on a worker and posts `message` to
// `target` with lParam a new CopiedPicture. False when the worker could not start.
bool StartPictureCopy(HWND target, UINT message, const std::string& path, DWORD sequence);

// The picture file as a bottom-up 32-bit DIB (header and pixels), what CF_DIB carries, its longest
// side at most `limit`; empty when GDI+ cannot read the file.
std::vector<uint8_t> PictureFileAsDib(const std::string& path, uint32_t limit);

// Opens the clipboard for `owner` (null on a worker). The clipboard is shared with every program;
// one that holds it open is given `tries` times 20 ms.
bool OpenClipboardPatiently(HWND owner, int tries);

// Waits until no clipboard worker runs; false on timeout. Called before GDI+ is shut down.
bool WaitClipboardWork(DWORD ms);

}  // namespace sona
