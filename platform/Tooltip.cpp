#include "platform/Tooltip.h"

#include <commctrl.h>

namespace sona {

Tooltip::~Tooltip() {
    if (tip && IsWindow(tip)) DestroyWindow(tip);
}

bool Tooltip::Create(HWND ownerWindow, DWORD style) {
    owner = ownerWindow;
    tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, ownerWindow, nullptr, GetModuleHandleA(nullptr), nullptr);
    return tip != nullptr;
}

// The TOOLINFO of comctl32 5 (44 bytes in a 32-bit process): works with every version of the control.
static TOOLINFOA BaseToolInfo() {
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    return ti;
}

void Tooltip::AddTool(HWND toolWindow, const char* text) {
    if (!tip) return;
    TOOLINFOA ti = BaseToolInfo();
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = GetParent(toolWindow) ? GetParent(toolWindow) : owner;
    ti.uId = (UINT_PTR)toolWindow;
    ti.lpszText = (LPSTR)text;
    SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&ti);
}

void Tooltip::AddTool(HWND ownerWindow, UINT id, const RECT& rect, const char* text) {
    if (!tip) return;
    TOOLINFOA ti = BaseToolInfo();
    ti.uFlags = 0;
    ti.hwnd = ownerWindow;
    ti.uId = id;
    ti.rect = rect;
    ti.lpszText = (LPSTR)text;
    SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&ti);
}

void Tooltip::UpdateText(HWND toolWindow, const char* text) {
    if (!tip) return;
    TOOLINFOA ti = BaseToolInfo();
    ti.hwnd = GetParent(toolWindow) ? GetParent(toolWindow) : owner;
    ti.uId = (UINT_PTR)toolWindow;
    ti.lpszText = (LPSTR)text;
    SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, (LPARAM)&ti);
}

Tooltip& Tooltip::Shared() {
    // Never destroyed: it outlives every window whose tools it holds.
    static Tooltip* shared = [] {
        auto* t = new Tooltip;
        t->Create(nullptr, TTS_ALWAYSTIP | TTS_NOPREFIX);
        return t;
    }();
    return *shared;
}

void Tooltip::UpdateText(HWND ownerWindow, UINT id, const char* text) {
    if (!tip) return;
    TOOLINFOA ti = BaseToolInfo();
    ti.hwnd = ownerWindow;
    ti.uId = id;
    ti.lpszText = (LPSTR)text;
    SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, (LPARAM)&ti);
}

void Tooltip::SetToolRect(HWND ownerWindow, UINT id, const RECT& rect) {
    if (!tip) return;
    TOOLINFOA ti = BaseToolInfo();
    ti.hwnd = ownerWindow;
    ti.uId = id;
    ti.rect = rect;
    SendMessageA(tip, TTM_NEWTOOLRECTA, 0, (LPARAM)&ti);
}

void Tooltip::RemoveTool(HWND ownerWindow, UINT id) {
    if (!tip) return;
    TOOLINFOA ti = BaseToolInfo();
    ti.hwnd = ownerWindow;
    ti.uId = id;
    SendMessageA(tip, TTM_DELTOOLA, 0, (LPARAM)&ti);
}

void Tooltip::RelayEvent(MSG* msg) {
    if (tip) SendMessageA(tip, TTM_RELAYEVENT, 0, (LPARAM)msg);
}

}  // namespace sona
