// Builds the live window of a stored record, kind by kind. Each item kind adds its case here.
#include <cstring>

#include "items/DeskItem.h"
#include "items/PictureItem.h"

namespace sona {

std::unique_ptr<DeskItem> RestoreDeskItem(uint32_t type, const void* record, RECT r, HWND owner) {
    switch (type) {
    case kItemPicture: {
        // The picture is read before the window exists; a file that cannot be read still gets
        // its window (a grey panel when the file is gone).
        const auto* rec = (const PictureItemRecord*)record;
        auto picture = std::make_unique<PictureItem>();
        picture->LoadPicture(std::string(rec->path, strnlen(rec->path, kPathField)));
        picture->Create(r, owner, 0);
        return picture;
    }
    default:
        return nullptr;
    }
}

}  // namespace sona
