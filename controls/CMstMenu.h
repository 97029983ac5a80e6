// The owner-drawn popup menu of the desk items: flat light entries, a check column at the left
// and etched separators. Every entry carries a MenuEntry that the menu owns.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace sona {

// One menu entry's data, handed to the menu as the item data of an owner-drawn item.
class MenuEntry {
public:
    static constexpr uint32_t kMarker = 0x0505A0A0;

    // A standard entry: command id and label, nominal height 16.
    MenuEntry(UINT commandId, const char* text, int height = 16);
    virtual ~MenuEntry();
    MenuEntry(const MenuEntry&) = delete;
    MenuEntry& operator=(const MenuEntry&) = delete;

    // The entry behind a menu item's data, or null when the data is not one of ours.
    static MenuEntry* FromItemData(ULONG_PTR data);
    // How many entries exist right now (the menu's clean-up is tested against it).
    static int LiveCount();

    uint32_t marker = kMarker;
    uint32_t commandId = 0;
    bool separator = false;
    bool title = false;          // reserved entry kind; never set by the program
    std::string text;
    HICON icon = nullptr;  // reserved; no entry has an icon
    int height = 16;
};

class CMstMenu {
public:
    // Creates an empty popup menu with the system menu font and the flat colours.
    CMstMenu();
    virtual ~CMstMenu();
    CMstMenu(const CMstMenu&) = delete;
    CMstMenu& operator=(const CMstMenu&) = delete;

    // The menu object behind a popup menu handle, or null.
    static CMstMenu* FromHandle(HMENU menu);
    HMENU GetHandle() const { return menu; }

    // Appends `entry` (owned from now on) as an owner-drawn item; `flags` may carry MF_CHECKED,
    // MF_GRAYED and the like. Returns AppendMenu's result.
    BOOL AppendEntry(UINT flags, MenuEntry* entry, const char* accelerator = nullptr);
    // Appends an etched separator.
    BOOL AppendSeparator();
    // Appends `submenu` (owned from now on) as a popup item labelled by `entry`.
    BOOL AppendSubMenu(UINT flags, CMstMenu* submenu, MenuEntry* entry);
    // The next entry starts a new column, with a dividing line when `bar`.
    void BreakColumn(bool bar = false);

    // Shows the menu at `screen` (right button tracking) and posts the chosen command to
    // `target` as WM_COMMAND. Returns the command, 0 when the menu was dismissed.
    UINT Track(HWND target, POINT screen, UINT flags = TPM_RIGHTBUTTON);

    // For windows that track a CMstMenu themselves: call from WM_MEASUREITEM / WM_DRAWITEM.
    // TRUE when the message was about one of our entries and has been handled.
    static BOOL HandleMeasureItem(LPARAM lp);
    static BOOL HandleDrawItem(LPARAM lp);

    virtual void MeasureItem(MEASUREITEMSTRUCT* mis);
    virtual void DrawItem(DRAWITEMSTRUCT* dis);

protected:
    virtual void DrawBackground(HDC dc, const RECT& rect, bool selected, bool grayed);
    virtual void DrawCheckFrame(HDC dc, const RECT& square, bool selected, bool grayed, bool checked);
    virtual void DrawEntryText(HDC dc, const RECT& rect, const char* text, bool selected, bool grayed,
                               bool isDefault);
    virtual void DrawCheckMark(HDC dc, const RECT& square);
    virtual void DrawLabel(HDC dc, const RECT& rect, const char* text, COLORREF colour);

    HMENU menu = nullptr;
    HFONT menuFont = nullptr;
    COLORREF backgroundColour;
    COLORREF highlightColour;
    COLORREF textColour;
    COLORREF highlightTextColour;
    COLORREF grayTextColour;
    bool pendingColumnBreak = false;
    bool pendingBarBreak = false;

private:
    HFONT CreateBoldMenuFont() const;
};

}  // namespace sona
