#include "notes/TextItem.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "notes/CDlgAddText.h"
#include "notes/NoteMeasure.h"
#include "platform/FileNames.h"
#include "platform/Text.h"
#include "store/ItemText.h"

namespace sona {

TextItem::TextItem() { InitTextNoteRecord(&record); }

TextItem::~TextItem() = default;

BOOL TextItem::Create(const RECT& rect, HWND owner, UINT id) {
    if (!LayeredItemWindow::Create(rect, owner, id)) return FALSE;
    // The base drew once without the region; draw again with it.
    Render();
    return TRUE;
}

namespace {

std::string FieldText(const TextNoteRecord& note) {
    return std::string(note.text, strnlen(note.text, sizeof note.text));
}

}  // namespace

std::string TextItem::FullText() const {
    std::string field = FieldText(record);
    bool exact = false;
    if (!text.empty() && AnsiNoteField(text, sizeof record.text - 1, &exact) == field) return text;
    return AnsiToUtf8(field);
}

void TextItem::SetText(const std::string& full) {
    text = full;
    SetNoteField(record.text, full);
}

SIZE TextItem::MeasureText(const TextNoteRecord& note) const {
    std::string utf8 = &note == &record ? FullText() : AnsiToUtf8(FieldText(note));
    if (!hwnd) return MeasureNoteText(note, utf8, nullptr);
    WindowDC dc(hwnd);
    return MeasureNoteText(note, utf8, dc);
}

void TextItem::Render() {
    if (!hwnd) return;
    RECT rc = ClientRect();
    SetWindowRgn(hwnd, CreateRoundRectRgn(0, 0, rc.right, rc.bottom, 6, 6), TRUE);
    LayeredItemWindow::Render();
}

// Card at alpha 60, text at alpha 250 from (10, 10); a face GDI+ does not know draws no text.
void TextItem::DrawContent(Gdiplus::Graphics& g, int w, int h) {
    Gdiplus::SolidBrush card(Gdiplus::Color(0x3CFFFFFF));
    g.FillRectangle(&card, 0, 0, w, h);
    char face[sizeof record.font.lfFaceName + 1] = {};
    std::memcpy(face, record.font.lfFaceName, sizeof record.font.lfFaceName);
    std::wstring wface = AnsiToWide(face);
    Gdiplus::FontFamily family(wface.c_str(), nullptr);
    if (family.GetLastStatus() != Gdiplus::Ok) return;
    Gdiplus::Font font(&family, (Gdiplus::REAL)record.font.lfHeight, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    if (font.GetLastStatus() != Gdiplus::Ok) return;
    Gdiplus::StringFormat format(0, 0);
    format.SetTrimming(Gdiplus::StringTrimmingNone);
    uint32_t c = record.textColour;
    Gdiplus::SolidBrush ink(Gdiplus::Color(250, (BYTE)(c & 0xFF), (BYTE)((c >> 8) & 0xFF), (BYTE)((c >> 16) & 0xFF)));
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    std::wstring wtext = Utf8ToWide(FullText());
    // GDI+ breaks lines at LF alone as it does at CR LF; some GDI+ builds (Wine's) lay a CR out
    // as a glyph and then wrap the following lines, so the CRs are left out of the drawing.
    wtext.erase(std::remove(wtext.begin(), wtext.end(), L'\r'), wtext.end());
    Gdiplus::RectF layout(10, 10, (Gdiplus::REAL)(w - 10), (Gdiplus::REAL)(h - 10));
    g.DrawString(wtext.c_str(), (INT)wtext.size(), &font, layout, &format, &ink);
}

// The editor works on a copy, which the note takes only on OK. While the editor is open the
// note is disabled: it takes no input and asks for no removal, so it outlives this handler.
void TextItem::Edit() {
    bool wasEnabled = hwnd && IsWindowEnabled(hwnd);
    if (wasEnabled) EnableWindow(hwnd, FALSE);
    TextNoteRecord edited = record;
    std::string editedText = FullText();
    INT_PTR result;
    {
        CDlgAddText dialog;
        dialog.record = &edited;
        dialog.text = &editedText;
        result = dialog.DoModal();
    }
    if (wasEnabled && hwnd) EnableWindow(hwnd, TRUE);
    if (result != IDOK) return;
    record = edited;
    SetText(editedText);
    if (!hwnd) return;
    SIZE card = NoteWindowSize(NoteCardSize(MeasureText(record)), hwnd);
    RECT r = WindowRect();
    MoveWindow(hwnd, r.left, r.top, card.cx, card.cy, TRUE);
    Render();
}

void TextItem::WriteRecord(const RecordView& view) const {
    if (TextItemRecord* rec = view.text()) NoteToRecord(record, rec);
}

LRESULT TextItem::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDBLCLK:
        Edit();
        return Default();
    case WM_MOUSEMOVE:
    case WM_MOVE:
        return 0;
    }
    return LayeredItemWindow::WndProc(msg, wp, lp);
}

}  // namespace sona
