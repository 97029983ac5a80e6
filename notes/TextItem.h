// A text note on the desk: one face, size and colour, drawn anti-aliased on a faint translucent
// card with rounded corners, sized to its text plus 20 pixels each way. It moves from any
// point, is edited by double-click or its "Edit" command and removed with "Remove".
#pragma once
#include <memory>
#include <string>

#include "items/LayeredItemWindow.h"
#include "store/DeskRecords.h"

namespace sona {

class TextItem : public LayeredItemWindow {
public:
    TextItem();
    ~TextItem() override;

    // The note's font, text and colours; filled before the window exists when a desk is
    // restored, edited in place by the note editor.
    TextNoteRecord record;

    // The note's full text, UTF-8: what is drawn, edited, copied and kept in the store's
    // extension. record.text holds the code page's honest rendering of it; when record.text is
    // changed on its own (a record read from a store without the full text), that text counts.
    std::string FullText() const;
    // Sets both: the full text and its rendering in record.text.
    void SetText(const std::string& text);

    BOOL Create(const RECT& rect, HWND owner, UINT id);
    // The rounded window region, then the layered picture.
    void Render();
    // Runs the note editor on `record`; after OK the note keeps its top-left corner and takes
    // its new text size plus 20 pixels.
    void Edit();
    // The size the record's text needs (the measurement the main window uses too); the note's
    // own record is measured with its full text.
    SIZE MeasureText(const TextNoteRecord& note) const;

    uint32_t ItemType() const override { return kItemText; }
    void WriteRecord(const RecordView& record) const override;
    bool FullText(std::string* out) const override {
        *out = FullText();
        return true;
    }
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void DrawContent(Gdiplus::Graphics& g, int w, int h) override;
    const char* EditCommandText() const override { return "Edit"; }
    void OnEditCommand() override { Edit(); }
    void OnSized() override { Render(); }

private:
    std::string text;
};

}  // namespace sona
