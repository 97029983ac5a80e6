// What the program's two push buttons share: a child window drawn through an off-screen surface
// of its client size, the push-button mouse behaviour, and the click sent to the parent as
// WM_COMMAND. Each kind draws its own face for the current state.
#pragma once
#include "controls/PushButtonMouse.h"
#include "platform/Gdi.h"
#include "platform/Window.h"

namespace sona {

class SkinPushButton : public Window {
public:
    // Creates the visible child window (control id 0); clicks send WM_COMMAND `commandId`.
    BOOL Create(RECT rect, HWND parent, UINT commandId);
    int GetState() const { return mouse.state; }
    UINT CommandId() const { return commandId; }
    // Draws the face the window shows, at `at` in `dc`: the parent's first frame shows it before
    // the window is made.
    void PaintFaceAt(HDC dc, const RECT& at);
    // The off-screen picture (for tests).
    const OffscreenSurface& Surface() const { return surface; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    // Draws the face of the current state into the surface; the window shows it when it paints.
    void Redraw();
    // The face over the whole client rectangle `rc` of the surface's DC `mem`.
    virtual void DrawFace(HDC mem, const RECT& rc) = 0;

    PushButtonMouse mouse;

private:
    void RebuildSurface();

    OffscreenSurface surface;
    UINT commandId = 0;
};

}  // namespace sona
