// Where a media item puts its pieces: the satellite windows (buttons, sliders, player host), the
// skin pieces of its frame and the music card's disc. Portable (no windows.h) so every number can
// be checked on the host; the Windows side only hands these rectangles to the system.
#pragma once
#include <cstdint>

#include "store/DeskRecords.h"

namespace sona {

// What a media item plays. Not the desk store's type code: StoreTypeOf and MediaKindOf convert.
enum class MediaKind : uint8_t { Movie, Music };

// The store's type code of a kind (kItemMovie, kItemMusic).
uint32_t StoreTypeOf(MediaKind kind);
// The kind of a movie or music type code; false for every other code.
bool MediaKindOf(uint32_t type, MediaKind* kind);

struct MediaRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const MediaRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// A rectangle from its corner and size.
inline MediaRect RectXYWH(int32_t x, int32_t y, int32_t w, int32_t h) { return MediaRect{x, y, x + w, y + h}; }

struct MediaSize {
    int32_t cx = 0, cy = 0;
};

// Scales (sw, sh) to touch the box (bw, bh) on two sides, keeping its aspect. With `always`
// false a source that already fits keeps its size. Any zero gives (0, 0).
MediaSize FitSize(int32_t sw, int32_t sh, int32_t bw, int32_t bh, bool always);

// The satellite windows of an item whose window rectangle is (l, t, r, b) in screen coordinates.
struct MediaLayoutResult {
    // Movie: play/pause, stop, mute, full screen. Music: play, pause, stop.
    MediaRect buttons[4];
    int buttonCount = 0;
    // Movie only.
    MediaRect positionSlider, volumeSlider;
    bool hasSliders = false;
    // Movie only: where the player host goes (screen coordinates), already deflated.
    MediaRect host;
    bool hasHost = false;
};

// The video size an item assumes until its host announces the real one.
constexpr int32_t kDefaultVideoWidth = 1024;
constexpr int32_t kDefaultVideoHeight = 768;

MediaLayoutResult Layout(MediaKind kind, const MediaRect& window, int32_t videoWidth, int32_t videoHeight);

// The video box of a movie in client coordinates (the dark area less a margin).
MediaRect MovieVideoBox(int32_t w, int32_t h);

// The eight skin pieces of a movie frame, in drawing order, with their PNG resource ids.
struct SkinPiece {
    uint32_t resource;
    MediaRect rect;
};
constexpr int kMovieFramePieces = 8;
void MovieFrame(int32_t w, int32_t h, SkinPiece pieces[kMovieFramePieces]);
// The dark area behind the video: x, y, width, height.
struct MediaRectF {
    float x, y, w, h;
};
MediaRectF MovieDarkArea(int32_t w, int32_t h);

// The music card's disc (a square) and the translucent highlight over it, for a card of w by h.
MediaRect MusicDisc(int32_t w, int32_t h);
MediaRect MusicHighlight(int32_t w, int32_t h);
// The file name's layout rectangle on the card.
MediaRectF MusicTitleArea(int32_t w, int32_t h);

// The position slider's range for a duration in 100 ns units: tenths of a second, never below 1
// (a slider needs a range of at least one step; a blip or an unknown length still gets one).
int32_t PositionRangeFor(int64_t duration);
// A position in 100 ns units as the slider's tenths of a second.
int32_t TenthsOf(int64_t position);
// True when playback has come to the end of a file of known length.
bool ReachedEnd(int64_t position, int64_t duration);

// The file name shown on a music card: what follows the last backslash, or the whole path.
const char* FileNamePart(const char* path);

}  // namespace sona
