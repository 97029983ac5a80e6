// A horizontal slider drawn from bitmaps: a 13-pixel track split at the position into a filled
// and an empty part, and a 16 x 12 thumb. It posts WM_SLIDER_CHANGED to its parent on a click
// and at the end of a drag, and can show the position as a percentage while dragging.
#pragma once
#include "controls/ControlMessages.h"
#include "platform/Gdi.h"
#include "platform/Window.h"

namespace sona {

class SkinSlider : public Window {
public:
    enum { kNormal = 32, kHover = 16 };
    static constexpr int kThumbWidth = 16;
    static constexpr int kThumbHeight = 12;
    static constexpr int kTrackHeight = 13;

    SkinSlider() = default;
    ~SkinSlider() override;

    // A tool popup at `rect` (screen coordinates) owned by `parent`, which gets the notifications
    // with `id`. Uses the standard track and thumb bitmaps.
    // `visible` false makes it hidden from the start (the same as showing it and hiding it at once,
    // without the unmap a hide costs).
    BOOL Create(RECT rect, HWND parent, UINT id, bool visible = true);
    // Bitmap resource ids (low 16 bits) loaded at every draw; a missing one leaves white.
    // The pressed thumb is kept but never drawn. `styleFlags` goes to SetStyle.
    void SetBitmaps(UINT filledTrack, UINT emptyTrack, UINT hoverThumb, UINT pressedThumb, UINT normalThumb,
                    UINT styleFlags);
    // 0x20: percentage tooltip that follows the thumb; 0x10: tooltip only; neither: none.
    void SetStyle(UINT flags);
    // The maximum position (1 or more); the minimum is 0.
    void SetRange(int maximum);
    // Stores the position as given and redraws.
    void SetPos(int pos);
    int GetPos() const { return position; }
    int GetRange() const { return range; }
    // The media item leaves the thumb alone while the user drags it.
    bool IsDragging() const { return dragging; }
    int GetState() const { return thumbState; }

    // The tooltip text: the position as a percentage ("50%"), in a buffer shared by all sliders.
    virtual const char* GetTooltipText();

    // The tracking tooltip shared by every slider of the process (null until first shown).
    static HWND SharedTooltip();
    // What the sliders share, for sliders drawn inside another window too: the drawing of a
    // slider of `position` out of `range` over `rc` of `dc` (white, the track split at the
    // position, the thumb in `thumbState`), and the percentage tip shown at, moved to (screen
    // points) and hidden.
    static void DrawSlider(HDC dc, const RECT& rc, int position, int range, int thumbState, UINT filledTrack,
                           UINT emptyTrack, UINT hoverThumb, UINT normalThumb);
    static RECT ThumbRectIn(const RECT& rc, int position, int range);
    static void ShowTrackingTip(const char* text, POINT screen);
    static void UpdateTrackingTip(const char* text);
    static void MoveTrackingTip(POINT screen);
    static void HideTrackingTip();
    // "50%": `position` of `range` as a percentage, in the buffer the sliders share.
    static const char* PercentText(int position, int range);
    // The off-screen picture, for tests.
    const OffscreenSurface& Surface() const { return surface; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void RebuildSurface();
    void Draw();
    RECT ThumbRect() const;
    int PositionAt(int x) const;
    void Notify();
    void ShowTooltip();
    void MoveTooltip();
    void EndDrag();

    OffscreenSurface surface;
    HWND parent = nullptr;
    bool tooltipOn = false;
    bool tooltipFollows = false;
    UINT filledTrackId = 0, emptyTrackId = 0;
    UINT hoverThumbId = 0, pressedThumbId = 0, normalThumbId = 0;
    bool tracking = false;
    int thumbState = kNormal;
    bool dragging = false;
    UINT id = 0;
    int position = 0;
    int range = 100;
};

}  // namespace sona
