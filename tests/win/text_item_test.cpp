// The text note window: sizing from its text, the card and text alphas, the rounded region
// that takes no clicks in its corners, editing and what it writes back.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <string>

#include "app/ItemDispatch.h"
#include "items/ItemIds.h"
#include "notes/CDlgAddText.h"
#include "notes/NoteMeasure.h"
#include "notes/TextItem.h"

using namespace sona;

namespace {

// A hidden stand-in for the main window: it only needs to own the notes.
class Owner : public Window {
public:
    int selects = 0;
    bool Create() {
        const char* cls = RegisterWindowClass(CS_DBLCLKS, LoadCursorA(nullptr, IDC_ARROW), SharedWhiteBrush());
        return CreateEx(0, cls, "", WS_POPUP, 0, 0, 100, 100, nullptr, 0);
    }
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_DESKITEM_SELECT) {
            selects++;
            return 0;
        }
        return Default();
    }
};

// Places a note the way the add-text command does: measured size plus 20 each way.
bool Place(TextItem& note, HWND owner, int x = 200, int y = 200) {
    SIZE s = note.MeasureText(note.record);
    return note.Create(RECT{x, y, x + s.cx + 20, y + s.cy + 20}, owner, 0) != FALSE;
}

SIZE ClientSize(const TextItem& note) {
    RECT rc = note.ClientRect();
    return SIZE{rc.right, rc.bottom};
}

uint8_t AlphaAt(const TextItem& note, int x, int y) {
    const OffscreenSurface& s = note.Surface();
    return (uint8_t)(s.pixels()[y * s.width() + x] >> 24);
}

// Drives the note's own editor from inside its modal loop.
std::function<void(CDlgAddText&)> editorScript;
bool editorScriptRan = false;
VOID CALLBACK EditorTick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND active = GetActiveWindow();
    auto* dialog = dynamic_cast<CDlgAddText*>(Window::FromHandle(active));
    if (!dialog || editorScriptRan) return;
    editorScriptRan = true;
    KillTimer(nullptr, id);
    editorScript(*dialog);
}

void EditWith(TextItem& note, std::function<void(CDlgAddText&)> action) {
    editorScript = std::move(action);
    editorScriptRan = false;
    SetTimer(nullptr, 0, 100, EditorTick);
    note.Edit();
}

class TextItemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(owner.Create()); }
    Owner owner;
};

}  // namespace

