// The window every desk item is: a borderless tool-window popup owned by the main window whose
// pixels come only from a per-pixel-alpha layered update. It selects itself on a click, moves from
// its inner area, resizes from its outer band (when the item allows it), shows the shared context
// menu and swallows the keys that would otherwise close things. Items add their drawing, their
// menu entries, their minimum size and their commands through the virtuals below.
#pragma once
#include <cstdint>
#include <vector>

#include "items/DeskItem.h"
#include "items/DesktopLayer.h"
#include "items/HitZone.h"
#include "items/ItemMessages.h"
#include "platform/Gdi.h"
#include "platform/Window.h"

namespace sona {

// One entry of an item's own part of the context menu; id 0 stands for a separator.
struct ItemMenuEntry {
    UINT id = 0;
    const char* text = nullptr;
    bool checked = false;
};

class LayeredItemWindow : public Window, public DeskItem {
public:
    LayeredItemWindow() = default;
    ~LayeredItemWindow() override;

    // Creates the window at `rect` (screen coordinates) owned by `owner`, then renders once.
    // FALSE when the window could not be made; the item then has no window and no surface.
    BOOL Create(const RECT& rect, HWND owner, UINT id);

    // Rebuilds the surface at the client size, lets the item draw on it and hands it to the
    // screen with constant alpha 254.
    void Render();

    HWND ItemWindow() const override { return hwnd; }
    HWND Owner() const { return owner; }
    // The last rendered pixels (premultiplied BGRA, top-down); tests read them back.
    const OffscreenSurface& Surface() const { return surface; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // Turns an item's cursor kind into the system cursor.
    static HCURSOR ZoneCursorHandle(ZoneCursor cursor);

    // Layer, opacity and click-through: the item's own window and every window it floats over
    // itself follow them at once.
    ItemSettings Settings() const override { return settings; }
    void ApplySettings(const ItemSettings& s) override;
    void ShowItem(bool shown) override;
    // The constant alpha the item's pixels are multiplied with (254 at full opacity).
    BYTE ConstantAlpha() const;
    // How an item "On the Desktop" is held there on this system (kNone for the other layers).
    DesktopHost DesktopPlacement() const { return desktopHost; }
    // The windows that float over the item as parts of it (owned popups, or children).
    std::vector<HWND> Parts() const;

protected:
    // Posts WM_DESKITEM_CHANGED to the owner: the item's place, size or content may have changed.
    void NotifyChanged();
    // Draws the item's content onto the fresh, fully transparent surface of w by h pixels.
    virtual void DrawContent(Gdiplus::Graphics& g, int w, int h) = 0;
    // Loads the item's skin images; runs during WM_CREATE.
    virtual void LoadSkins() {}
    // The entries between "Open"'s separator and "Remove", in order.
    virtual std::vector<ItemMenuEntry> MenuEntries() const { return {}; }
    // Text of command ID_DESKITEM_EDIT ("Open"; notes say "Edit").
    virtual const char* EditCommandText() const { return "Open"; }
    // The ID_DESKITEM_EDIT command.
    virtual void OnEditCommand() {}
    // Any other WM_COMMAND; true when handled.
    virtual bool OnItemCommand(UINT id) { return false; }
    // Items with a resize band and tracking limits.
    virtual bool IsResizable() const { return false; }
    // Smallest size the sizing loop may reach (resizable items only).
    virtual SIZE MinimumSize() const { return SIZE{0, 0}; }
    // The pointer moved or pressed over a resize zone (code is never kHitNone).
    virtual void OnResizeZone(int32_t code) {}
    // WM_SIZE; by default the item is simply drawn again at its new size.
    virtual void OnSized() { Render(); }
    // True while Create is still making the window (its first WM_SIZE arrives then; Create
    // renders once right after, so items may skip drawing there).
    bool InCreate() const { return creating; }

private:
    void SelectSelf();
    void OnLeftButtonDown(int x, int y);
    void OnPointerMove(int x, int y);
    void ShowContextMenu(POINT screen);
    void PushToScreen();
    void ApplyLayer(uint8_t layer);
    void SinkToBottom();
    static void CALLBACK SinkTimerProc(HWND w, UINT, UINT_PTR id, DWORD);
    void ApplyPartLook();
    bool OnSettingsCommand(UINT id);

    HWND owner = nullptr;
    bool creating = false;
    OffscreenSurface surface;
    ItemSettings settings;
    DesktopHost desktopHost = DesktopHost::kNone;
    // Parts that were visible when ShowItem hid the item: they come back with it.
    std::vector<HWND> hiddenParts;
};

}  // namespace sona
