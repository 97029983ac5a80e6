#include "app/DeskImport.h"

#include <cstring>

#include "app/MainDeskWindow.h"
#include "platform/CommonDialogs.h"
#include "platform/FileNames.h"
#include "platform/LateBound.h"
#include "items/MediaFileTypes.h"
#include "items/MediaItem.h"
#include "items/PictureItem.h"

namespace sona {

namespace {

// Pictures up to this many pixels are decoded on the user-interface thread when imported: a few
// milliseconds.
const uint64_t kDecodeHerePixels = 2000000;

// A new live item and the rectangle its record stores.
struct ImportedItem {
    std::unique_ptr<DeskItem> item;
    RECT rect{};
};

// A picture at the main window's left edge, 50 pixels down, its longer side 360 pixels. Files
// that GDI+ cannot read as a picture (no width or height) give no item.
ImportedItem ImportPicture(const std::string& path, const RECT& m, HWND owner) {
    ImportedItem out;
    auto picture = std::make_unique<PictureItem>();
    // A large picture whose header tells its size is decoded by the picture workers, as on a
    // desk's restore, so that it never holds the window; a small one is read here at once (one
    // drawing of its window instead of two).
    uint32_t w = 0, h = 0;
    SIZE s{0, 0};
    if (PictureItem::SizeFromFile(path, &w, &h) && (uint64_t)w * h > kDecodeHerePixels) {
        picture->LoadPictureLater(path);
        s = PictureItem::OpenedSize(w, h);
    } else {
        picture->LoadPicture(path);
        s = PictureItem::OpenedSize(picture->PictureWidth(), picture->PictureHeight());
    }
    if (s.cx == 0 || s.cy == 0) return out;
    RECT r{m.left, m.top + 50, m.left + s.cx, m.top + 50 + s.cy};
    picture->Create(r, owner, 0);
    // The record takes the rectangle asked for, whatever the window made of it.
    out.rect = r;
    out.item = std::move(picture);
    return out;
}

// A music or movie item. Music opens at (10, 60)-(270, 190) from the main window's corner,
// movies at (10, 60)-(389, 410); a file that cannot be played still gets its item. Their
// records store the window's rectangle as created.
ImportedItem ImportMedia(uint32_t type, const std::string& path, const RECT& m, HWND owner) {
    ImportedItem out;
    RECT r = type == kItemMovie ? RECT{m.left + 10, m.top + 60, m.left + 389, m.top + 410}
                                : RECT{m.left + 10, m.top + 60, m.left + 270, m.top + 190};
    MediaKind kind;
    if (!MediaKindOf(type, &kind)) return out;
    std::unique_ptr<MediaItem> media = CreateMediaItem(kind, r, owner, path);
    if (media->ItemWindow()) GetWindowRect(media->ItemWindow(), &out.rect);
    out.item = std::move(media);
    return out;
}

// Builds the item of one file of kind `type`; no item when the kind cannot take the file.
ImportedItem ImportOne(uint32_t type, const std::string& path, const RECT& m, HWND owner) {
    // A folder is never an item, of any kind.
    DWORD attributes = FileAttributesOf(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    switch (type) {
    case kItemPicture: return ImportPicture(path, m, owner);
    case kItemMovie:
    case kItemMusic: return ImportMedia(type, path, m, owner);
    default: return {};
    }
}

}  // namespace

void DeskImport::RunDialog(uint32_t type) {
    Files(RunOpenFileDialog(desk.hwnd, OpenDialogFilter(type), kOpenDialogFlags), type);
}

void DeskImport::Files(const std::vector<std::string>& paths, uint32_t type) {
    DeskModel& model = desk.Model();
    for (const std::string& path : paths) {
        if (model.currentDesk() >= model.DeskCount()) break;
        // Any name and any length: the record keeps a field that cannot mislead and the store's
        // extension the whole path.
        if (path.empty()) continue;
        int W, H;
        RECT m = desk.OuterRect(&W, &H);
        if (W <= 0 || H <= 0) break;
        ImportedItem made = ImportOne(type, path, m, desk.hwnd);
        if (!made.item) continue;
        RecordPtr record = NewRecord(type);
        if (!record) continue;
        if (!SetItemPath(&model.Store(), ViewRecord(type, record.get()), path)) continue;
        desk.AppendItem(std::move(made.item), std::move(record));
    }
    desk.RedrawDeskView(0);
}

void DeskImport::Drop(HDROP drop) {
    auto dragFinish = LateBound<void(WINAPI*)(HDROP)>("shell32.dll", "DragFinish");
    std::vector<std::string> paths = DroppedFilePaths(drop);
    if (dragFinish) dragFinish(drop);
    Paths(paths);
}

void DeskImport::Paths(const std::vector<std::string>& paths) {
    std::vector<std::pair<std::string, uint32_t>> files;
    for (const std::string& name : paths) {
        uint32_t type;
        if (ItemTypeOfFile(name, &type)) files.emplace_back(name, type);
    }
    // Runs of the same kind go in together; a change of kind starts a new run, so the order holds.
    size_t i = 0;
    while (i < files.size()) {
        std::vector<std::string> run;
        uint32_t type = files[i].second;
        for (; i < files.size() && files[i].second == type; i++) run.push_back(files[i].first);
        Files(run, type);
    }
    if (files.empty()) desk.RedrawDeskView(0);
}

}  // namespace sona
