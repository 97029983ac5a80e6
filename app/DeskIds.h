// The main window's command ids (its messages and timers: DeskMessages.h).
#pragma once

// Main window commands.
#define ID_IMPORT_MOVIE 10030
#define ID_IMPORT_MUSIC 10031
#define ID_IMPORT_PICTURE 10032
#define ID_ADD_TEXT 10033
#define ID_DELETE_ITEM 10034
#define ID_CREATE_DESK 10035
#define ID_REMOVE_DESK 10036
#define ID_EXIT 10037
#define ID_CAPTION_CLOSE 10039
#define ID_CAPTION_SPARE 10040
#define ID_CAPTION_MINIMIZE 10041

// The notification-area menu: show or hide the items, desks 1 to 9, stop click-through (its
// Exit is ID_EXIT).
#define ID_TRAY_SHOW_ITEMS 10050
#define ID_TRAY_DESK_FIRST 10051  // 10051 + d: desk d (0 to 8)
#define ID_TRAY_STOP_CLICK_THROUGH 10060

