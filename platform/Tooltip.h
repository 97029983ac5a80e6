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
    // A tool over a child window (the whole window) or over a rectangle of `owner`.
    void AddTool(HWND toolWindow, const char* text);
    void AddTool(HWND owner, UINT id, const RECT& rect, const char* text);
    void UpdateText(HWND toolWindow, const char* text);
    void RelayEvent(MSG* msg);
    HWND handle() const { return tip; }

private:
    HWND tip = nullptr;
    HWND owner = nullptr;
};

}  // namespace sona
