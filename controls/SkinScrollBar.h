// The vertical scroll bar of the combo drop-down: 17 pixels wide, drawn from the scroll skin
// bitmaps, driving the list box it is attached to through LB_SETTOPINDEX.
#pragma once
#include "controls/ControlMessages.h"
#include "controls/ScrollModel.h"
#include "platform/Gdi.h"
#include "platform/Window.h"

namespace sona {

class SkinScrollBar : public Window {
public:
    SkinScrollBar() = default;
    ~SkinScrollBar() override;

    BOOL Create(const RECT& rect, HWND parent, UINT id);

    void SetLineSize(int size) { model.SetLineSize(size); }
    void SetRange(int range);
    void SetPosition(int position);
    int GetPosition() const { return model.Position(); }
    int GetRange() const { return model.Range(); }
    // The list box it scrolls (null for none).
    void AttachList(HWND list) { this->list = list; }
    const ScrollModel& Model() const { return model; }
    int GetState() const { return state; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnButtonDown(int y);
    void OnMouseMove(int y);
    void OnButtonUp(int y);
    void OnAction(int action, int target);
    // Runs an action here and then tells the parent about it.
    void SendAction(int action, int target);
    void Redraw();
    void RebuildBuffer();

    ScrollModel model;
    bool dragging = false;
    int dragStartY = 0;
    int dragStartThumbTop = 0;
    bool hoverTracking = false;
    int state = 32;
    bool upPressed = false;
    bool downPressed = false;
    HWND list = nullptr;
    OffscreenSurface buffer;
};

}  // namespace sona
