// A drop-down-list combo box written as a plain window: its own item list, a bitmap skin, its
// own ComboDropDown, and the CB_ messages and CBN_ notifications of the system combo box.
#pragma once
#include <list>
#include <memory>
#include <string>

#include "controls/ComboDropDown.h"
#include "platform/Gdi.h"
#include "platform/Window.h"

namespace sona {

class CVrnComboBox : public Window {
public:
    CVrnComboBox() = default;
    ~CVrnComboBox() override;

    virtual BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // The CB_ operations as members; each returns what the message returns.
    int AddString(const char* text);
    int GetCount() const { return count; }
    int GetCurSel() const;
    int SetCurSel(int index);
    int SelectString(const char* text);
    void ResetContent();
    int GetLBText(int index, std::string* text) const;
    int GetLBTextLen(int index) const;

    bool IsDroppedDown() const { return open; }
    ComboDropDown* DropDown() const { return dropDown.get(); }
    const std::string& Text() const { return text; }
    int CurrentIndex() const { return currentIndex; }
    int GetState() const { return state; }
    const RECT& LastDropDownRect() const { return lastDropDownRect; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void Notify(WORD code);
    void Redraw();

private:
    void Open();
    void Close();
    // Hides, destroys and lets go of the drop-down window.
    void DropDropDown();
    void Toggle() { open ? Close() : Open(); }
    void Choose(int index);
    void MarkFirstStartingWith(char letter);
    void StepSelection(int delta);
    void RebuildBuffer();
    const std::string* ItemAt(int index) const;
    int FirstEqual(const std::string& s) const;

    std::list<std::string> items;
    int count = 0;
    int currentIndex = -1;
    std::string text;
    DWORD style = 0;
    int state = 32;
    std::unique_ptr<ComboDropDown> dropDown;
    bool open = false;
    bool selectionMade = false;
    bool tracking = false;
    int wheelSum = 0;
    RECT arrowRect{};
    RECT lastDropDownRect{};
    OffscreenSurface buffer;
};

}  // namespace sona
