// The note editor: what it shows for a record, what OK writes back, what every other way out
// leaves alone, its keyboard rules and its drag strip. Each test drives the modal dialog from a
// thread timer that runs inside the dialog's own loop once the window exists.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "notes/CDlgAddText.h"

using namespace sona;

namespace {

CDlgAddText* running = nullptr;
std::function<void(CDlgAddText&)> script;
bool scriptRan = false;

// Runs the script once the dialog is on screen; a second tick ends a dialog the script left
// open so that a failing test cannot hang the run.
VOID CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    if (!running || !running->hwnd || !IsWindowVisible(running->hwnd)) return;
    if (!scriptRan) {
        scriptRan = true;
        script(*running);
        return;
    }
    KillTimer(nullptr, id);
    if (running->hwnd) running->EndDialog(-5);
}

INT_PTR RunEditor(TextNoteRecord* record, std::function<void(CDlgAddText&)> action) {
    CDlgAddText dialog;
    dialog.record = record;
    running = &dialog;
    script = std::move(action);
    scriptRan = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, Tick);
    INT_PTR result = dialog.DoModal(nullptr);
    KillTimer(nullptr, timer);
    running = nullptr;
    return result;
}

void Press(HWND bar, UINT id) { SendMessageA(bar, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// Chooses entry `index` of a combo box the way a user does: open, pick.
void Choose(CVrnComboBox& combo, int index) {
    SendMessageA(combo.hwnd, WM_COMBO_TOGGLE, 0, 0);
    SendMessageA(combo.hwnd, WM_COMBO_CHOOSE, (WPARAM)index, 0);
}

TextNoteRecord NewRecord() {
    TextNoteRecord r;
    InitTextNoteRecord(&r);
    return r;
}

}  // namespace

TEST(AddTextDialog, ANewNoteOpensWith12AndBlackInTheSkinnedFrame) {
    TextNoteRecord rec = NewRecord();
    std::string size, face;
    COLORREF colour = 1;
    RECT window{}, client{};
    LONG style = 0;
    char title[32] = {};
    HWND focus = nullptr, textBox = nullptr;
    INT_PTR r = RunEditor(&rec, [&](CDlgAddText& d) {
        TextFormatBar& bar = d.Bar();
        size = bar.sizeList.Text();
        colour = bar.colourPicker.GetColour();
        bar.fontList.GetLBText(bar.fontList.GetCurSel(), &face);
        window = d.WindowRect();
        GetClientRect(bar.hwnd, &client);
        style = GetWindowLongA(d.hwnd, GWL_STYLE);
        GetWindowTextA(d.hwnd, title, sizeof title);
        focus = GetFocus();
        textBox = bar.textBox.hwnd;
        Press(bar.hwnd, IDC_TEXT_CANCEL);
    });
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_EQ(size, "12");
    EXPECT_EQ(colour, 0u);
    EXPECT_EQ(face, "Microsoft Sans Serif");
    EXPECT_EQ(window.right - window.left, 380);
    EXPECT_EQ(window.bottom - window.top, 340);
    EXPECT_EQ(client.right, 360);
    EXPECT_EQ(client.bottom, 300);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_STREQ(title, "Add Text");
    EXPECT_EQ(focus, textBox);
}

TEST(AddTextDialog, TheFontListHoldsOnlyFacesGdiplusCanDraw) {
    TextNoteRecord rec = NewRecord();
    int count = 0;
    bool vertical = false, sorted = true;
    RunEditor(&rec, [&](CDlgAddText& d) {
        FontNameCombo& list = d.Bar().fontList;
        count = list.GetCount();
        std::string prev;
        for (int i = 0; i < count; i++) {
            std::string face;
            list.GetLBText(i, &face);
            if (!face.empty() && face[0] == '@') vertical = true;
            if (i > 0 && face < prev) sorted = false;
            prev = face;
        }
        Press(d.Bar().hwnd, IDC_TEXT_CANCEL);
    });
    EXPECT_GT(count, 0);
    EXPECT_FALSE(vertical);
    EXPECT_TRUE(sorted);
}

TEST(AddTextDialog, Size11ShowsTwelveAndKeepsElevenOnOk) {
    TextNoteRecord rec = NewRecord();
    rec.font.lfHeight = 11;
    std::strcpy(rec.text, "eleven");
    std::string shown;
    INT_PTR r = RunEditor(&rec, [&](CDlgAddText& d) {
        shown = d.Bar().sizeList.Text();
        Press(d.Bar().hwnd, IDC_TEXT_OK);
    });
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(shown, "12");
    EXPECT_EQ(rec.font.lfHeight, 11);
    EXPECT_STREQ(rec.text, "eleven");
    EXPECT_EQ(rec.reservedColour, 0xC8C8C8u);
}

TEST(AddTextDialog, OkWritesSizeColourFaceAndText) {
    TextNoteRecord rec = NewRecord();
    std::string firstFace;
    INT_PTR r = RunEditor(&rec, [&](CDlgAddText& d) {
        TextFormatBar& bar = d.Bar();
        Choose(bar.sizeList, 9);  // "24"
        SendMessageA(bar.hwnd, WM_COLOUR_CHOSEN, 0x0000FF, IDC_TEXT_COLOUR);
        SendMessageA(bar.hwnd, WM_COLOUR_CHOSEN, 0x00FF00, 999);  // another control's: ignored
        Choose(bar.fontList, 0);
        bar.fontList.GetLBText(0, &firstFace);
        bar.textBox.SetText("line one\r\nline two");
        Press(bar.hwnd, IDC_TEXT_OK);
    });
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(rec.font.lfHeight, 24);
    EXPECT_EQ(rec.textColour, 0x0000FFu);
    EXPECT_EQ(std::string(rec.font.lfFaceName), firstFace);
    EXPECT_STREQ(rec.text, "line one\r\nline two");
}

TEST(AddTextDialog, CancelAndTheCloseButtonLeaveTheRecordByteIdentical) {
    TextNoteRecord rec = NewRecord();
    std::strcpy(rec.text, "keep me");
    rec.textColour = 0x123456;
    rec.font.lfHeight = 36;
    TextNoteRecord before;
    std::memcpy(&before, &rec, sizeof rec);
    auto change = [](CDlgAddText& d) {
        TextFormatBar& bar = d.Bar();
        Choose(bar.sizeList, 0);
        SendMessageA(bar.hwnd, WM_COLOUR_CHOSEN, 0x0000FF, IDC_TEXT_COLOUR);
        bar.textBox.SetText("changed");
    };
    INT_PTR r = RunEditor(&rec, [&](CDlgAddText& d) {
        change(d);
        Press(d.Bar().hwnd, IDC_TEXT_CANCEL);
    });
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_EQ(std::memcmp(&rec, &before, sizeof rec), 0);
    r = RunEditor(&rec, [&](CDlgAddText& d) {
        change(d);
        HWND close = d.CloseButton().hwnd;
        SendMessageA(close, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(8, 8));
        SendMessageA(close, WM_LBUTTONUP, 0, PackPoint(8, 8));
    });
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_EQ(std::memcmp(&rec, &before, sizeof rec), 0);
}

TEST(AddTextDialog, PastingTwelveThousandCharactersStoresTheFirst9999) {
    TextNoteRecord rec = NewRecord();
    std::string pasted;
    for (int i = 0; i < 12000; i++) pasted += (char)('a' + i % 26);
    static size_t reported;
    reported = 0;
    NoteCutReporter saved = noteCutReporter;
    noteCutReporter = [](HWND, size_t dropped, bool) { reported = dropped; };
    INT_PTR r = RunEditor(&rec, [&](CDlgAddText& d) {
        HWND box = d.Bar().textBox.hwnd;
        SendMessageA(box, EM_REPLACESEL, TRUE, (LPARAM)pasted.c_str());
        Press(d.Bar().hwnd, IDC_TEXT_OK);
    });
    noteCutReporter = saved;
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(std::strlen(rec.text), 9999u);
    EXPECT_EQ(std::string(rec.text), pasted.substr(0, 9999));
    // The user is told what was left out.
    EXPECT_EQ(reported, 2001u);
}

TEST(AddTextDialog, EscIsSwallowedAndEnterOnlyBreaksLinesInTheTextBox) {
    TextNoteRecord rec = NewRecord();
    bool escSwallowed = false, enterElsewhereSwallowed = false;
    INT_PTR r = RunEditor(&rec, [&](CDlgAddText& d) {
        TextFormatBar& bar = d.Bar();
        MSG esc{bar.textBox.hwnd, WM_KEYDOWN, VK_ESCAPE, 0};
        escSwallowed = d.PreTranslateMessage(&esc);
        MSG enter{bar.sizeList.hwnd, WM_KEYDOWN, VK_RETURN, 0};
        SetFocus(bar.sizeList.hwnd);
        enterElsewhereSwallowed = d.PreTranslateMessage(&enter);
        SetFocus(bar.textBox.hwnd);
        bar.textBox.SetText("ab");
        SendMessageA(bar.textBox.hwnd, EM_SETSEL, 1, 1);
        MSG breakLine{bar.textBox.hwnd, WM_KEYDOWN, VK_RETURN, 0x1C0001};
        d.PreTranslateMessage(&breakLine);
        MSG m;
        while (PeekMessageA(&m, bar.textBox.hwnd, WM_CHAR, WM_CHAR, PM_REMOVE)) DispatchMessageA(&m);
        Press(bar.hwnd, IDC_TEXT_OK);
    });
    EXPECT_EQ(r, IDOK);
    EXPECT_TRUE(escSwallowed);
    EXPECT_TRUE(enterElsewhereSwallowed);
    EXPECT_STREQ(rec.text, "a\r\nb");
}

TEST(AddTextDialog, OnlyTheTop25PixelStripDragsTheDialog) {
    TextNoteRecord rec = NewRecord();
    bool fromStrip = false, fromBelow = true;
    WPARAM hit = 0;
    RunEditor(&rec, [&](CDlgAddText& d) {
        MSG m;
        SendMessageA(d.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(100, 12));
        fromStrip = PeekMessageA(&m, d.hwnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE);
        hit = m.wParam;
        SendMessageA(d.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 26));
        fromBelow = PeekMessageA(&m, d.hwnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE);
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(fromStrip);
    EXPECT_EQ(hit, (WPARAM)HTCAPTION);
    EXPECT_FALSE(fromBelow);
}
