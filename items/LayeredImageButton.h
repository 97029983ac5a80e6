// A push button drawn from PNG images with per-pixel alpha, as a small layered popup that floats
// over its owner (the media item) and reports clicks to it as WM_COMMAND.
#pragma once
#include <string>

#include "controls/PushButtonMouse.h"
#include "platform/Gdi.h"
#include "platform/Tooltip.h"
#include "platform/Window.h"

namespace sona {

class LayeredImageButton : public Window {
public:
    // Mouse states, the same values the other skinned controls use.
    enum { kNormal = kStateNormal, kHover = kStateHover, kPressed = kStatePressed, kDisabled = kStateDisabled };

    LayeredImageButton() = default;
    ~LayeredImageButton() override;

    // Creates the popup at `rect` (screen coordinates), owned by `owner`, and its tooltip.
    // Nothing shows until the button has images.
    BOOL Create(RECT rect, HWND owner, UINT id);
    // Four PNG resource ids; replaces the images and renders at once.
    BOOL SetImages(UINT normal, UINT hover, UINT pressed, UINT disabled);
    // The tooltip over the whole button; a second call replaces the text.
    void SetTooltip(const char* text);
    // Disabled buttons ignore the mouse and show their disabled image.
    void Enable(BOOL enable);
    int GetState() const { return mouse.state; }
    UINT GetId() const { return id; }
    HWND TooltipWindow() const { return tooltip.handle(); }
    // The last rendered picture (premultiplied BGRA), for tests.
    const OffscreenSurface& Surface() const { return surface; }

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Render();

    UINT id = 0;
    HWND owner = nullptr;
    // The item's opacity (WM_DESKITEM_PART_ALPHA): 254 at full.
    BYTE constantAlpha = 254;
    PushButtonMouse mouse;
    bool tooltipAdded = false;
    GdipPtr<Gdiplus::Image> normalImg, hoverImg, pressedImg, disabledImg;
    Tooltip tooltip;
    OffscreenSurface surface;
};

}  // namespace sona
