// Dialogs made from the program's (empty) dialog templates, modal with their own loop that runs
// the application's message filters, or modeless.
#pragma once
#include "platform/Window.h"

namespace sona {

class Dialog : public Window {
public:
    explicit Dialog(UINT templateId) : templateId(templateId) {}

    // Runs the dialog modally: the owner is disabled and this loop is the program's loop until
    // EndDialog. Returns the value given to EndDialog (IDOK, IDCANCEL), or -1 on failure.
    INT_PTR DoModal(HWND owner = nullptr);
    // Creates the dialog modeless.
    bool CreateModeless(HWND owner);
    void EndDialog(INT_PTR result);

    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // The dialog's default filter: dialog-box keyboard handling for its own windows.
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    bool IsModal() const { return modal; }

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    HWND CreateFromTemplate(HWND owner);

    UINT templateId;
    bool modal = false;
    bool ended = false;
    INT_PTR result = -1;
};

}  // namespace sona
