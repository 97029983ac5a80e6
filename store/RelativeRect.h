// The one conversion between an item window's screen rectangle and the RelativeRect its record
// keeps (each coordinate divided by the main window's outer width or height). Portable.
#pragma once
#include <cstdint>

#include "store/DeskRecords.h"

namespace sona {

// A screen rectangle in whole pixels, as the window system gives it.
struct PixelRect {
    int32_t left, top, right, bottom;
};

// coordinate / extent as the 32-bit float the record stores.
float ToRelative(int32_t coordinate, int32_t extent);
// The pixel a stored value stands for at this extent, rounded to the nearest: every value that
// ToRelative made comes back as the coordinate it was made from, whatever the extent.
int32_t FromRelative(float relative, int32_t extent);

// The window rectangle a stored rectangle stands for on a main window of outer size w x h.
PixelRect RectFromRelative(const RelativeRect& rel, int32_t w, int32_t h);

// The rectangle to store for a window now at `now`, given what the record held before: a side that
// still sits where the stored value puts it keeps the stored float bit for bit (so an untouched
// item is written back unchanged even if its float came from another window size); a side that
// moved gets the new value. A window size of zero or less keeps the record as it is.
RelativeRect SyncRelative(const RelativeRect& stored, const PixelRect& now, int32_t w, int32_t h);

}  // namespace sona
