// The highlight around the current item: a click-through, never-activated layered window of its
// own, owned by the main window and kept just below the item it surrounds, so nothing of the item
// itself is drawn over and an item lying above covers the highlight as it covers the item.
#pragma once
#include <windows.h>

#include "platform/Gdi.h"
#include "platform/Window.h"

namespace sona {

class SelectionFrame : public Window {
public:
    SelectionFrame() = default;
    ~SelectionFrame() override;

    // Surrounds `item` (made on first use, owned by `owner`) at its present place and size.
    void Follow(HWND item, HWND owner);
    void Hide();
    // The item it surrounds while shown, else null.
    HWND Target() const { return target; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool Make(HWND owner);

    OffscreenSurface surface;
    HWND target = nullptr;
};

}  // namespace sona
