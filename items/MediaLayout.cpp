#include "items/MediaLayout.h"

#include <cstring>

#include "res/resource.h"

namespace sona {

// Whole-number arithmetic throughout, truncating toward zero like the rest of the layout.
MediaSize FitSize(int32_t sw, int32_t sh, int32_t bw, int32_t bh, bool always) {
    if (sw == 0 || sh == 0 || bw == 0 || bh == 0) return MediaSize{0, 0};
    if (sw <= bw && sh <= bh && !always) return MediaSize{sw, sh};
    if ((double)sw / sh > (double)bw / bh) return MediaSize{bw, (int32_t)((int64_t)sh * bw / sw)};
    return MediaSize{(int32_t)((int64_t)sw * bh / sh), bh};
}

// Inside the frame: 19 pixels on three sides, 77 at the bottom for the control panel.
MediaRect MovieVideoBox(int32_t w, int32_t h) { return MediaRect{19, 19, w - 19, h - 77}; }

// Buttons at fixed offsets from the panel, sliders along the bottom, the video fitted and
// centred in its box, then pulled in by 3 pixels so the frame's inner edge stays visible.
uint32_t StoreTypeOf(MediaKind kind) { return kind == MediaKind::Movie ? kItemMovie : kItemMusic; }

bool MediaKindOf(uint32_t type, MediaKind* kind) {
    if (type == kItemMovie) *kind = MediaKind::Movie;
    else if (type == kItemMusic) *kind = MediaKind::Music;
    else return false;
    return true;
}

MediaLayoutResult Layout(MediaKind kind, const MediaRect& window, int32_t videoWidth, int32_t videoHeight) {
    MediaLayoutResult out;
    const int32_t l = window.left, t = window.top, r = window.right, b = window.bottom;
    const int32_t w = window.Width(), h = window.Height();
    if (kind == MediaKind::Movie) {
        out.buttons[0] = RectXYWH(l + 18, b - 55, 35, 35);
        out.buttons[1] = RectXYWH(l + 61, b - 50, 21, 21);
        out.buttons[2] = RectXYWH(l + 95, b - 49, 21, 21);
        out.buttons[3] = RectXYWH(l + 121, b - 49, 21, 21);
        out.buttonCount = 4;
        out.positionSlider = MediaRect{l + 177, b - 44, r - 112, b - 33};
        out.volumeSlider = MediaRect{r - 73, b - 44, r - 27, b - 33};
        out.hasSliders = true;

        MediaRect box = MovieVideoBox(w, h);
        int32_t bw = box.Width(), bh = box.Height();
        if (bw < 0) bw = 0;
        if (bh < 0) bh = 0;
        MediaSize fit = FitSize(videoWidth, videoHeight, bw, bh, true);
        int32_t x = box.left + (bw - fit.cx) / 2 + 3;
        int32_t y = box.top + (bh - fit.cy) / 2 + 3;
        int32_t cw = fit.cx - 6, ch = fit.cy - 6;
        if (cw < 0) cw = 0;
        if (ch < 0) ch = 0;
        out.host = RectXYWH(l + x, t + y, cw, ch);
        out.hasHost = true;
    } else {
        // The card's buttons scale their offsets with its height; each corner is truncated.
        MediaRect play{(int32_t)(l + 0.1 * h), (int32_t)(t + 0.22 * h), (int32_t)(l + 18 + 0.1 * h),
                       (int32_t)(t + 20 + 0.22 * h)};
        for (int i = 0; i < 3; i++) {
            MediaRect bt = play;
            bt.left += 22 * i;
            bt.right += 22 * i;
            out.buttons[i] = bt;
        }
        out.buttonCount = 3;
    }
    return out;
}

// Corners at their stored size, edges stretched between them, the panel along the bottom.
void MovieFrame(int32_t w, int32_t h, SkinPiece p[kMovieFramePieces]) {
    p[0] = {IDP_MOVIE_TOP_LEFT, RectXYWH(0, 0, 32, 33)};
    p[1] = {IDP_MOVIE_TOP, RectXYWH(32, 0, w - 64, 28)};
    p[2] = {IDP_MOVIE_TOP_RIGHT, RectXYWH(w - 32, 0, 32, 33)};
    p[3] = {IDP_MOVIE_LEFT, RectXYWH(0, 33, 29, h - 118)};
    p[4] = {IDP_MOVIE_RIGHT, RectXYWH(w - 29, 33, 29, h - 117)};
    p[5] = {IDP_MOVIE_BOTTOM_LEFT, RectXYWH(0, h - 85, 184, 85)};
    p[6] = {IDP_MOVIE_BOTTOM, RectXYWH(184, h - 86, w - 300, 86)};
    p[7] = {IDP_MOVIE_BOTTOM_RIGHT, RectXYWH(w - 116, h - 84, 116, 84)};
}

// Reaches 9 pixels under the frame's edges so no light gap shows around the video.
MediaRectF MovieDarkArea(int32_t w, int32_t h) { return MediaRectF{28.0f, 28.0f, (float)(w - 56), (float)(h - 110)}; }

// The card art is 312 by 155 with a 124-pixel disc centred at (231, 72); scale both ways.
MediaRect MusicDisc(int32_t w, int32_t h) {
    int32_t s = 124 * w / 312;
    int32_t half = s / 2;
    return RectXYWH(231 * w / 312 - half, 72 * h / 155 - half, s, s);
}

// The highlight sits a little larger than the disc, over the card's tray.
MediaRect MusicHighlight(int32_t w, int32_t h) { return RectXYWH(21 * w / 40, h / 20, 18 * w / 40, 18 * h / 20); }

// Under the booklet on the card's left half.
MediaRectF MusicTitleArea(int32_t w, int32_t h) {
    return MediaRectF{(float)(0.04 * w), (float)(0.5 * h), (float)(0.42 * w), (float)(0.9 * h)};
}

// Tenths of a second, at least one.
int32_t PositionRangeFor(int64_t duration) {
    int64_t tenths = duration / 1000000;
    if (tenths < 1) return 1;
    if (tenths > INT32_MAX) return INT32_MAX;
    return (int32_t)tenths;
}

// Tenths of a second, truncated.
int32_t TenthsOf(int64_t position) { return (int32_t)(position / 1000000); }

// DirectShow holds the position at the duration once a file has played out; a clock that runs a
// little past it counts as the end too.
bool ReachedEnd(int64_t position, int64_t duration) { return duration > 0 && position >= duration; }

// The name after the last backslash.
const char* FileNamePart(const char* path) {
    if (!path) return "";
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

}  // namespace sona
