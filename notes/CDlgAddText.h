// The note editor: a captionless, skinned modal dialog holding one TextFormatBar with the font
// and size lists, the colour picker, the text box and OK / Cancel. It edits a working copy of
// the caller's TextNoteRecord and writes it back, whole, only on OK.
#pragma once
#include <string>

#include "controls/CVrnColourPicker.h"
#include "controls/CVrnComboBox.h"
#include "controls/SkinButton.h"
#include "platform/Dialog.h"
#include "platform/Gdi.h"
#include "store/DeskRecords.h"

// Format bar -> add-text dialog: lParam 0 OK, 1 Cancel.
#define WM_ADDTEXT_CLOSE (0x400 + 214)

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

// The text box: a rich edit holding ANSI text.
class NoteRichEdit : public Window {
public:
    static constexpr DWORD kStyle = 0x50B011C4;
    BOOL Create(const RECT& rect, HWND parent, UINT id);
    std::string Text() const;
    void SetText(const char* text);
};

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
