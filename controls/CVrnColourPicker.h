// The colour picker: a small skinned button showing a swatch that drops down a ColourPopup of
// 40 named colours with optional "default" and "custom" boxes, and reports each step of the
// choice to its parent with the WM_COLOUR_* messages.
#pragma once
#include <string>

#include "controls/ColourGrid.h"
#include "controls/ControlMessages.h"
#include "platform/Gdi.h"
#include "platform/Tooltip.h"
#include "platform/Window.h"

namespace sona {

class CVrnColourPicker;

// The drop-down grid. It deletes itself once its window is gone.
class ColourPopup : public Window {
public:
    ColourPopup() = default;
    ~ColourPopup() override;

    // Opens at `at` (screen) for `picker`, starting from `initial`. False when the window could
    // not be made (the object must then be deleted by the caller).
    bool Create(POINT at, COLORREF initial, CVrnColourPicker* picker, const char* defaultText,
                const char* customText);

    int CurrentCell() const { return currentCell; }
    int ChosenCell() const { return chosenCell; }
    COLORREF CurrentColour() const { return currentColour; }
    COLORREF InitialColour() const { return initialColour; }
    const GridLayout& Layout() const { return layout; }
    HWND TooltipWindow() const { return tooltip.handle(); }
    bool InDialog() const { return inDialog; }
    // The last drawn picture (client size).
    const OffscreenSurface& Surface() const { return buffer; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void PostNcDestroy() override { delete this; }

private:
    void LayOut(POINT at);
    void MakeCurrent(int cell);
    bool OnKeyDown(WPARAM key);
    void EndSelection(UINT message);
    void Redraw();
    void DrawCell(HDC dc, int cell);
    void DrawBox(HDC dc, int cell);

    int currentCell = kCellNone;
    int chosenCell = kCellNone;
    GridLayout layout;
    RECT windowRect{};
    Font font;
    Palette palette;
    Tooltip tooltip;
    std::string defaultText, customText;
    COLORREF initialColour = 0;
    COLORREF currentColour = 0;
    CVrnColourPicker* picker = nullptr;
    HWND pickerWindow = nullptr;
    bool inDialog = false;
    bool ending = false;
    OffscreenSurface buffer;
};

class CVrnColourPicker : public Window {
public:
    enum Mode { kTextMode = 1, kBackgroundMode = 2 };

    CVrnColourPicker();
    ~CVrnColourPicker() override;

    BOOL Create(const char* caption, DWORD style, const RECT& rect, HWND parent, UINT id);

    COLORREF GetColour() const { return mode == kTextMode ? textColour : backgroundColour; }
    void SetColour(COLORREF colour);
    void SetBackgroundColour(COLORREF colour);
    void SetTextColour(COLORREF colour);
    void SetDefaultText(const char* text) { defaultText = text ? text : ""; }
    void SetCustomText(const char* text) { customText = text ? text : ""; }
    const std::string& DefaultText() const { return defaultText; }
    const std::string& CustomText() const { return customText; }

    // Opens the popup as a click does.
    void DropDown();
    bool PopupActive() const { return popupActive; }
    // The open popup, null when there is none (looked up by handle: the popup may go with its
    // owner's window before the picker object goes).
    ColourPopup* Popup() const { return popupWindow ? (ColourPopup*)FromHandle(popupWindow) : nullptr; }
    const OffscreenSurface& Surface() const { return buffer; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // Owners set these directly.
    int mode = kBackgroundMode;
    bool trackSelection = false;

private:
    void FitSize();
    void Redraw();
    void RebuildBuffer();
    void NotifyParent(UINT msg, COLORREF colour);

    bool popupActive = false;
    COLORREF backgroundColour;
    COLORREF textColour;
    RECT arrowRect{};
    std::string defaultText = "Automatic";
    std::string customText = "More Colours...";
    HWND popupWindow = nullptr;
    bool pressed = false;
    OffscreenSurface buffer;
};

}  // namespace sona
