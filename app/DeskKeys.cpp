#include "app/DeskKeys.h"

namespace sona {

namespace {
// Windows' virtual-key codes of the keys the desk knows.
const unsigned kVkPrior = 0x21, kVkNext = 0x22, kVkDelete = 0x2E;
const unsigned kVkNumpad1 = 0x61, kVkNumpad9 = 0x69;
}  // namespace

DeskKeyCommand DeskKeyFor(unsigned vk, bool ctrl, bool shift, bool alt) {
    if (shift || alt) return {};
    if (!ctrl) return vk == kVkDelete ? DeskKeyCommand{DeskKey::kDelete, 0} : DeskKeyCommand{};
    if (vk >= '1' && vk <= '9') return DeskKeyCommand{DeskKey::kShowDesk, vk - '1'};
    if (vk >= kVkNumpad1 && vk <= kVkNumpad9) return DeskKeyCommand{DeskKey::kShowDesk, vk - kVkNumpad1};
    switch (vk) {
    case 'N': return {DeskKey::kCreateDesk, 0};
    case kVkPrior: return {DeskKey::kPreviousDesk, 0};
    case kVkNext: return {DeskKey::kNextDesk, 0};
    case 'T': return {DeskKey::kAddText, 0};
    case 'O': return {DeskKey::kImportPicture, 0};
    case 'C': return {DeskKey::kCopy, 0};
    case 'V': return {DeskKey::kPaste, 0};
    case 'Z': return {DeskKey::kUndo, 0};
    }
    return {};
}

}  // namespace sona
