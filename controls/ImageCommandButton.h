// The main window's command buttons: PNG pictures per mouse state over a slice of the band bitmap.
#pragma once
#include "controls/SkinButton.h"
#include "platform/Gdi.h"
#include "platform/Window.h"
#include "store/SkinImage.h"

namespace sona {

class ImageCommandButton : public Window {
public:
    ImageCommandButton() = default;
    ~ImageCommandButton() override;

    // Child window at `rect` (parent client coordinates); clicks send WM_COMMAND `commandId`.
    BOOL Create(RECT rect, HWND parent, UINT commandId);
    // PNG resource ids in the order normal, hover, pressed, disabled. Returns 1.
    int SetImages(UINT normal, UINT hover, UINT pressed, UINT disabled);
    int GetState() const { return mouse.state; }
    const OffscreenSurface& Surface() const { return surface; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void RebuildSurface();
    void Draw();

    OffscreenSurface surface;
    PushButtonMouse mouse;
    UINT commandId = 0;
    // The pictures (normal, hover, pressed, disabled order) and, per state, the one drawn. They are
    // drawn with GDI alone: the buttons are part of the main window's first paint.
    SkinImage images[4];
    const SkinImage* stateImage[4] = {};
};

}  // namespace sona
