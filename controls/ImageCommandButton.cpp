#include "controls/ImageCommandButton.h"

#include "res/resource.h"
#include "store/Resources.h"

namespace sona {

int ImageCommandButton::SetImages(UINT normal, UINT hover, UINT pressed, UINT disabled) {
    // The main window gives most states the same picture: each distinct resource is decoded once
    // and the states that share it point at the same image.
    const UINT ids[4] = {normal, hover, pressed, disabled};
    for (int i = 0; i < 4; i++) {
        images[i].Reset();
        stateImage[i] = nullptr;
        for (int j = 0; j < i && !stateImage[i]; j++)
            if (ids[j] == ids[i]) stateImage[i] = stateImage[j];
        if (!stateImage[i]) {
            images[i].Load(ids[i]);
            stateImage[i] = &images[i];
        }
    }
    Redraw();
    return 1;
}

// The band slice first, then the state's picture over it; its alpha lets the band show through.
void ImageCommandButton::DrawFace(HDC mem, const RECT& rc) {
    SetStretchBltMode(mem, COLORONCOLOR);
    Brush magenta(CreateSolidBrush(RGB(255, 0, 255)));
    FillRect(mem, &rc, magenta);
    // Every button shows the same slice of the band strip: load it once for all of them.
    static HBITMAP band = LoadBitmapResource(IDB_COMMAND_STRIP);
    if (band) {
        MemoryDC src(mem, band);
        BitBlt(mem, 0, 0, rc.right, rc.bottom, src, 0, 9, SRCCOPY);
    }
    int state = mouse.state;
    const SkinImage* img = state == kStateHover     ? stateImage[1]
                          : state == kStatePressed  ? stateImage[2]
                          : state == kStateDisabled ? stateImage[3]
                                                    : stateImage[0];
    if (img) img->Draw(mem, 0, 0, rc.right, rc.bottom);
}

}  // namespace sona
