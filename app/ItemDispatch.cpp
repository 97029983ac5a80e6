// Builds the live window of a stored record, kind by kind. Each item kind adds its case here.
#include "items/DeskItem.h"

namespace sona {

std::unique_ptr<DeskItem> RestoreDeskItem(uint32_t type, const void* record, RECT r, HWND owner) {
    switch (type) {
    default:
        return nullptr;
    }
}

}  // namespace sona
