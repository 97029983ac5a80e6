// The desk's keyboard: which key press runs which command. Portable: no windows.h (the virtual-key
// numbers are Windows' own).
#pragma once
#include <cstdint>

namespace sona {

enum class DeskKey {
    kNone,
    kDelete,         // Delete: the Delete command
    kCreateDesk,     // Ctrl+N
    kShowDesk,       // Ctrl+1 ... Ctrl+9: desk number `desk` (counted from 0)
    kPreviousDesk,   // Ctrl+PageUp
    kNextDesk,       // Ctrl+PageDown
    kAddText,        // Ctrl+T
    kImportPicture,  // Ctrl+O
    kCopy,           // Ctrl+C
    kPaste,          // Ctrl+V
    kUndo,           // Ctrl+Z
};

struct DeskKeyCommand {
    DeskKey key = DeskKey::kNone;
    uint32_t desk = 0;
};

// The command of a key press: `vk` the virtual-key code, the modifiers held. Ctrl with Alt is
// AltGr on many keyboards (a character, not a command) and Shift changes a shortcut's meaning
// elsewhere, so presses with either do nothing here.
DeskKeyCommand DeskKeyFor(unsigned vk, bool ctrl, bool shift, bool alt);

}  // namespace sona
