#include "notes/CDlgAddText.h"

#include <richedit.h>

#include "platform/LateBound.h"
#include "platform/Text.h"
#include "platform/UserMessage.h"
#include "store/ItemText.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "res/resource.h"

namespace sona {

namespace {

const char* const kSizes[] = {"8", "9", "10", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72"};
constexpr int kDefaultSizeEntry = 3;  // "12"

// One face from EnumFonts; always goes on to the next.
int CALLBACK AddDrawableFace(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM data) {
    auto* list = (FontNameCombo*)data;
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, lf->lfFaceName, LF_FACESIZE);
    if (face[0] == '@') return 1;
    HDC screen = GetDC(nullptr);
    HFONT gdiFont = CreateFontIndirectA(lf);
    LOGFONTA back{};
    // Through the flat calls: a font that GDI+ refuses (a bitmap face) is not deleted again.
    // Some GDI+ builds (Wine's) free it themselves and leave the freed pointer behind, so
    // deleting it, as the Font wrapper's destructor would, frees it twice.
    Gdiplus::GpFont* font = nullptr;
    Gdiplus::Status status;
    if (gdiFont && GetObjectA(gdiFont, sizeof back, &back))
        status = Gdiplus::DllExports::GdipCreateFontFromLogfontA(screen, &back, &font);
    else
        status = Gdiplus::DllExports::GdipCreateFontFromDC(screen, &font);
    if (status == Gdiplus::Ok) {
        list->AddString(face);
        if (font) Gdiplus::DllExports::GdipDeleteFont(font);
    }
    if (gdiFont) DeleteObject(gdiFont);
    ReleaseDC(nullptr, screen);
    return 1;
}

// The face name as a string (the field need not hold a NUL).
std::string FaceOf(const TextNoteRecord& r) { return std::string(r.font.lfFaceName, strnlen(r.font.lfFaceName, sizeof r.font.lfFaceName)); }

}  // namespace

// =============================================================================================
// FontNameCombo, NoteRichEdit

void FontNameCombo::FillWithFaces() {
    if (!hwnd) return;
    HDC dc = GetDC(hwnd);
    EnumFontsA(dc, nullptr, (FONTENUMPROCA)AddDrawableFace, (LPARAM)this);
    ReleaseDC(hwnd, dc);
}

// The control dies with its dialog; its handle is not this object's to destroy again.
NoteRichEdit::~NoteRichEdit() { hwnd = nullptr; }

BOOL NoteRichEdit::Create(const RECT& r, HWND parent, UINT id) {
    // The rich edit library is loaded when the first note editor opens, not at start-up.
    static HMODULE richEdit = LoadSystemLibrary("riched20.dll");
    (void)richEdit;
    hwnd = CreateWindowExW(0, L"RichEdit20W", L"", kStyle, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                           (HMENU)(UINT_PTR)id, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return FALSE;
    // No length limit beyond the note's own: a long paste arrives whole, and OK says what is cut.
    SendMessageW(hwnd, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    return TRUE;
}

std::string NoteRichEdit::Text() const {
    if (!hwnd) return std::string();
    int n = GetWindowTextLengthW(hwnd);
    std::vector<wchar_t> buf((size_t)n + 2, 0);
    int got = GetWindowTextW(hwnd, buf.data(), n + 1);
    return WideToUtf8(std::wstring(buf.data(), got > 0 ? (size_t)got : 0));
}

void NoteRichEdit::SetText(const std::string& text) {
    if (hwnd) SetWindowTextW(hwnd, Utf8ToWide(text).c_str());
}

std::string CutNoteText(const std::string& text, size_t* dropped) {
    std::wstring wide = Utf8ToWide(text);
    *dropped = 0;
    if (wide.size() <= kMaxNoteChars) return text;
    size_t keep = kMaxNoteChars;
    if (wide[keep - 1] >= 0xD800 && wide[keep - 1] <= 0xDBFF) keep--;  // not half a pair
    for (size_t i = keep; i < wide.size(); i++)
        if (!(wide[i] >= 0xDC00 && wide[i] <= 0xDFFF)) ++*dropped;
    wide.resize(keep);
    return WideToUtf8(wide);
}

NoteCutReporter noteCutReporter = ReportNoteCut;

void ReportNoteCut(HWND owner, size_t dropped, bool largerThanScreen) {
    std::wstring message;
    if (dropped)
        message = L"A note holds at most 9,999 characters. The last " + std::to_wstring(dropped) +
                  (dropped == 1 ? L" character was" : L" characters were") + L" left out.";
    if (largerThanScreen) {
        if (!message.empty()) message += L"\n\n";
        message += L"The note is larger than the screen, so it shows its first part. Edit shows all of it.";
    }
    if (message.empty()) return;
    ShowUserMessage(WideToUtf8(message), MB_OK | MB_ICONINFORMATION, {}, owner);
}

// =============================================================================================
// TextFormatBar

TextFormatBar::TextFormatBar() { InitTextNoteRecord(&working); }

TextFormatBar::~TextFormatBar() = default;

BOOL TextFormatBar::Create(const RECT& r, HWND parent) {
    static HBRUSH background = CreateSolidBrush(RGB(200, 200, 210));
    const char* cls = RegisterWindowClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW), background);
    if (!CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, 0))
        return FALSE;
    HFONT guiFont = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    RECT rc = ClientRect();

