// The main window's command buttons: PNG pictures per mouse state over a slice of the band bitmap.
#pragma once
#include "controls/SkinPushButton.h"

namespace sona {

class ImageCommandButton : public SkinPushButton {
public:
    // PNG resource ids in the order normal, hover, pressed, disabled. Returns 1.
    int SetImages(UINT normal, UINT hover, UINT pressed, UINT disabled);

protected:
    void DrawFace(HDC mem, const RECT& rc) override;

private:
    // The decoded pictures (normal, hover, pressed, disabled order) and, per state, the one drawn.
    GdipPtr<Gdiplus::Image> images[4];
    Gdiplus::Image* stateImage[4] = {};
};

}  // namespace sona
