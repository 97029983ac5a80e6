#include "app/DeskClipboard.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "app/ClipboardWork.h"
#include "app/DeskMessages.h"
#include "app/MainDeskWindow.h"
#include "app/PasteNames.h"
#include "items/PictureItem.h"
#include "notes/NoteMeasure.h"
#include "notes/TextItem.h"
#include "platform/FileNames.h"
#include "platform/Stopwatch.h"
#include "platform/Text.h"
#include "platform/UserMessage.h"

namespace sona {

namespace {

// How often the window tries to open a clipboard another program holds, 20 ms apart: the user
// waits meanwhile.
const int kClipboardTries = 10;

// A picture up to this many pixels is put on the clipboard as a bitmap at once (a few
// milliseconds); a larger one's bitmap is made by a worker and added when it is ready.
const uint64_t kCopyNowPixels = 2000000;

// How long one turn of a long paste's import may keep the message loop, in ms: longer than a desk
// build's turn, as every turn costs a round of the loop (a trip through the Wine server) and a
// tenth of a second still answers a click at once.
const double kImportTurnMs = 100.0;

// Hands a copy of `size` bytes to the clipboard under `format`; the clipboard owns it after.
bool PutBytes(UINT format, const void* data, size_t size) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!mem) return false;
    void* p = GlobalLock(mem);
    if (!p) {
        GlobalFree(mem);
        return false;
    }
    std::memcpy(p, data, size);
    GlobalUnlock(mem);
    if (!SetClipboardData(format, mem)) {
        GlobalFree(mem);
        return false;
    }
    return true;
}

}  // namespace

void DeskClipboard::Copy() {
    LiveDesk& live = desk.Live();
    DeskModel& model = desk.Model();
    HWND hwnd = desk.hwnd;
    size_t i = live.IndexOf(live.Current());
    if (i == SIZE_MAX || i >= model.RecordCount()) return;
    // What the item holds now (a note just edited, a picture whose file was replaced).
    live.SyncItem(i);
    RecordView record = model.RecordAt(i);
    // The whole path or note text, in any language: never the record's ANSI field.
    std::string path = record.text() ? std::string() : live.TextAt(i);
    std::vector<uint8_t> dib;
    bool dibLater = false;
    if (record.picture() && !path.empty()) {
        uint32_t w = 0, h = 0;
        if (PictureItem::SizeFromFile(path, &w, &h) && (uint64_t)w * h <= kCopyNowPixels)
            dib = PictureFileAsDib(path, kPastedSideLimit);
        else
            dibLater = true;
    }
    if (!OpenClipboardPatiently(hwnd, kClipboardTries)) return;
    EmptyClipboard();
    copyGeneration++;
    if (record.text()) {
        std::wstring wide = Utf8ToWide(live.TextAt(i));
        std::string ansi = WideToAnsi(wide);
        PutBytes(CF_TEXT, ansi.c_str(), ansi.size() + 1);
        PutBytes(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    } else if (!path.empty()) {
        if (!dib.empty()) PutBytes(CF_DIB, dib.data(), dib.size());
        // Wide, so a name in any language reaches other programs as it is.
        std::wstring widePath = Utf8ToWide(path);
        std::vector<uint8_t> files = WideFileListBlock({std::u16string(widePath.begin(), widePath.end())});
        PutBytes(CF_HDROP, files.data(), files.size());
    }
    CloseClipboard();
    // A large picture's bitmap takes seconds to make: the file is on the clipboard at once, the
    // bitmap joins it when a worker has made it (reduced to a sane size).
    if (dibLater) StartPictureCopy(hwnd, WM_DESK_PICTURE_COPIED, path, copyGeneration);
}

void DeskClipboard::Paste() {
    if (desk.Model().currentDesk() >= desk.Model().DeskCount()) return;
    // One paste at a time: a held Ctrl+V repeats.
    if (pasteRunning) return;
    pasteRunning = StartPaste(desk.hwnd, WM_DESK_PASTE_DONE, desk.DataFolder() + "Pasted\\");
}

bool DeskClipboard::OnMessage(UINT msg, WPARAM, LPARAM lp) {
    HWND hwnd = desk.hwnd;
    switch (msg) {
    case WM_DESK_PASTE_DONE:
        Take(std::unique_ptr<PasteResult>((PasteResult*)lp));
        return true;
    case WM_DESK_PICTURE_COPIED: {
        std::unique_ptr<CopiedPicture> copied((CopiedPicture*)lp);
        // Only while the clipboard still holds this copy: a later copy, or another program's,
        // is not added to.
        if (copied->sequence != copyGeneration || GetClipboardOwner() != hwnd) return true;
        if (OpenClipboardPatiently(hwnd, kClipboardTries)) {
            if (!IsClipboardFormatAvailable(CF_DIB)) PutBytes(CF_DIB, copied->dib.data(), copied->dib.size());
            CloseClipboard();
        }
        return true;
    }
    case WM_DESK_IMPORT_TURN:
        importTurnPosted = false;
        ImportTurn();
        return true;
    }
    return false;
}

void DeskClipboard::Take(std::unique_ptr<PasteResult> pasted) {
    pasteRunning = false;
    if (!pasted || desk.Model().currentDesk() >= desk.Model().DeskCount()) return;
    if (!pasted->files.empty()) {
        importQueue.insert(importQueue.end(), pasted->files.begin(), pasted->files.end());
        ImportTurn();
    } else if (!pasted->picturePath.empty()) {
        size_t before = desk.Live().Count();
        desk.Import().Files({pasted->picturePath}, kItemPicture);
        // A picture GDI+ cannot show leaves no item; its file is not kept either.
        if (desk.Live().Count() == before) {
            RemoveFile(pasted->picturePath);
        } else if (pasted->keptWidth != pasted->pictureWidth || pasted->keptHeight != pasted->pictureHeight) {
            ShowUserMessage("The pasted picture is " + std::to_string(pasted->pictureWidth) + " \xC3\x97 " +
                                std::to_string(pasted->pictureHeight) + " pixels. It has been kept at " +
                                std::to_string(pasted->keptWidth) + " \xC3\x97 " + std::to_string(pasted->keptHeight) +
                                " pixels, as:\n\"" + pasted->picturePath + "\"",
                            MB_OK | MB_ICONINFORMATION);
        }
    } else if (pasted->pictureFailed) {
        ShowUserMessage("The pasted picture could not be kept in \"" + desk.DataFolder() + "Pasted\\\".",
                        MB_OK | MB_ICONWARNING);
    } else if (!pasted->text.empty()) {
        desk.Notes().AddWithText(pasted->text);
    }
}

// A few files per turn of the message loop, so that a list of hundreds keeps the window
// answering; they come in their order, each new one on top.

void DeskClipboard::ImportTurn() {
    Stopwatch turn;
    while (!importQueue.empty()) {
        std::string next = std::move(importQueue.front());
        importQueue.pop_front();
        desk.Import().Paths({next});
        if (turn.ElapsedMs() >= kImportTurnMs) break;
    }
    if (importQueue.empty() || importTurnPosted) return;
    // Behind any input that waits (see LiveDesk::BuildTurn).
    importTurnPosted = PostMessageA(desk.hwnd, WM_DESK_IMPORT_TURN, 0, 0) != FALSE;
}


}  // namespace sona