    fontList.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT, RECT{120, 10, 280, 30}, hwnd, IDC_FONT_LIST);
    SendMessageA(fontList.hwnd, WM_SETFONT, (WPARAM)guiFont, FALSE);
    fontList.FillWithFaces();
    fontList.SetCurSel(0);
    fontList.SelectString(FaceOf(working).c_str());

    sizeList.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, RECT{120, 35, 280, 55}, hwnd, IDC_SIZE_LIST);
    for (const char* s : kSizes) sizeList.AddString(s);
    sizeList.SetCurSel(kDefaultSizeEntry);
    for (int i = 0; i < (int)(sizeof kSizes / sizeof kSizes[0]); i++) {
        if (std::atoi(kSizes[i]) == working.font.lfHeight) {
            sizeList.SetCurSel(i);
            break;
        }
    }

    colourPicker.Create("Text Color", WS_CHILD | WS_VISIBLE, RECT{120, 60, 280, 80}, hwnd, IDC_TEXT_COLOUR);
    colourPicker.SetDefaultText("Color");
    colourPicker.SetCustomText("Custom Color");
    colourPicker.mode = CVrnColourPicker::kTextMode;
    colourPicker.SetBackgroundColour(0xFFFFFF);
    SendMessageA(colourPicker.hwnd, WM_SETFONT, (WPARAM)guiFont, FALSE);
    colourPicker.SetColour(working.textColour);

    // A face the list does not offer becomes the first listed one, touched or not.
    StoreFaceName();

    textBox.Create(RECT{12, 90, rc.right - 12, rc.bottom - 40}, hwnd, IDC_NOTE_EDIT);
    SetFocus(textBox.hwnd);

    RECT ok{90, rc.bottom - 32, 158, rc.bottom - 7};
    okButton.Create(RECT{0, 0, 0, 0}, hwnd, IDC_TEXT_OK);
    okButton.SetBitmaps(IDB_TEXT_BUTTON, IDB_TEXT_BUTTON_HOVER, IDB_TEXT_BUTTON_PRESSED, IDB_TEXT_BUTTON);
    okButton.SetText("OK");
    MoveWindow(okButton.hwnd, ok.left, ok.top, ok.right - ok.left, ok.bottom - ok.top, TRUE);
    OffsetRect(&ok, 120, 0);
    cancelButton.Create(RECT{0, 0, 0, 0}, hwnd, IDC_TEXT_CANCEL);
    cancelButton.SetBitmaps(IDB_TEXT_BUTTON, IDB_TEXT_BUTTON_HOVER, IDB_TEXT_BUTTON_PRESSED, IDB_TEXT_BUTTON);
    cancelButton.SetText("Cancel");
    MoveWindow(cancelButton.hwnd, ok.left, ok.top, ok.right - ok.left, ok.bottom - ok.top, TRUE);

    DrawPicture();
    WindowDC dc(hwnd);
    CopyPicture(dc, true);
    return TRUE;
}

