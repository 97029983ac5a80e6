// The About window: a captionless, rounded, topmost picture with a close button. Created once,
// modeless and hidden, by the main window; closing it only hides it.
#pragma once
#include "controls/SkinButton.h"
#include "platform/Dialog.h"
#include "platform/Gdi.h"

#include <string>

namespace sona {

class CDlgAbout : public Dialog {
public:
    // Command id of the close button.
    static const UINT kCloseCommand = 10039;
    static const int kWidth = 355;
    static const int kHeight = 120;
    // Id of the line that names where the desks are kept.
    static const UINT kPlaceLine = 10049;

    CDlgAbout();
    ~CDlgAbout() override;

    // Creates the window modeless from its template, owned by `parent`; the caller hides it.
    bool Create(HWND parent);

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    // The window is only ever hidden, never ended by Enter or Esc.
    void OnOK() override {}
    void OnCancel() override {}
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // For tests: the close button and the pre-drawn picture.
    SkinButton& CloseButton() { return closeButton; }
    const OffscreenSurface& Surface() const { return surface; }
    // For tests: the line naming the data folder, and its text (UTF-8).
    HWND PlaceLine() const { return placeLine; }
    const std::string& PlaceText() const { return placeText; }

private:
    void DrawPicture();
    void DrawPlaceLine(const DRAWITEMSTRUCT& item);
    void CentreOnOwner();

    SkinButton closeButton;
    OffscreenSurface surface;
    HWND placeLine = nullptr;
    std::string placeText;
    Font placeFont;
};

}  // namespace sona
