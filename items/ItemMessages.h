// Every private message and timer of the desk item windows, in one place so that no two share a
// number. Each says who sends it, who receives it and what it carries.
#pragma once
#include <windows.h>

namespace sona {

// ---- A desk item -> the window that owns it (the main window)

// Sent first thing on a click or a context menu: lParam the item's window, now the current one.
constexpr UINT WM_DESKITEM_SELECT = WM_USER + 215;
// Posted by the item's Remove command: lParam the item's window, to be removed.
constexpr UINT WM_DESKITEM_REMOVE = WM_USER + 217;
// Posted when its layout or content changed (something to save): lParam the item's window.
constexpr UINT WM_DESKITEM_CHANGED = WM_USER + 220;
// Posted by To Front / To Back: wParam 1 to the top, 0 to the bottom; lParam the item's window.
constexpr UINT WM_DESKITEM_RESTACK = WM_USER + 221;
// Sent when it has just moved, sized or restacked: lParam the item's window.
constexpr UINT WM_DESKITEM_PLACED = WM_USER + 222;

// ---- Within an item

// Item -> each of its parts, sent: wParam the constant alpha to draw with. A part that draws
// itself with a layered update answers 1 (and draws); other parts are faded by the item.
constexpr UINT WM_DESKITEM_PART_ALPHA = WM_USER + 230;
// MediaPlayerHost -> its media item, sent once the video size is known: wParam the width,
// lParam the height.
constexpr UINT WM_PLAYER_VIDEOSIZE = WM_USER + 216;
// The picture loader -> a picture item, posted when its picture is decoded: wParam the request
// id. The result waits in the loader until the item takes it.
constexpr UINT WM_PICTURE_READY = WM_APP + 16;
// The picture loader -> a picture item, posted ahead of the picture: wParam the request id,
// lParam its width and height. The loader posts it on the number after the one it was given.
constexpr UINT WM_PICTURE_SIZE = WM_PICTURE_READY + 1;
// An item on the desktop layer -> itself, posted: it goes back to the bottom. Carries nothing.
constexpr UINT WM_DESKITEM_SINK = WM_APP + 60;

// ---- Timers

// A media item's poll of its player, every kMediaPollMs.
constexpr UINT_PTR TIMER_MEDIA_POLL = 1;
constexpr UINT kMediaPollMs = 500;
// An item on the desktop layer, 800 ms after it lost the activation: back to the bottom (a
// timer procedure of its own, so any message loop runs it).
constexpr UINT_PTR TIMER_DESKITEM_SINK = 0x5D01;

}  // namespace sona
