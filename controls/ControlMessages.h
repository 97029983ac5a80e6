// Every private message of the skinned controls, in one place so that no two share a number.
// Each says who sends it, who receives it and what it carries. The controls keep no timers.
#pragma once
#include <windows.h>

namespace sona {

// ComboDropDown -> its CVrnComboBox, posted: an entry was chosen; wParam its index.
constexpr UINT WM_COMBO_CHOOSE = WM_USER + 1;
// ComboDropDown -> its CVrnComboBox, posted: the list closed. Carries nothing.
constexpr UINT WM_COMBO_CLOSE = WM_USER + 2;
// Anyone -> a ComboDropDown: let the mouse capture go. Carries nothing; nothing in the program
// sends it today.
constexpr UINT WM_DROPDOWN_RELEASE_CAPTURE = WM_USER + 4;
// CVrnComboBox -> itself: open the drop-down if closed, close it if open. Carries nothing.
constexpr UINT WM_COMBO_TOGGLE = WM_USER + 150;
// SkinSlider -> its parent, posted on a click and at the end of a drag: wParam the slider id,
// lParam the new position.
constexpr UINT WM_SLIDER_CHANGED = WM_USER + 201;
// SkinScrollBar -> itself, then its parent, sent: wParam a ScrollAction, lParam its target
// position.
constexpr UINT WM_SCROLL_ACTION = WM_USER + 202;
// SkinScrollBar -> its parent (the combo drop-down), sent when it lets the mouse capture go.
// Carries nothing.
constexpr UINT WM_DROPDOWN_RECAPTURE = WM_USER + 212;
// The colour popup -> its CVrnColourPicker, sent, and the picker -> its parent, sent; wParam the
// colour each time: the colour under the pointer changed; the popup dropped down (picker only)
// or closed (picker only); the user chose a colour or cancelled (the picker passes both on after
// its WM_COLOUR_CLOSED).
constexpr UINT WM_COLOUR_CHANGED = WM_USER + 1001;
constexpr UINT WM_COLOUR_DROPPED = WM_USER + 1002;
constexpr UINT WM_COLOUR_CLOSED = WM_USER + 1003;
constexpr UINT WM_COLOUR_CHOSEN = WM_USER + 1004;
constexpr UINT WM_COLOUR_CANCELLED = WM_USER + 1005;

}  // namespace sona
