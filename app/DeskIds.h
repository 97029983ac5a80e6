// Private window messages and command ids shared across the program.
#pragma once

#define WM_SLIDER_CHANGED (0x400 + 201)    // SkinSlider -> parent, posted: id, position
#define WM_SCROLL_ACTION (0x400 + 202)     // SkinScrollBar -> itself, then its parent
#define WM_DESK_REDRAW (0x400 + 209)       // any window -> main window
#define WM_DROPDOWN_RECAPTURE (0x400 + 212) // scroll bar -> combo drop-down
#define WM_ADDTEXT_CLOSE (0x400 + 214)     // format bar -> add-text dialog: lParam 0 OK, 1 Cancel
#define WM_DESKITEM_SELECT (0x400 + 215)   // desk item -> main window: lParam item HWND
#define WM_PLAYER_VIDEOSIZE (0x400 + 216)  // player host -> media item: width, height
#define WM_DESKITEM_REMOVE (0x400 + 217)   // desk item -> main window
#define WM_DESK_SHOW_ABOUT (0x400 + 218)   // any window -> main window
#define WM_DESK_EXIT (0x400 + 219)         // application filter -> main window
#define WM_DESKITEM_CHANGED (0x400 + 220)  // desk item -> main window, posted: its layout or content changed

#define WM_COMBO_CHOOSE (0x400 + 1)
#define WM_COMBO_CLOSE (0x400 + 2)
#define WM_COMBO_TOGGLE (0x400 + 150)

#define WM_COLOUR_CHANGED (0x400 + 1001)
#define WM_COLOUR_DROPPED (0x400 + 1002)
#define WM_COLOUR_CLOSED (0x400 + 1003)
#define WM_COLOUR_CHOSEN (0x400 + 1004)
#define WM_COLOUR_CANCELLED (0x400 + 1005)

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

// Media item buttons.
#define IDC_MOVIE_PLAY 10014
#define IDC_MOVIE_STOP 10016
#define IDC_MOVIE_FULLSCREEN 10017
#define IDC_MOVIE_MUTE 10018
#define IDC_MUSIC_PLAY 10019
#define IDC_MUSIC_PAUSE 10020
#define IDC_MUSIC_STOP 10021

// Add-text dialog and format bar.
#define IDC_DIALOG_CLOSE 10039
#define IDC_FONT_LIST 10050
#define IDC_TEXT_OK 10051
#define IDC_TEXT_COLOUR 10053
#define IDC_SIZE_LIST 10055
#define IDC_NOTE_EDIT 10056
#define IDC_TEXT_CANCEL 10058

// Window timers.
#define TIMER_FIRST_PAINT 1
#define TIMER_SCROLL_LEFT 10
#define TIMER_SCROLL_RIGHT 11
#define TIMER_AUTOSAVE 12