void TextFormatBar::StoreFaceName() {
    std::string face;
    if (fontList.GetLBText(fontList.GetCurSel(), &face) < 0) return;
    size_t n = std::min(face.size(), sizeof working.font.lfFaceName - 1);
    std::memcpy(working.font.lfFaceName, face.c_str(), n);
    working.font.lfFaceName[n] = '\0';
}

// Labels on the light grey ground; the controls cover the rest.
void TextFormatBar::DrawPicture() {
    RECT rc = ClientRect();
    {
        WindowDC dc(hwnd);
        if (!picture.CreateCompatible(dc, rc.right, rc.bottom)) return;
    }
    HDC mem = picture.dc();
    Brush fill(CreateSolidBrush(RGB(220, 220, 220)));
    FillRect(mem, &rc, fill);
    SelectScope font(mem, GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(mem, RGB(0, 0, 0));
    SetBkMode(mem, TRANSPARENT);
    struct Label {
        const char* text;
        RECT place;
    } labels[] = {{"Font", {15, 12, 90, 32}}, {"Font Size", {15, 37, 90, 57}}, {"Text Color", {15, 62, 90, 82}}};
    for (Label& l : labels) DrawTextA(mem, l.text, -1, &l.place, DT_LEFT | DT_TOP);
}

// Copies the picture around the controls so that they are not painted over.
void TextFormatBar::CopyPicture(HDC dc, bool allChildren) {
    if (!picture) return;
    int saved = SaveDC(dc);
    std::vector<HWND> skip{fontList.hwnd, sizeList.hwnd, colourPicker.hwnd};
    if (allChildren) {
        skip.push_back(textBox.hwnd);
        skip.push_back(okButton.hwnd);
        skip.push_back(cancelButton.hwnd);
    }
    for (HWND child : skip) {
        if (!child) continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, hwnd, (POINT*)&r, 2);
        ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    picture.BlitTo(dc);
    RestoreDC(dc, saved);
}

// The text is cut at 9,999 characters, and the user is told what was left out. The record's
// field gets the code page's honest rendering, the full text stays beside it.
void TextFormatBar::OnOk() {
    size_t dropped = 0;
    workingText = CutNoteText(textBox.Text(), &dropped);
    SetNoteField(working.text, workingText);
    HWND parent = GetParent(hwnd);
    if (dropped) noteCutReporter(parent, dropped, false);
    if (parent) SendMessageA(parent, WM_ADDTEXT_CLOSE, 0, 0);
}

LRESULT TextFormatBar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: {
        UINT id = LOWORD(wp), code = HIWORD(wp);
        if (id == IDC_FONT_LIST && code == CBN_CLOSEUP) {
            StoreFaceName();
            return 0;
        }
        if (id == IDC_SIZE_LIST && code == CBN_CLOSEUP) {
            std::string size;
            if (sizeList.GetLBText(sizeList.GetCurSel(), &size) >= 0) working.font.lfHeight = std::atoi(size.c_str());
            return 0;
        }
        if (id == IDC_TEXT_OK && code == 0) {
            OnOk();
            return 0;
        }
        if (id == IDC_TEXT_CANCEL && code == 0) {
            HWND parent = GetParent(hwnd);
            if (parent) SendMessageA(parent, WM_ADDTEXT_CLOSE, 0, 1);
            return 0;
        }
        return Default();
    }
    case WM_COLOUR_CHOSEN:
        if (lp == IDC_TEXT_COLOUR) working.textColour = (uint32_t)wp;
        return 0;
    case WM_SIZE:
        if (hwnd && fontList.hwnd) {
            DrawPicture();
            WindowDC dc(hwnd);
            CopyPicture(dc, true);
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PaintDC dc(hwnd);
        CopyPicture(dc, false);
        return 0;
    }
    }
    return Default();
}

// =============================================================================================
// CDlgAddText

CDlgAddText::CDlgAddText() : Dialog(IDD_ADD_TEXT) {}

CDlgAddText::~CDlgAddText() = default;

