// The commands of the items' context menus (what an item tells its owner: ItemMessages.h).
#pragma once
#include "items/ItemMessages.h"

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
