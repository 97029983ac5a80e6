// The main window's command buttons: PNG pictures per mouse state over a slice of the band bitmap.
#pragma once
#include "controls/SkinPushButton.h"
#include "store/SkinImage.h"

namespace sona {

class ImageCommandButton : public SkinPushButton {
public:
    // PNG resource ids in the order normal, hover, pressed, disabled. Returns 1.
    int SetImages(UINT normal, UINT hover, UINT pressed, UINT disabled);

protected:
    void DrawFace(HDC mem, const RECT& rc) override;

private:
    // The pictures (normal, hover, pressed, disabled order) and, per state, the one drawn. They are
    // drawn with GDI alone: the buttons are part of the main window's first paint.
    SkinImage images[4];
    const SkinImage* stateImage[4] = {};
};

}  // namespace sona
