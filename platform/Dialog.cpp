#include "platform/Dialog.h"

#include "platform/App.h"

namespace sona {

INT_PTR CALLBACK Dialog::DialogProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        Dialog* d = (Dialog*)lp;
        if (!Window::FromHandle(h)) d->Subclass(h);
        return d->OnInitDialog();
    }
    return FALSE;
}

HWND Dialog::CreateFromTemplate(HWND owner) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(inst, MAKEINTRESOURCEA(templateId), (LPCSTR)RT_DIALOG);
    HGLOBAL mem = res ? LoadResource(inst, res) : nullptr;
    const DLGTEMPLATE* tmpl = mem ? (const DLGTEMPLATE*)LockResource(mem) : nullptr;
    if (!tmpl) {
        // No template in this module (a test exe): an empty popup template does the same job.
        static const struct {
            DLGTEMPLATE t;
            WORD menu, cls, title;
        } empty = {{WS_POPUP, 0, 0, 0, 0, 100, 100}, 0, 0, 0};
        tmpl = &empty.t;
    }
    BeginCreate();
    HWND h = CreateDialogIndirectParamA(inst, tmpl, owner, DialogProc, (LPARAM)this);
    if (!h && hwnd) DestroyWindow();
    return h;
}

bool Dialog::CreateModeless(HWND owner) {
    modal = false;
    return CreateFromTemplate(owner) != nullptr;
}

INT_PTR Dialog::DoModal(HWND owner) {
    if (!owner) owner = Application::Current() ? Application::Current()->mainWindow : nullptr;
    if (owner && !::IsWindow(owner)) owner = nullptr;
    modal = true;
    ended = false;
    result = -1;
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (!CreateFromTemplate(owner)) return -1;
    if (owner) EnableWindow(owner, FALSE);
    if (!ended && hwnd) ShowWindow(hwnd, SW_SHOWNORMAL);
    MSG msg;
    while (!ended && hwnd) {
        // Taken and dispatched wide: a character typed in any language reaches a Unicode window
        // (the note's text box) as it is; ANSI windows get theirs converted by the system.
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage((int)msg.wParam);  // leave the quit for the outer loop
            break;
        }
        if (got < 0) break;
        if (!Application::FilterMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (owner && ownerWasEnabled) EnableWindow(owner, TRUE);
    if (hwnd) {
        if (owner && GetActiveWindow() == hwnd) SetActiveWindow(owner);
        ShowWindow(hwnd, SW_HIDE);
        DestroyWindow();
    }
    modal = false;
    return result;
}

void Dialog::EndDialog(INT_PTR r) {
    result = r;
    ended = true;
    // The loop may be waiting in GetMessage: a message sent from another thread or program is
    // handled inside that wait without making it return, so the loop would only see the end
    // with the next input. A null message lets it look now.
    if (modal && hwnd) PostMessageA(hwnd, WM_NULL, 0, 0);
    if (!modal && hwnd) DestroyWindow();
}

BOOL Dialog::PreTranslateMessage(MSG* msg) {
    // Dialog keyboard handling only for this dialog's own windows.
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && hwnd &&
        (msg->hwnd == hwnd || IsChild(hwnd, msg->hwnd)))
        return IsDialogMessageA(hwnd, msg);
    return FALSE;
}

LRESULT Dialog::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) {
        if (LOWORD(wp) == IDOK) {
            OnOK();
            return 0;
        }
        if (LOWORD(wp) == IDCANCEL) {
            OnCancel();
            return 0;
        }
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace sona