BOOL CDlgAddText::OnInitDialog() {
    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    SetWindowLongA(hwnd, GWL_STYLE, (style & ~WS_CAPTION) | WS_MINIMIZEBOX);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);

    MoveWindow(hwnd, 0, 0, 380, 340, FALSE);
    HWND owner = GetWindow(hwnd, GW_OWNER);
    RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner) GetWindowRect(owner, &around);
    int x = around.left + (around.right - around.left - 380) / 2;
    int y = around.top + (around.bottom - around.top - 340) / 2;
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextA(hwnd, "Add Text");

    RECT rc = ClientRect();
    closeButton.Create(RECT{0, 0, 0, 0}, hwnd, IDC_DIALOG_CLOSE);
    closeButton.SetBitmaps(IDB_CLOSE, IDB_CLOSE_HOVER, IDB_CLOSE_PRESSED, IDB_CLOSE);
    MoveWindow(closeButton.hwnd, rc.right - 30, 8, 16, 16, TRUE);

    if (record) std::memcpy(&bar.working, record, sizeof bar.working);
    if (bar.Create(RECT{10, 30, 370, 330}, hwnd)) {
        if (text) {
            bar.textBox.SetText(*text);
        } else {
            char field[sizeof bar.working.text + 1] = {};
            std::memcpy(field, bar.working.text, sizeof bar.working.text);
            bar.textBox.SetText(AnsiToUtf8(field));
        }
        SetFocus(bar.textBox.hwnd);
    }
    BuildBackground();
    // The focus stays in the text box: no control is picked by the dialog manager.
    return FALSE;
}

// The dark frame with the title drawn twice, white one pixel down-right under black.
void CDlgAddText::BuildBackground() {
    RECT w = WindowRect();
    int width = w.right - w.left, height = w.bottom - w.top;
    {
        WindowDC dc(hwnd);
        if (!background.CreateCompatible(dc, width, height)) return;
    }
    HDC mem = background.dc();
    RECT all{0, 0, width, height};
    Brush fill(CreateSolidBrush(RGB(90, 90, 90)));
    FillRect(mem, &all, fill);
    SelectScope font(mem, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(mem, TRANSPARENT);
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    RECT white{16, 8, width + 1, 26};
    SetTextColor(mem, RGB(255, 255, 255));
    DrawTextA(mem, title, -1, &white, DT_LEFT | DT_TOP | DT_SINGLELINE);
    RECT black{15, 7, width, 25};
    SetTextColor(mem, RGB(0, 0, 0));
    DrawTextA(mem, title, -1, &black, DT_LEFT | DT_TOP | DT_SINGLELINE);
    // The window shows it at its next paint.
    InvalidateRect(hwnd, nullptr, FALSE);
}

// Esc never closes the editor and Enter only breaks lines in the text box. The text box gets
// its Enter here, directly, because the windows above would swallow it.
BOOL CDlgAddText::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) {
        if (msg->wParam == VK_ESCAPE) return TRUE;
        if (msg->wParam == VK_RETURN) {
            if (bar.textBox.hwnd && GetFocus() == bar.textBox.hwnd) {
                TranslateMessage(msg);
                DispatchMessageW(msg);
            }
            return TRUE;
        }
    }
    return Dialog::PreTranslateMessage(msg);
}

LRESULT CDlgAddText::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT painted;
    if (PaintFromBuffer(hwnd, msg, background, &painted)) return painted;
    switch (msg) {
    case WM_ADDTEXT_CLOSE:
        if (lp == 0) {
            if (record) std::memcpy(record, &bar.working, sizeof *record);
            if (text) *text = bar.workingText;
            EndDialog(IDOK);
        } else if (lp == 1) {
            EndDialog(IDCANCEL);
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == IDC_DIALOG_CLOSE && HIWORD(wp) == 0) {
            EndDialog(IDCANCEL);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN: {
        int x = (short)LOWORD(lp), y = (short)HIWORD(lp);
        RECT rc = ClientRect();
        if (y >= rc.top && y < rc.top + 25 && x >= rc.left && x < rc.right)
            PostMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, PackPoint(x, y));
        return Default();
    }
    }
    return Dialog::WndProc(msg, wp, lp);
}

}  // namespace sona
