// The desk's keys: each press and the command it runs, and the presses that run nothing.
#include <gtest/gtest.h>

#include "app/DeskKeys.h"

namespace sona {
namespace {

TEST(DeskKeys, EachKeyOfTheTable) {
    struct Case {
        unsigned vk;
        bool ctrl, shift, alt;
        DeskKey key;
        uint32_t desk;
    } cases[] = {
        {0x2E, false, false, false, DeskKey::kDelete, 0},
        {'N', true, false, false, DeskKey::kCreateDesk, 0},
        {'1', true, false, false, DeskKey::kShowDesk, 0},
        {'5', true, false, false, DeskKey::kShowDesk, 4},
        {'9', true, false, false, DeskKey::kShowDesk, 8},
        {0x61, true, false, false, DeskKey::kShowDesk, 0},  // the number pad's 1
        {0x69, true, false, false, DeskKey::kShowDesk, 8},
        {0x21, true, false, false, DeskKey::kPreviousDesk, 0},
        {0x22, true, false, false, DeskKey::kNextDesk, 0},
        {'T', true, false, false, DeskKey::kAddText, 0},
        {'O', true, false, false, DeskKey::kImportPicture, 0},
        {'C', true, false, false, DeskKey::kCopy, 0},
        {'V', true, false, false, DeskKey::kPaste, 0},
        {'Z', true, false, false, DeskKey::kUndo, 0},
        // Not commands.
        {'0', true, false, false, DeskKey::kNone, 0},
        {0x60, true, false, false, DeskKey::kNone, 0},
        {'N', false, false, false, DeskKey::kNone, 0},
        {'1', false, false, false, DeskKey::kNone, 0},
        {0x21, false, false, false, DeskKey::kNone, 0},
        {0x2E, true, false, false, DeskKey::kNone, 0},
        {0x2E, false, true, false, DeskKey::kNone, 0},
        {'Z', true, true, false, DeskKey::kNone, 0},  // Ctrl+Shift+Z is redo elsewhere
        {'V', true, false, true, DeskKey::kNone, 0},  // AltGr+V types a character
        {'A', true, false, false, DeskKey::kNone, 0},
        {0x73, false, false, true, DeskKey::kNone, 0},  // Alt+F4 is the application's
    };
    for (const Case& c : cases) {
        DeskKeyCommand got = DeskKeyFor(c.vk, c.ctrl, c.shift, c.alt);
        EXPECT_EQ(got.key, c.key) << std::hex << c.vk << " ctrl " << c.ctrl << " shift " << c.shift << " alt " << c.alt;
        if (c.key == DeskKey::kShowDesk) {
            EXPECT_EQ(got.desk, c.desk) << std::hex << c.vk;
        }
    }
}

}  // namespace
}  // namespace sona
