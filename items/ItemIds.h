// What a desk item tells the window that owns it, and the commands of the items' context menus.
#pragma once

// Desk item -> owner (the main window).
#define WM_DESKITEM_SELECT (0x400 + 215)   // sent: lParam the item's window
#define WM_DESKITEM_REMOVE (0x400 + 217)   // posted: lParam the item's window, to be removed
#define WM_DESKITEM_CHANGED (0x400 + 220)  // posted: its layout or content changed
#define WM_DESKITEM_RESTACK (0x400 + 221)  // posted: wParam 1 to the top, 0 to the bottom; lParam the item's window
#define WM_DESKITEM_PLACED (0x400 + 222)   // sent: lParam the item's window, just moved, sized or restacked
// Item -> its parts: wParam the constant alpha to draw with. A part that draws itself with a
// layered update answers 1 (and draws); other parts are faded by the item.
#define WM_DESKITEM_PART_ALPHA (0x400 + 230)

// Item menus.
#define ID_DESKITEM_EDIT 10100
#define ID_MEDIA_PLAYPAUSE 10101
#define ID_MEDIA_STOP 10103
#define ID_MEDIA_MUTE 10104
#define ID_MEDIA_FULLSCREEN 10105
#define ID_DESKITEM_REMOVE 10106
#define ID_MUSIC_PLAY 10107
#define ID_MUSIC_PAUSE 10108
#define ID_MUSIC_STOP 10109
#define ID_DESKITEM_TO_FRONT 10110
#define ID_DESKITEM_TO_BACK 10111
// Where an item sits among other windows, how opaque it is, whether the mouse passes through.
#define ID_DESKITEM_ON_TOP 10112
#define ID_DESKITEM_ON_DESKTOP 10113
#define ID_DESKITEM_CLICK_THROUGH 10114
#define ID_DESKITEM_OPACITY_FIRST 10120  // 10120 + i: kOpacitySteps[i]
