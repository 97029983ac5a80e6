// The main window's command buttons: PNG pictures per mouse state over a slice of the band bitmap.
#pragma once
#include "controls/SkinButton.h"
#include "platform/Gdi.h"
#include "platform/Window.h"

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
    // The decoded pictures (normal, hover, pressed, disabled order) and, per state, the one drawn.
    GdipPtr<Gdiplus::Image> images[4];
    Gdiplus::Image* stateImage[4] = {};
};

}  // namespace sona
