// The program's bitmap push button: four state bitmaps, an optional centred caption, drawn
// through an off-screen buffer, reporting clicks to its parent as WM_COMMAND.
#pragma once
#include <string>

#include "controls/SkinPushButton.h"

namespace sona {

class SkinButton : public SkinPushButton {
public:
    // Replaces the four state bitmaps (resource ids, low 16 bits used) and redraws.
    BOOL SetBitmaps(UINT normal, UINT hover, UINT pressed, UINT disabled);
    // Stores the caption and redraws.
    virtual void SetText(const char* text);
    // Normal when enabled, disabled otherwise; the window itself stays enabled and ignores input.
    void Enable(BOOL enable);

protected:
    void DrawFace(HDC mem, const RECT& rc) override;

private:
    std::string caption;
    Bitmap normalBmp, pressedBmp, hoverBmp, disabledBmp;
};

}  // namespace sona
