// The program's bitmap push button: four state bitmaps, an optional centred caption, drawn
// through an off-screen buffer, reporting clicks to its parent as WM_COMMAND.
#pragma once
#include <string>

#include "controls/PushButtonMouse.h"
#include "platform/Gdi.h"
#include "platform/Window.h"

namespace sona {

class SkinButton : public Window {
public:
    SkinButton() = default;
    ~SkinButton() override;

    // Creates the child window (control id 0); the button keeps `commandId` for its WM_COMMAND.
    BOOL Create(RECT rect, HWND parent, UINT commandId);
    // Replaces the four state bitmaps (resource ids, low 16 bits used) and redraws.
    BOOL SetBitmaps(UINT normal, UINT hover, UINT pressed, UINT disabled);
    // Stores the caption and redraws.
    virtual void SetText(const char* text);
    // Normal when enabled, disabled otherwise; the window itself stays enabled and ignores input.
    void Enable(BOOL enable);
    int GetState() const { return mouse.state; }
    UINT CommandId() const { return commandId; }
    // The off-screen picture (for tests).
    const OffscreenSurface& Surface() const { return buffer; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void RebuildBuffer();
    void Render();

    OffscreenSurface buffer;
    std::string caption;
    PushButtonMouse mouse;
    bool enabled = true;
    UINT commandId = 0;
    Bitmap normalBmp, pressedBmp, hoverBmp, disabledBmp;
};

}  // namespace sona