TEST_F(TextItemTest, EmptyTextGivesA20By20Card) {
    TextItem note;
    SIZE s = note.MeasureText(note.record);
    EXPECT_EQ(s.cx, 0);
    EXPECT_EQ(s.cy, 0);
    ASSERT_TRUE(Place(note, owner.hwnd));
    SIZE c = ClientSize(note);
    EXPECT_EQ(c.cx, 20);
    EXPECT_EQ(c.cy, 20);
    // Only the faint card: alpha 60 everywhere inside the corners.
    EXPECT_EQ(AlphaAt(note, 10, 10), 60);
    EXPECT_TRUE(GetWindowLongA(note.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetWindowLongA(note.hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST_F(TextItemTest, CrLfLinesMeasureAsThatManyLinesAndNeverWrap) {
    TextNoteRecord one;
    InitTextNoteRecord(&one);
    std::strcpy(one.text, "The longest line here");
    TextNoteRecord three = one;
    std::strcpy(three.text, "short\r\nThe longest line here\r\nmid line");
    SIZE s1 = MeasureNoteText(one, nullptr), s3 = MeasureNoteText(three, nullptr);
    ASSERT_GT(s1.cy, 0);
    // The longest line sets the width (Wine's GDI+ adds a few pixels for each CR it measures).
    EXPECT_GE(s3.cx, s1.cx);
    EXPECT_LE(s3.cx, s1.cx + 16);
    EXPECT_GE(s3.cy, 3 * s1.cy - 3);
    EXPECT_LE(s3.cy, 3 * s1.cy + 3);

    TextItem note;
    note.record = three;
    EXPECT_EQ(note.MeasureText(note.record).cx, s3.cx);
    ASSERT_TRUE(Place(note, owner.hwnd));
    SIZE c = ClientSize(note);
    EXPECT_EQ(c.cx, s3.cx + 20);
    EXPECT_EQ(c.cy, s3.cy + 20);
    // The window's measurement and the main window's agree.
    EXPECT_EQ(note.MeasureText(note.record).cy, s3.cy);
    // Text is drawn (alpha above the card's) but nothing below the third line's band.
    int inked = 0;
    for (int y = 10; y < c.cy - 10; y++)
        for (int x = 10; x < c.cx - 10; x++)
            if (AlphaAt(note, x, y) > 60) inked++;
    EXPECT_GT(inked, 50);
    for (int y = c.cy - 9; y < c.cy; y++)
        for (int x = 0; x < c.cx; x++) EXPECT_LE(AlphaAt(note, x, y), 60) << x << "," << y;
}

TEST_F(TextItemTest, AnUninstalledFaceGivesAnEmpty20By20Note) {
    TextItem note;
    std::strcpy(note.record.font.lfFaceName, "No Such Face Here");
    std::strcpy(note.record.text, "invisible");
    ASSERT_TRUE(Place(note, owner.hwnd));
    SIZE c = ClientSize(note);
    EXPECT_EQ(c.cx, 20);
    EXPECT_EQ(c.cy, 20);
    for (int y = 2; y < 18; y++)
        for (int x = 2; x < 18; x++) EXPECT_EQ(AlphaAt(note, x, y), 60);
}

TEST_F(TextItemTest, CornersOutsideTheRoundedRegionTakeNoClicks) {
    TextItem note;
    std::strcpy(note.record.text, "Corners");
    ASSERT_TRUE(Place(note, owner.hwnd, 300, 300));
    SIZE c = ClientSize(note);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(note.hwnd, rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, c.cx - 1, c.cy - 1));
    EXPECT_TRUE(PtInRegion(rgn, c.cx / 2, c.cy / 2));
    EXPECT_TRUE(PtInRegion(rgn, 3, c.cy / 2));
    DeleteObject(rgn);
    EXPECT_NE(WindowFromPoint(POINT{300, 300}), note.hwnd);
    EXPECT_EQ(WindowFromPoint(POINT{300 + c.cx / 2, 300 + c.cy / 2}), note.hwnd);
}

TEST_F(TextItemTest, WriteRecordCopiesTextFontColoursAndReservedValues) {
    TextItem note;
    std::strcpy(note.record.text, "a\r\nb");
    note.record.textColour = 0x0000FF;
    note.record.font.lfHeight = 24;
    TextItemRecord rec;
    std::memset(&rec, 0xAB, sizeof rec);
    note.WriteRecord(RecordView(&rec));
    EXPECT_STREQ(rec.text, "a\r\nb");
    EXPECT_EQ(rec.textColour, 0x0000FFu);
    EXPECT_EQ(rec.reservedColour, 0xC8C8C8u);
    EXPECT_EQ(rec.font.lfHeight, 24);
    EXPECT_STREQ(rec.font.lfFaceName, "Microsoft Sans Serif");
    for (uint32_t w : rec.reservedWords) EXPECT_EQ(w, 0u);
}

TEST_F(TextItemTest, EditKeepsTheCornerAndResizesOnlyOnOk) {
    TextItem note;
    std::strcpy(note.record.text, "x");
    ASSERT_TRUE(Place(note, owner.hwnd, 250, 260));
    RECT before = note.WindowRect();
    TextNoteRecord kept = note.record;
    EditWith(note, [](CDlgAddText& d) {
        d.Bar().textBox.SetText("a much longer note\r\nover two lines");
        SendMessageA(d.Bar().hwnd, WM_COMMAND, IDC_TEXT_CANCEL, 0);
    });
    EXPECT_EQ(std::memcmp(&note.record, &kept, sizeof kept), 0);
    RECT same = note.WindowRect();
    EXPECT_TRUE(EqualRect(&same, &before));

    EditWith(note, [](CDlgAddText& d) {
        d.Bar().textBox.SetText("a much longer note\r\nover two lines");
        SendMessageA(d.Bar().hwnd, WM_COMMAND, IDC_TEXT_OK, 0);
    });
    EXPECT_STREQ(note.record.text, "a much longer note\r\nover two lines");
    SIZE s = note.MeasureText(note.record);
    RECT after = note.WindowRect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, s.cx + 20);
    EXPECT_EQ(after.bottom - after.top, s.cy + 20);
}

TEST_F(TextItemTest, KeyboardFilterSwallowsEscAndEnter) {
    TextItem note;
    ASSERT_TRUE(Place(note, owner.hwnd));
    MSG esc{note.hwnd, WM_KEYDOWN, VK_ESCAPE, 0}, enter{note.hwnd, WM_KEYDOWN, VK_RETURN, 0}, a{note.hwnd, WM_KEYDOWN, 'A', 0};
    EXPECT_TRUE(note.PreTranslateMessage(&esc));
    EXPECT_TRUE(note.PreTranslateMessage(&enter));
    EXPECT_FALSE(note.PreTranslateMessage(&a));
    // A click selects the note in its owner and asks the system to move it.
    SendMessageA(note.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(3, 3));
    EXPECT_EQ(owner.selects, 1);
    MSG m;
    EXPECT_TRUE(PeekMessageA(&m, note.hwnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(m.wParam, (WPARAM)HTCAPTION);
}

namespace {

// A stored note record as the desk store holds it.
TextItemRecord StoredNote(const char* text) {
    TextItemRecord rec;
    std::memset(&rec, 0, sizeof rec);
    std::strcpy(rec.text, text);
    TextNoteRecord defaults;
    InitTextNoteRecord(&defaults);
    rec.font = defaults.font;
    rec.textColour = 0x123456;
    rec.reservedColour = kNoteReservedColour;
    return rec;
}

TextItem* AsNote(const std::unique_ptr<DeskItem>& item) { return dynamic_cast<TextItem*>(item.get()); }

// Stands in for the main window's removal: deletes the note when its request arrives.
class DeletingOwner : public Owner {
public:
    TextItem* note = nullptr;
    HWND asked = nullptr;
    int removes = 0;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_DESKITEM_REMOVE) {
            removes++;
            asked = (HWND)lp;
            delete note;
            note = nullptr;
            return 0;
        }
        return Owner::WndProc(msg, wp, lp);
    }
};

void DispatchPending() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

}  // namespace

TEST_F(TextItemTest, ARestoredNoteWritesItsTextFieldBackByteForByte) {
    struct Case {
        const char* name;
        std::function<void(char*)> fill;  // the stored text field
        std::function<void(char*)> expect;  // what comes back (from the stored field)
    } cases[] = {
        {"bytes after the end, last byte set",
         [](char* t) {
             std::strcpy(t, "hello");
             for (int i = 6; i < 10000; i++) t[i] = (char)('a' + i % 26);
             t[9999] = 'Z';
         },
         [](char*) {}},
        {"ends at the last byte", [](char* t) { std::memset(t, 'q', 9999); t[9999] = 0; }, [](char*) {}},
        {"ends at the first byte, rest set", [](char* t) { std::memset(t + 1, 0x7F, 9999); }, [](char*) {}},
        {"no end at all", [](char* t) { std::memset(t, 'A', 10000); }, [](char* t) { t[9999] = 0; }},
    };
    for (const Case& c : cases) {
        TextItemRecord stored = StoredNote("");
        c.fill(stored.text);
        auto item = RestoreDeskItem(RecordView(&stored), RECT{200, 200, 300, 260}, owner.hwnd);
        TextItem* note = AsNote(item);
        ASSERT_NE(note, nullptr) << c.name;
        ASSERT_NE(std::memchr(note->record.text, 0, sizeof note->record.text), nullptr) << c.name;
        TextItemRecord written = stored;
        note->WriteRecord(RecordView(&written));
        char expected[10000];
        std::memcpy(expected, stored.text, sizeof expected);
        c.expect(expected);
        EXPECT_EQ(std::memcmp(written.text, expected, sizeof expected), 0) << c.name;
        // An untouched note gives back its whole stored record.
        if (std::memcmp(expected, stored.text, sizeof expected) == 0)
            EXPECT_EQ(std::memcmp(&written, &stored, sizeof stored), 0) << c.name;
    }
}

TEST_F(TextItemTest, ARestoredNoteIsAlwaysItsMeasuredSizePlus20) {
    TextItemRecord stored = StoredNote("Restored\r\nnote");
    TextNoteRecord probe;
    InitTextNoteRecord(&probe);
    std::memcpy(probe.text, stored.text, sizeof probe.text);
    SIZE s = MeasureNoteText(probe, nullptr);
    ASSERT_GT(s.cx, 0);
    ASSERT_GT(s.cy, 0);
    struct Case {
        int w, h;
    } stored_sizes[] = {
        {s.cx, s.cy}, {s.cx, 80}, {200, s.cy}, {200, 80}, {s.cx + 20, s.cy + 20}, {0, 0},
    };
    for (const Case& c : stored_sizes) {
        auto item = RestoreDeskItem(RecordView(&stored), RECT{210, 220, 210 + c.w, 220 + c.h}, owner.hwnd);
        TextItem* note = AsNote(item);
        ASSERT_NE(note, nullptr);
        RECT r = note->WindowRect();
        EXPECT_EQ(r.left, 210);
        EXPECT_EQ(r.top, 220);
        EXPECT_EQ(r.right - r.left, s.cx + 20) << "stored " << c.w << " x " << c.h;
        EXPECT_EQ(r.bottom - r.top, s.cy + 20) << "stored " << c.w << " x " << c.h;
    }
}

TEST_F(TextItemTest, TheNoteIsDisabledWhileItsEditorRuns) {
    TextItem note;
    std::strcpy(note.record.text, "busy");
    ASSERT_TRUE(Place(note, owner.hwnd));
    BOOL enabledDuring = TRUE;
    EditWith(note, [&](CDlgAddText& d) {
        enabledDuring = IsWindowEnabled(note.hwnd);
        SendMessageA(d.Bar().hwnd, WM_COMMAND, IDC_TEXT_CANCEL, 0);
    });
    EXPECT_FALSE(enabledDuring);
    EXPECT_TRUE(IsWindowEnabled(note.hwnd));
}

TEST_F(TextItemTest, RemoveIsAskedByPostAndTheNoteOutlivesItsOwnCommand) {
    DeletingOwner deleter;
    ASSERT_TRUE(deleter.Create());
    deleter.note = new TextItem;
    std::strcpy(deleter.note->record.text, "on the heap");
    ASSERT_TRUE(Place(*deleter.note, deleter.hwnd));
    HWND window = deleter.note->hwnd;
    SendMessageA(window, WM_COMMAND, ID_DESKITEM_REMOVE, 0);
    // The command has returned and the note is still whole; the request waits in the queue.
    EXPECT_EQ(deleter.removes, 0);
    EXPECT_TRUE(IsWindow(window));
    DispatchPending();
    EXPECT_EQ(deleter.removes, 1);
    EXPECT_EQ(deleter.asked, window);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(TextItemTest, ANoteAsksForNoRemovalWhileItsEditorIsOpen) {
    // The editor's loop would deliver a request while Edit is still running: the note, disabled
    // while its editor is open, asks nothing and takes the edit.
    DeletingOwner deleter;
    ASSERT_TRUE(deleter.Create());
    deleter.note = new TextItem;
    TextItem* note = deleter.note;
    std::strcpy(note->record.text, "on the heap");
    ASSERT_TRUE(Place(*note, deleter.hwnd));
    HWND window = note->hwnd;
    EditWith(*note, [&](CDlgAddText& d) {
        SendMessageA(window, WM_COMMAND, ID_DESKITEM_REMOVE, 0);
        d.Bar().textBox.SetText("edited while a removal was asked");
        SendMessageA(d.Bar().hwnd, WM_COMMAND, IDC_TEXT_OK, 0);
    });
    DispatchPending();
    EXPECT_EQ(deleter.removes, 0);
    ASSERT_EQ(deleter.note, note);
    EXPECT_STREQ(note->record.text, "edited while a removal was asked");
    EXPECT_TRUE(IsWindowEnabled(window));
    // With the editor closed, Remove asks again and the note goes.
    SendMessageA(window, WM_COMMAND, ID_DESKITEM_REMOVE, 0);
    DispatchPending();
    EXPECT_EQ(deleter.removes, 1);
    EXPECT_FALSE(IsWindow(window));
    // The heap is whole (a write into the freed note shows here under the heap checker).
    HANDLE heaps[64];
    DWORD n = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < n && i < 64; i++) EXPECT_TRUE(HeapValidate(heaps[i], 0, nullptr)) << "heap " << i;
}

TEST_F(TextItemTest, OkAppliesTheEditorsCopyOnlyOnOk) {
    TextItem note;
    std::strcpy(note.record.text, "before");
    ASSERT_TRUE(Place(note, owner.hwnd));
    std::string seenDuring;
    EditWith(note, [&](CDlgAddText& d) {
        d.Bar().textBox.SetText("after");
        SendMessageA(d.Bar().hwnd, WM_COMMAND, IDC_TEXT_OK, 0);
        // The note keeps its own text until the editor has ended.
        seenDuring = note.record.text;
    });
    EXPECT_EQ(seenDuring, "before");
    EXPECT_STREQ(note.record.text, "after");
}
