// A tooltip control ("tooltips_class32") with the few operations the windows use.
#pragma once
#include <windows.h>

namespace sona {

class Tooltip {
public:
    Tooltip() = default;
    ~Tooltip();
    Tooltip(const Tooltip&) = delete;
    Tooltip& operator=(const Tooltip&) = delete;

    bool Create(HWND owner, DWORD style = 0);
    // One tooltip for tools over parts of any window of the program, made on first use and owned
    // by no window (a window that owns a popup is one the X window manager frames under Wine).
    // Its tools are rectangles of their windows, fed by RelayEvent from those windows' messages.
    static Tooltip& Shared();
    // A tool over a child window (the whole window) or over a rectangle of `owner`.
    void AddTool(HWND toolWindow, const char* text);
    void AddTool(HWND owner, UINT id, const RECT& rect, const char* text);
    void UpdateText(HWND toolWindow, const char* text);
    // The rectangle tool `id` of `owner`: its text, its place, its end.
    void UpdateText(HWND owner, UINT id, const char* text);
    void SetToolRect(HWND owner, UINT id, const RECT& rect);
    void RemoveTool(HWND owner, UINT id);
    void RelayEvent(MSG* msg);
    HWND handle() const { return tip; }

private:
    HWND tip = nullptr;
    HWND owner = nullptr;
};

}  // namespace sona
