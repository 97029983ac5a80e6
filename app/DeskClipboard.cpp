// The clipboard: Ctrl+C hands the current item to other programs (a picture as a picture and as
// its file, a note as its text, music and movies as their files); Ctrl+V takes files, a picture
// (saved as a PNG under "Data\Pasted\") or text (a new note) onto the desk shown.
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "app/MainDeskWindow.h"
#include "app/PasteNames.h"
#include "notes/NoteMeasure.h"
#include "notes/TextItem.h"
#include "notes/CDlgAddText.h"
#include "platform/CommonDialogs.h"
#include "platform/FileNames.h"
#include "platform/LateBound.h"
#include "platform/Text.h"

namespace sona {

namespace {

// The clipboard is shared with every program; one that holds it open is given a moment.
bool OpenClipboardPatiently(HWND owner) {
    for (int i = 0; i < 10; i++) {
        if (OpenClipboard(owner)) return true;
        Sleep(20);
    }
    return false;
}

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

std::vector<uint8_t> GetBytes(UINT format) {
    std::vector<uint8_t> out;
    HANDLE h = GetClipboardData(format);
    if (!h) return out;
    size_t size = GlobalSize(h);
    const void* p = GlobalLock(h);
    if (p && size) out.assign((const uint8_t*)p, (const uint8_t*)p + size);
    if (p) GlobalUnlock(h);
    return out;
}

// The picture file as a bottom-up 32-bit DIB (header and pixels), what CF_DIB carries; empty
// when GDI+ cannot read the file.
std::vector<uint8_t> PictureFileAsDib(const std::string& path) {
    std::vector<uint8_t> out;
    std::wstring wpath = WideFilePath(path);
    Gdiplus::Bitmap picture(wpath.c_str());
    if (picture.GetLastStatus() != Gdiplus::Ok) return out;
    UINT w = picture.GetWidth(), h = picture.GetHeight();
    if (w == 0 || h == 0 || w > 30000 || h > 30000) return out;
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, (INT)w, (INT)h);
    if (picture.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return out;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = (LONG)w;
    header.biHeight = (LONG)h;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = w * h * 4;
    out.resize(sizeof header + (size_t)w * h * 4);
    std::memcpy(out.data(), &header, sizeof header);
    uint8_t* rows = out.data() + sizeof header;
    for (UINT y = 0; y < h; y++)
        std::memcpy(rows + (size_t)(h - 1 - y) * w * 4, (const uint8_t*)data.Scan0 + (size_t)y * data.Stride, (size_t)w * 4);
    picture.UnlockBits(&data);
    return out;
}

// Offset of the pixels in a packed DIB: header, bit masks, colour table.
size_t DibPixelOffset(const BITMAPINFOHEADER& h) {
    size_t offset = h.biSize;
    if (h.biSize == sizeof(BITMAPINFOHEADER) && (h.biCompression == BI_BITFIELDS || h.biCompression == 6 /*BI_ALPHABITFIELDS*/))
        offset += h.biCompression == BI_BITFIELDS ? 12 : 16;
    size_t colours = h.biClrUsed ? h.biClrUsed : (h.biBitCount <= 8 ? (size_t)1 << h.biBitCount : 0);
    return offset + colours * 4;
}

// The PNG encoder of GDI+.
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    HANDLE f = OpenFileHandle(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, bytes.data(), (DWORD)bytes.size(), &written, nullptr) && written == bytes.size();
    CloseHandle(f);
    if (!ok) RemoveFile(path);
    return ok != FALSE;
}

// A new file name in "Data\Pasted\" for a picture pasted now; empty when the folder cannot be made.
std::string NewPastedPath(const std::string& dataFolder) {
    std::string folder = dataFolder + "Pasted\\";
    MakeFolder(folder);
    DWORD attributes = FileAttributesOf(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return "";
    SYSTEMTIME t;
    GetLocalTime(&t);
    PasteTime when{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
    for (int attempt = 1; attempt < 1000; attempt++) {
        std::string path = folder + PastedPictureName(when, attempt);
        if (!PathExists(path)) return path;
    }
    return "";
}

// Writes the pasted picture as a PNG file: PNG bytes as they came, a DIB through GDI+.
bool SavePastedPicture(const std::string& path, const std::vector<uint8_t>& png, const std::vector<uint8_t>& dib) {
    if (!png.empty()) return WriteFileBytes(path, png);
    if (dib.size() < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib.data(), sizeof header);
    size_t offset = DibPixelOffset(header);
    if (header.biSize < sizeof header || offset >= dib.size()) return false;
    std::unique_ptr<Gdiplus::Bitmap> picture(
        Gdiplus::Bitmap::FromBITMAPINFO((const BITMAPINFO*)dib.data(), (void*)(dib.data() + offset)));
    if (!picture || picture->GetLastStatus() != Gdiplus::Ok) return false;
    std::wstring wpath = WideFilePath(path);
    return picture->Save(wpath.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
}

}  // namespace

void MainDeskWindow::OnCopyItem() {
    size_t i = LiveIndexOf(currentItem);
    if (i == SIZE_MAX || i >= model.RecordCount()) return;
    // What the item holds now (a note just edited, a picture whose file was replaced).
    SyncItem(i, OuterSize());
    RecordView record = model.RecordAt(i);
    // The whole path or note text, in any language: never the record's ANSI field.
    std::string path = record.text() ? std::string() : ItemTextAt(i);
    std::vector<uint8_t> dib;
    if (record.picture() && !path.empty()) dib = PictureFileAsDib(path);
    if (!OpenClipboardPatiently(hwnd)) return;
    EmptyClipboard();
    if (record.text()) {
        std::wstring wide = Utf8ToWide(ItemTextAt(i));
        std::string ansi = WideToAnsi(wide);
        PutBytes(CF_TEXT, ansi.c_str(), ansi.size() + 1);
        PutBytes(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    } else if (!path.empty()) {
        if (!dib.empty()) PutBytes(CF_DIB, dib.data(), dib.size());
        std::wstring wide = Utf8ToWide(path);
        std::vector<uint8_t> files = WideFileListBlock({std::u16string(wide.begin(), wide.end())});
        PutBytes(CF_HDROP, files.data(), files.size());
    }
    CloseClipboard();
}

void MainDeskWindow::OnPaste() {
    if (model.currentDesk() >= model.DeskCount()) return;
    std::vector<std::string> files;
    std::vector<uint8_t> png, dib;
    std::string text;
    bool any = false;
    if (!OpenClipboardPatiently(hwnd)) return;
    UINT pngFormat = RegisterClipboardFormatA("PNG");
    if (IsClipboardFormatAvailable(CF_HDROP)) {
        files = DroppedFilePaths((HDROP)GetClipboardData(CF_HDROP));
        any = !files.empty();
    }
    if (!any && pngFormat && IsClipboardFormatAvailable(pngFormat)) {
        png = GetBytes(pngFormat);
        if (!LooksLikePng(png.data(), png.size())) png.clear();
        any = !png.empty();
    }
    if (!any && IsClipboardFormatAvailable(CF_DIB)) {
        dib = GetBytes(CF_DIB);
        any = !dib.empty();
    }
    if (!any && IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        std::vector<uint8_t> wide = GetBytes(CF_UNICODETEXT);
        size_t chars = wide.size() / sizeof(wchar_t);
        const wchar_t* w = (const wchar_t*)wide.data();
        size_t len = 0;
        while (len < chars && w[len]) len++;
        text = WideToUtf8(std::wstring(w, len));
        any = !text.empty();
    }
    if (!any && IsClipboardFormatAvailable(CF_TEXT)) {
        std::vector<uint8_t> bytes = GetBytes(CF_TEXT);
        text = AnsiToUtf8(std::string((const char*)bytes.data(), strnlen((const char*)bytes.data(), bytes.size())));
    }
    CloseClipboard();

    if (!files.empty()) {
        ImportDroppedPaths(files);
    } else if (!png.empty() || !dib.empty()) {
        std::string path = NewPastedPath(dataFolder);
        if (path.empty() || !SavePastedPicture(path, png, dib)) return;
        size_t before = liveItems.size();
        ImportFiles({path}, kItemPicture);
        // A picture GDI+ cannot show leaves no item; its file is not kept either.
        if (liveItems.size() == before) RemoveFile(path);
    } else if (!text.empty()) {
        AddNoteWithText(text);
    }
}

void MainDeskWindow::AddNoteWithText(const std::string& text) {
    size_t dropped = 0;
    std::string noteText = NoteTextFromClipboard(text, &dropped);
    if (noteText.empty() || model.currentDesk() >= model.DeskCount()) return;
    auto note = std::make_unique<TextItem>();
    note->SetText(noteText);
    PlaceNewNote(std::move(note), dropped);
}

}  // namespace sona
