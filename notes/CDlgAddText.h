// The note editor: a captionless, skinned modal dialog holding one TextFormatBar with the font
// and size lists, the colour picker, the text box and OK / Cancel. It edits a working copy of
// the caller's TextNoteRecord and writes it back, whole, only on OK.
#pragma once
#include <string>

#include "controls/CVrnColourPicker.h"
#include "controls/CVrnComboBox.h"
#include "controls/SkinButton.h"
#include "notes/NoteMessages.h"
#include "platform/Dialog.h"
#include "platform/Gdi.h"
#include "store/DeskRecords.h"

// The dialog's and the format bar's controls.
#define IDC_DIALOG_CLOSE 10039
#define IDC_FONT_LIST 10050
#define IDC_TEXT_OK 10051
#define IDC_TEXT_COLOUR 10053
#define IDC_SIZE_LIST 10055
#define IDC_NOTE_EDIT 10056
#define IDC_TEXT_CANCEL 10058

namespace sona {

// The face list: filled with the installed faces that GDI+ can draw.
class FontNameCombo : public CVrnComboBox {
public:
    // Adds one entry per face of the control's device context, leaving out vertical ("@") faces
    // and faces GDI+ cannot make a font of.
    void FillWithFaces();
};

// The text box: a Unicode rich edit, so a note in any language is shown and edited as it is.
// Its text goes in and out as UTF-8. It keeps the control's own window procedure (an ANSI
// subclass would pass every text through the code page).
class NoteRichEdit : public Window {
public:
    static constexpr DWORD kStyle = 0x50B011C4;
    ~NoteRichEdit() override;
    BOOL Create(const RECT& rect, HWND parent, UINT id);
    std::string Text() const;
    void SetText(const std::string& text);
};

// A note's text cut to what a note holds (kMaxNoteChars UTF-16 units, never half a character);
// *dropped: how many characters were left out.
std::string CutNoteText(const std::string& text, size_t* dropped);

// Tells the user, in a box owned by `owner`, how much of a note's text was left out and whether
// the note is larger than the screen (so shows only its first part). Every such report goes
// through noteCutReporter, which tests replace.
void ReportNoteCut(HWND owner, size_t dropped, bool largerThanScreen);
using NoteCutReporter = void (*)(HWND owner, size_t dropped, bool largerThanScreen);
extern NoteCutReporter noteCutReporter;

class TextFormatBar : public Window {
public:
    TextFormatBar();
    ~TextFormatBar() override;

    // Creates the bar and all its controls at `rect` (parent client coordinates).
    BOOL Create(const RECT& rect, HWND parent);

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // Children in creation order; the working copy is all the controls ever change.
    FontNameCombo fontList;
    CVrnColourPicker colourPicker;
    CVrnComboBox sizeList;
    NoteRichEdit textBox;
    TextNoteRecord working;
    std::string workingText;  // the full text, UTF-8, as OK took it from the text box
    SkinButton okButton;
    SkinButton cancelButton;

    const OffscreenSurface& Picture() const { return picture; }

private:
    void OnOk();
    void DrawPicture();
    void CopyPicture(HDC dc, bool allChildren);
    void StoreFaceName();

    OffscreenSurface picture;
};

class CDlgAddText : public Dialog {
public:
    CDlgAddText();
    ~CDlgAddText() override;

    // The caller's record: read on open, written whole on OK only.
    TextNoteRecord* record = nullptr;
    // The note's full text (UTF-8), read on open and written on OK; null: record->text is used.
    std::string* text = nullptr;

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    TextFormatBar& Bar() { return bar; }
    SkinButton& CloseButton() { return closeButton; }

private:
    void BuildBackground();

    TextFormatBar bar;
    SkinButton closeButton;
    OffscreenSurface background;
};

}  // namespace sona
