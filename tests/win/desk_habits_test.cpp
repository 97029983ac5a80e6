// The main window's desk keys (taken from the desk's own windows, never from a dialog), undo of a
// removal with the record byte for byte, and stacking that keeps records and windows in one order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/MainDeskWindow.h"
#include "items/ItemIds.h"
#include "items/PictureItem.h"
#include "tests/win/ControlHarness.h"

namespace sona {
namespace {

// A main window with one empty desk and no items.
struct Desk {
    MainDeskWindow window;
    Desk() {
        EXPECT_TRUE(window.CreateModeless(nullptr));
        window.Live().Clear();
        window.Model().CreateDesk();
    }
    ~Desk() {
        window.Live().Clear();
        window.DestroyWindow();
    }
    // A picture item of a file that is not there (a grey panel), at r, made current.
    HWND AddPicture(const std::string& path, RECT r) {
        auto picture = std::make_unique<PictureItem>();
        picture->LoadPicture(path);
        EXPECT_TRUE(picture->Create(r, window.hwnd, 0));
        HWND h = picture->hwnd;
        RecordPtr record = NewRecord(kItemPicture);
        SetRecordPath(record.get(), kItemPicture, path);
        window.AppendItem(std::move(picture), std::move(record));
        return h;
    }
    std::string PathAt(size_t i) {
        RecordView v = window.Model().RecordAt(i);
        return v.picture() ? v.picture()->path : "";
    }
    HWND WindowAt(size_t i) { return window.Live().Items()[i]->ItemWindow(); }
};

MSG KeyDown(HWND target, WPARAM vk) {
    MSG m{};
    m.hwnd = target;
    m.message = WM_KEYDOWN;
    m.wParam = vk;
    return m;
}

// True when a lies above b in the window stack.
bool Above(HWND a, HWND b) {
    for (HWND w = GetWindow(a, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == b) return true;
    return false;
}

TEST(DeskKeysFilter, DeleteFromTheCurrentItemRemovesItAndUndoBringsItBackWhole) {
    Desk desk;
    HWND first = desk.AddPicture("C:\\nowhere\\first.jpg", RECT{100, 120, 340, 300});
    desk.AddPicture("C:\\nowhere\\second.jpg", RECT{400, 120, 640, 300});
    desk.window.Live().Sync();
    std::vector<uint8_t> before(desk.window.Model().desks()[0][0].get(),
                                desk.window.Model().desks()[0][0].get() + sizeof(PictureItemRecord));
    SendMessageA(desk.window.hwnd, WM_DESKITEM_SELECT, 0, (LPARAM)first);

    MSG del = KeyDown(first, VK_DELETE);
    EXPECT_TRUE(desk.window.PreTranslateMessage(&del));
    test::Pump();
    ASSERT_EQ(desk.window.Model().RecordCount(), 1u);
    EXPECT_EQ(desk.PathAt(0), "C:\\nowhere\\second.jpg");
    EXPECT_EQ(desk.window.Undo().Size(), 1u);

    desk.window.OnUndo();
    ASSERT_EQ(desk.window.Model().RecordCount(), 2u);
    ASSERT_EQ(desk.window.Live().Items().size(), 2u);
    EXPECT_EQ(std::memcmp(desk.window.Model().desks()[0][0].get(), before.data(), before.size()), 0);
    EXPECT_EQ(desk.window.Live().Current(), desk.WindowAt(0));
    RECT r;
    GetWindowRect(desk.WindowAt(0), &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 120);
    // Back at the bottom, where it was.
    EXPECT_TRUE(Above(desk.WindowAt(1), desk.WindowAt(0)));
    EXPECT_TRUE(desk.window.Undo().Empty());
}

TEST(DeskKeysFilter, KeysInADialogOrWhileOneRunsAreNotTheDesks) {
    Desk desk;
    HWND item = desk.AddPicture("C:\\nowhere\\kept.jpg", RECT{100, 120, 340, 300});
    // A dialog owned by the main window (as the note editor is) with a text box.
    HWND dialog = CreateWindowExA(0, "#32770", "Add Text", WS_POPUP, 0, 0, 200, 100, desk.window.hwnd, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(dialog);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 100, 20, dialog, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(edit);
    MSG inEdit = KeyDown(edit, VK_DELETE);
    EXPECT_FALSE(desk.window.PreTranslateMessage(&inEdit));
    MSG inDialog = KeyDown(dialog, VK_DELETE);
    EXPECT_FALSE(desk.window.PreTranslateMessage(&inDialog));
    // A modal dialog disables the main window: the item's keys wait too.
    EnableWindow(desk.window.hwnd, FALSE);
    MSG fromItem = KeyDown(item, VK_DELETE);
    EXPECT_FALSE(desk.window.PreTranslateMessage(&fromItem));
    EnableWindow(desk.window.hwnd, TRUE);
    // Keys that are no command of the desk go on as before.
    MSG letter = KeyDown(item, 'A');
    EXPECT_FALSE(desk.window.PreTranslateMessage(&letter));
    test::Pump();
    EXPECT_EQ(desk.window.Model().RecordCount(), 1u);
    DestroyWindow(dialog);
}

TEST(DeskStacking, BringToFrontAndSendToBackReorderRecordsAndWindowsAlike) {
    Desk desk;
    HWND a = desk.AddPicture("C:\\nowhere\\a.jpg", RECT{100, 120, 340, 300});
    desk.AddPicture("C:\\nowhere\\b.jpg", RECT{200, 160, 440, 340});
    desk.AddPicture("C:\\nowhere\\c.jpg", RECT{300, 200, 540, 380});
    SendMessageA(desk.window.hwnd, WM_DESKITEM_SELECT, 0, (LPARAM)a);

    desk.window.RestackItem(a, true);
    ASSERT_EQ(desk.window.Model().RecordCount(), 3u);
    EXPECT_EQ(desk.PathAt(0), "C:\\nowhere\\b.jpg");
    EXPECT_EQ(desk.PathAt(2), "C:\\nowhere\\a.jpg");
    EXPECT_TRUE(Above(desk.WindowAt(2), desk.WindowAt(1)));
    EXPECT_TRUE(Above(desk.WindowAt(1), desk.WindowAt(0)));
    // The item stays current (its window may be a new one) and at its place.
    EXPECT_EQ(desk.window.Live().Current(), desk.WindowAt(2));
    RECT r;
    GetWindowRect(desk.WindowAt(2), &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 120);

    // Sent to the back, it is made anew now and the others above it over the next turns.
    desk.window.RestackItem(desk.WindowAt(2), false);
    desk.window.Live().FinishBuild();
    EXPECT_EQ(desk.PathAt(0), "C:\\nowhere\\a.jpg");
    EXPECT_EQ(desk.PathAt(1), "C:\\nowhere\\b.jpg");
    EXPECT_EQ(desk.PathAt(2), "C:\\nowhere\\c.jpg");
    EXPECT_TRUE(Above(desk.WindowAt(2), desk.WindowAt(1)));
    EXPECT_TRUE(Above(desk.WindowAt(1), desk.WindowAt(0)));
    EXPECT_EQ(desk.window.Live().Current(), desk.WindowAt(0));
    test::Pump();
}

}  // namespace
}  // namespace sona
