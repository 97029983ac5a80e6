#include "items/MediaItem.h"

#include <cstring>

#include "items/ItemIds.h"
#include "items/MediaFileTypes.h"
#include "platform/CommonDialogs.h"
#include "platform/FileNames.h"
#include "platform/Text.h"
#include "res/resource.h"
#include "store/DeskStore.h"
#include "store/Resources.h"

namespace sona {

MediaItem::FileChooser MediaItem::chooseFiles = RunOpenFileDialog;

namespace {

// The buttons of each kind, in creation order.
struct ButtonSpec {
    int slot;
    UINT id;
    const char* tooltip;
    UINT normal, hover, pressed, disabled;
};
const ButtonSpec kMovieButtons[] = {
    {0, IDC_MOVIE_PLAY, "Play", IDP_MOVIE_PLAY, IDP_MOVIE_PLAY_HOVER, IDP_MOVIE_PLAY, IDP_MOVIE_PLAY},
    {1, IDC_MOVIE_STOP, "Stop", IDP_MOVIE_STOP, IDP_MOVIE_STOP_HOVER, IDP_MOVIE_STOP, IDP_MOVIE_STOP},
    {2, IDC_MOVIE_MUTE, "Mute", IDP_MOVIE_MUTE, IDP_MOVIE_MUTE_HOVER, IDP_MOVIE_MUTE, IDP_MOVIE_MUTE},
    {3, IDC_MOVIE_FULLSCREEN, "Full Screen", IDP_MOVIE_FULLSCREEN, IDP_MOVIE_FULLSCREEN_HOVER, IDP_MOVIE_FULLSCREEN,
     IDP_MOVIE_FULLSCREEN},
};
const ButtonSpec kMusicButtons[] = {
    {4, IDC_MUSIC_PLAY, "Play", IDP_MUSIC_PLAY, IDP_MUSIC_PLAY_HOVER, IDP_MUSIC_PLAY, IDP_MUSIC_PLAY},
    {5, IDC_MUSIC_PAUSE, "Pause", IDP_MUSIC_PAUSE, IDP_MUSIC_PAUSE_HOVER, IDP_MUSIC_PAUSE, IDP_MUSIC_PAUSE},
    {6, IDC_MUSIC_STOP, "Stop", IDP_MUSIC_STOP, IDP_MUSIC_STOP_HOVER, IDP_MUSIC_STOP, IDP_MUSIC_STOP},
};

// The eleven skin images: the movie frame, the music card, its disc and highlight.
const UINT kSkinIds[] = {IDP_MOVIE_TOP_LEFT,  IDP_MOVIE_TOP,         IDP_MOVIE_TOP_RIGHT,
                         IDP_MOVIE_LEFT,      IDP_MOVIE_RIGHT,       IDP_MOVIE_BOTTOM_LEFT,
                         IDP_MOVIE_BOTTOM,    IDP_MOVIE_BOTTOM_RIGHT, IDP_MUSIC_CARD,
                         IDP_MUSIC_DISC,      IDP_MUSIC_HIGHLIGHT};

// Slots of the movie buttons whose look changes.
const int kPlaySlot = 0, kMuteSlot = 2;

// Draws a skin piece over `r`. Every piece is drawn at its stored size across the direction it
// is stretched in and is uniform along it, so repeating it is the same as stretching it, and it
// keeps every pixel exact: a stretched draw fades the border pixels toward transparent (some GDI+
// builds ignore the wrap mode meant to prevent that) and leaves see-through seams between pieces.
void DrawPiece(Gdiplus::Graphics& g, Gdiplus::Image* img, const MediaRect& r) {
    if (!img || r.Width() <= 0 || r.Height() <= 0) return;
    Gdiplus::TextureBrush brush(img, Gdiplus::WrapModeTile);
    brush.TranslateTransform((Gdiplus::REAL)r.left, (Gdiplus::REAL)r.top);
    g.FillRectangle(&brush, r.left, r.top, r.Width(), r.Height());
}

// `img` scaled over a new premultiplied bitmap of w by h. With `mirrorEdges` the sampling past
// the image's border mirrors it instead of fading to transparent, so the edges stay solid.
GdipPtr<Gdiplus::Bitmap> Prescaled(Gdiplus::Image* img, int w, int h, bool mirrorEdges) {
    if (!img || w <= 0 || h <= 0) return nullptr;
    GdipPtr<Gdiplus::Bitmap> out(new Gdiplus::Bitmap(w, h, PixelFormat32bppPARGB));
    Gdiplus::Graphics g(out.get());
    if (mirrorEdges) {
        Gdiplus::ImageAttributes attrs;
        attrs.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
        g.DrawImage(img, Gdiplus::Rect(0, 0, w, h), 0, 0, (INT)img->GetWidth(), (INT)img->GetHeight(),
                    Gdiplus::UnitPixel, &attrs);
    } else {
        g.DrawImage(img, 0, 0, w, h);
    }
    return out;
}

}  // namespace

// The host (and any graph it still holds) goes before the sliders and the buttons.
MediaItem::~MediaItem() {
    host.reset();
    positionSlider.reset();
    volumeSlider.reset();
}

// The window first; then the satellites at empty rectangles (Layout places them), the timer and
// a first layout through WM_SIZE.
BOOL MediaItem::Create(const RECT& rect, HWND ownerWindow, UINT id) {
    videoWidth = kDefaultVideoWidth;
    videoHeight = kDefaultVideoHeight;
    if (!LayeredItemWindow::Create(rect, ownerWindow, id)) return FALSE;
    const RECT empty{0, 0, 0, 0};

    host = std::make_unique<MediaPlayerHost>();
    host->Create(empty, hwnd);

    // A music card never shows its sliders: they are made hidden.
    bool slidersShown = kind == MediaKind::Movie;
    positionSlider = std::make_unique<SkinSlider>();
    positionSlider->Create(empty, hwnd, kPositionSliderId, slidersShown);
    positionSlider->SetBitmaps(IDB_SLIDER_TRACK, IDB_SLIDER_TRACK, IDB_SLIDER_THUMB, IDB_SLIDER_THUMB, IDB_SLIDER_THUMB, 0x0C);
    positionSlider->SetStyle(0x10);

    volumeSlider = std::make_unique<SkinSlider>();
    volumeSlider->Create(empty, hwnd, kVolumeSliderId, slidersShown);
    volumeSlider->SetStyle(0x10);
    volumeSlider->SetBitmaps(IDB_SLIDER_TRACK, IDB_SLIDER_TRACK, IDB_SLIDER_THUMB, IDB_SLIDER_THUMB, IDB_SLIDER_THUMB, 0x0C);
    volumeSlider->SetStyle(0x10);
    volumeSlider->SetRange(100);
    volumeSlider->SetPos(100);

    const ButtonSpec* specs = kind == MediaKind::Movie ? kMovieButtons : kMusicButtons;
    int count = kind == MediaKind::Movie ? 4 : 3;
    for (int i = 0; i < count; i++) {
        buttons[specs[i].slot].Create(empty, hwnd, specs[i].id);
        buttons[specs[i].slot].SetTooltip(specs[i].tooltip);
    }
    for (int i = 0; i < count; i++)
        buttons[specs[i].slot].SetImages(specs[i].normal, specs[i].hover, specs[i].pressed, specs[i].disabled);
    if (kind == MediaKind::Movie) {
        playImage = IDP_MOVIE_PLAY;
        playTooltip = "Play";
        muteImage = IDP_MOVIE_MUTE;
        muteTooltip = "Mute";
    }

    SetTimer(hwnd, TIMER_MEDIA_POLL, kMediaPollMs, nullptr);
    Render();
    SendMessageA(hwnd, WM_SIZE, 0, 0);
    return TRUE;
}

// The path goes to the host; the card shows the new name at once.
void MediaItem::SetFile(const std::string& path) {
    if (host) host->SetPath(path.c_str());
    Render();
}

// The skins are shared by every card of the process: decoded by the first card that draws them.
void MediaItem::LoadSkins() {
    for (UINT id : kSkinIds) SharedPng(id);
}

Gdiplus::Image* MediaItem::Skin(UINT id) const { return SharedPng(id); }

void MediaItem::DrawContent(Gdiplus::Graphics& g, int w, int h) {
    if (kind == MediaKind::Movie)
        DrawMovie(g, w, h);
    else
        DrawMusic(g, w, h);
}

// The frame, then the nearly opaque dark area the video sits on.
void MediaItem::DrawMovie(Gdiplus::Graphics& g, int w, int h) {
    SkinPiece pieces[kMovieFramePieces];
    MovieFrame(w, h, pieces);
    for (const SkinPiece& p : pieces) DrawPiece(g, Skin(p.resource), p.rect);
    MediaRectF dark = MovieDarkArea(w, h);
    Gdiplus::SolidBrush brush(Gdiplus::Color(250, 0, 0, 0));
    g.FillRectangle(&brush, Gdiplus::RectF(dark.x, dark.y, dark.w, dark.h));
}

// The card, the disc, its highlight and the file name. The disc is drawn a quarter turn further
// after each drawing, so the half-second renders while playing make it spin.
void MediaItem::DrawMusic(Gdiplus::Graphics& g, int w, int h) {
    if (scaled.w != w || scaled.h != h) {
        scaled = ScaledCard{};
        scaled.w = w;
        scaled.h = h;
        MediaRect s = MusicHighlight(w, h);
        scaled.card = Prescaled(Skin(IDP_MUSIC_CARD), w, h, true);
        scaled.highlight = Prescaled(Skin(IDP_MUSIC_HIGHLIGHT), s.Width(), s.Height(), false);
    }
    if (scaled.card) g.DrawImage(scaled.card.get(), 0, 0);
    Gdiplus::Image* disc = Skin(IDP_MUSIC_DISC);
    if (disc) {
        MediaRect d = MusicDisc(w, h);
        GdipPtr<Gdiplus::Bitmap>& turned = scaled.disc[discTurns % 4];
        if (!turned) {
            // The shared picture stays as it is; each card turns its own scaled copies.
            turned = Prescaled(disc, d.Width(), d.Height(), false);
            const Gdiplus::RotateFlipType quarter[4] = {Gdiplus::RotateNoneFlipNone, Gdiplus::Rotate90FlipNone,
                                                        Gdiplus::Rotate180FlipNone, Gdiplus::Rotate270FlipNone};
            if (turned && discTurns % 4) turned->RotateFlip(quarter[discTurns % 4]);
        }
        if (turned) g.DrawImage(turned.get(), d.left, d.top);
    }
    if (scaled.highlight) {
        MediaRect s = MusicHighlight(w, h);
        g.DrawImage(scaled.highlight.get(), s.left, s.top);
    }
    if (disc) discTurns++;
    std::wstring name = Utf8ToWide(FileNamePart(host ? host->GetPath().c_str() : ""));
    if (name.empty()) return;
    Gdiplus::FontFamily family(L"Microsoft Sans Serif");
    Gdiplus::Font font(&family, 8.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    Gdiplus::SolidBrush brush(Gdiplus::Color(150, 0, 0, 0));
    Gdiplus::StringFormat format(0, 0);
    format.SetTrimming(Gdiplus::StringTrimmingNone);
    MediaRectF a = MusicTitleArea(w, h);
    g.DrawString(name.c_str(), -1, &font, Gdiplus::RectF(a.x, a.y, a.w, a.h), &format, &brush);
}

// Draw at the new size first, then bring the satellites along.
void MediaItem::OnSized() {
    Render();
    Layout();
}

void MediaItem::Layout() {
    if (!hwnd) return;
    RECT wr = WindowRect();
    MediaLayoutResult out =
        sona::Layout(kind, MediaRect{wr.left, wr.top, wr.right, wr.bottom}, videoWidth, videoHeight);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int first = kind == MediaKind::Movie ? 0 : 4;
    if (buttons[first].hwnd) {
        for (int i = 0; i < out.buttonCount; i++) {
            const MediaRect& b = out.buttons[i];
            if (buttons[first + i].hwnd)
                SetWindowPos(buttons[first + i].hwnd, nullptr, b.left, b.top, b.Width(), b.Height(), flags);
        }
    }
    if (kind == MediaKind::Movie && positionSlider && positionSlider->hwnd) {
        const MediaRect& p = out.positionSlider;
        SetWindowPos(positionSlider->hwnd, nullptr, p.left, p.top, p.Width(), p.Height(), flags);
        const MediaRect& v = out.volumeSlider;
        if (volumeSlider && volumeSlider->hwnd)
            SetWindowPos(volumeSlider->hwnd, nullptr, v.left, v.top, v.Width(), v.Height(), flags);
    }
    if (kind == MediaKind::Movie && host && host->hwnd) {
        const MediaRect& h = out.host;
        SetWindowPos(host->hwnd, hwnd, h.left, h.top, h.Width(), h.Height(), flags);
    }
}

void MediaItem::ShowPlayLook() {
    playImage = IDP_MOVIE_PLAY;
    playTooltip = "Play";
    buttons[kPlaySlot].SetImages(IDP_MOVIE_PLAY, IDP_MOVIE_PLAY_HOVER, IDP_MOVIE_PLAY, IDP_MOVIE_PLAY);
    buttons[kPlaySlot].SetTooltip("Play");
}

void MediaItem::ShowPauseLook() {
    playImage = IDP_MOVIE_PAUSE;
    playTooltip = "Pause";
    buttons[kPlaySlot].SetImages(IDP_MOVIE_PAUSE, IDP_MOVIE_PAUSE_HOVER, IDP_MOVIE_PAUSE, IDP_MOVIE_PAUSE);
    buttons[kPlaySlot].SetTooltip("Pause");
}

// Playing or paused: toggle. Stopped: open the file again from its start; the position slider
// then counts the file's length in tenths of a second.
void MediaItem::MoviePlayPause() {
    if (!host) return;
    if (host->GetState() != PlayState::Stopped) {
        host->TogglePause();
        if (host->GetState() == PlayState::Paused)
            ShowPlayLook();
        else
            ShowPauseLook();
        return;
    }
    if (!host->Reopen()) return;
    if (positionSlider) {
        positionSlider->SetRange(PositionRangeFor(host->GetDuration()));
        if (positionSlider->hwnd) InvalidateRect(positionSlider->hwnd, nullptr, TRUE);
    }
    ShowPauseLook();
}

void MediaItem::MovieStop() {
    ShowPlayLook();
    if (host) host->Stop();
    Render();
}

bool MediaItem::OnItemCommand(UINT id) {
    switch (id) {
    case ID_MEDIA_PLAYPAUSE:
    case IDC_MOVIE_PLAY:
        MoviePlayPause();
        return true;
    case ID_MEDIA_STOP:
    case IDC_MOVIE_STOP:
        MovieStop();
        return true;
    case ID_MEDIA_MUTE:
    case IDC_MOVIE_MUTE:
        if (!host) return true;
        host->ToggleMute();
        if (!host->IsMuted()) {
            muteImage = IDP_MOVIE_MUTE;
            muteTooltip = "Mute";
            buttons[kMuteSlot].SetImages(IDP_MOVIE_MUTE, IDP_MOVIE_MUTE_HOVER, IDP_MOVIE_MUTE, IDP_MOVIE_MUTE);
            buttons[kMuteSlot].SetTooltip("Mute");
        } else {
            muteImage = IDP_MOVIE_MUTED;
            muteTooltip = "Voice";
            buttons[kMuteSlot].SetImages(IDP_MOVIE_MUTED, IDP_MOVIE_MUTED_HOVER, IDP_MOVIE_MUTED, IDP_MOVIE_MUTED);
            buttons[kMuteSlot].SetTooltip("Voice");
        }
        return true;
    case ID_MEDIA_FULLSCREEN:
    case IDC_MOVIE_FULLSCREEN:
        // The click that just left full screen also reaches the button under it; it must not
        // go straight back in. Leaving is done by a click or Esc, never by this command.
        if (fullScreenClickGuard) {
            fullScreenClickGuard = FALSE;
            return true;
        }
        if (host && !host->IsFullScreen()) host->ToggleFullScreen();
        return true;
    case ID_MUSIC_PLAY:
    case IDC_MUSIC_PLAY:
        if (host) host->Reopen();
        return true;
    case ID_MUSIC_PAUSE:
    case IDC_MUSIC_PAUSE:
        if (host) host->TogglePause();
        return true;
    case ID_MUSIC_STOP:
    case IDC_MUSIC_STOP:
        if (host) host->Stop();
        return true;
    }
    return false;
}

// Another file from the kind's Open dialog, playing at once. Of several chosen files only the
// first can be played here. The dialog is owned by the main window, which it disables, so its
// Delete cannot remove this item under its own dialog; the item itself is disabled too, and a
// double-click on its video cannot start a second dialog.
void MediaItem::OpenFile() {
    if (!host || dialogOpen) return;
    dialogOpen = true;
    if (hwnd) EnableWindow(hwnd, FALSE);
    std::vector<std::string> chosen =
        chooseFiles(Owner() ? Owner() : hwnd, OpenDialogFilter(StoreTypeOf(kind)), kOpenDialogFlags);
    dialogOpen = false;
    if (hwnd) EnableWindow(hwnd, TRUE);
    if (chosen.empty()) return;
    if (kind == MediaKind::Movie) {
        if (host->GetState() != PlayState::Stopped) MovieStop();
        host->SetPath(chosen.front().c_str());
        MoviePlayPause();
    } else {
        if (host->GetState() != PlayState::Stopped) host->Stop();
        host->SetPath(chosen.front().c_str());
        host->Reopen();
        Render();
    }
}

// "Play" while paused or stopped, "Pause" while playing; the base adds "Open" and "Remove".
std::vector<ItemMenuEntry> MediaItem::MenuEntries() const {
    bool playing = host && host->GetState() == PlayState::Playing;
    std::vector<ItemMenuEntry> e;
    if (kind == MediaKind::Movie) {
        e.push_back({ID_MEDIA_PLAYPAUSE, playing ? "Pause" : "Play", false});
        e.push_back({ID_MEDIA_STOP, "Stop", false});
        e.push_back({ID_MEDIA_MUTE, "Mute", host && host->IsMuted()});
        e.push_back({ID_MEDIA_FULLSCREEN, "Full Screen", false});
    } else {
        if (playing)
            e.push_back({ID_MUSIC_PAUSE, "Pause", false});
        else
            e.push_back({ID_MUSIC_PLAY, "Play", false});
        e.push_back({ID_MUSIC_STOP, "Stop", false});
    }
    e.push_back({0, nullptr, false});
    return e;
}

// The half-second poll: the slider follows the movie, the disc turns, and a file that has played
// to its end starts again.
void MediaItem::OnTick() {
    fullScreenClickGuard = FALSE;
    if (!host || host->GetState() != PlayState::Playing) return;
    LONGLONG position = host->GetPosition();
    LONGLONG duration = host->GetDuration();
    if (kind == MediaKind::Movie) {
        if (positionSlider && positionSlider->hwnd && !positionSlider->IsDragging())
            positionSlider->SetPos(TenthsOf(position));
        if (ReachedEnd(position, duration)) host->Seek(0);
    } else {
        if (ReachedEnd(position, duration)) host->Seek(0);
        Render();
    }
}

// Leaving full screen takes any click; that click must not also move the item or press a button.
BOOL MediaItem::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_LBUTTONDOWN && host && host->IsFullScreen()) {
        host->ToggleFullScreen();
        fullScreenClickGuard = TRUE;
        return TRUE;
    }
    return LayeredItemWindow::PreTranslateMessage(msg);
}

LRESULT MediaItem::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOVE:
        Layout();
        if (kind == MediaKind::Movie && host && host->VideoWindow()) host->ShiftVideoUp();
        return 0;
    case WM_TIMER:
        if (wp == TIMER_MEDIA_POLL) OnTick();
        return Default();
    case WM_LBUTTONDBLCLK:
        OpenFile();
        return Default();
    case WM_PLAYER_VIDEOSIZE:
        videoWidth = (LONG)wp;
        videoHeight = (LONG)lp;
        SendMessageA(hwnd, WM_SIZE, 0, 0);
        return 0;
    case WM_SLIDER_CHANGED:
        if (!host) return 0;
        if (wp == kPositionSliderId)
            host->Seek((LONGLONG)(int32_t)lp * 1000000);
        else if (wp == kVolumeSliderId)
            host->SetVolume((int)lp);
        return 0;
    }
    return LayeredItemWindow::WndProc(msg, wp, lp);
}

// The host's path is what the desk keeps of a media item (with the rectangle, written by the
// caller).
void MediaItem::WriteRecord(const RecordView& record) const {
    MediaItemRecord* rec = record.media();
    if (!rec) return;
    // The path and its end only: the bytes after it are the record's own and go back as read.
    // The field gets a name that cannot mislead; the main window keeps the full path beside it.
    if (host) {
        bool exact = false;
        std::string field = AnsiPathField(host->GetPath(), &exact);
        SetPathField(rec->path, field.c_str(), field.size());
    }
}

bool MediaItem::FullText(std::string* out) const {
    if (!host) return false;
    *out = host->GetPath();
    return !out->empty();
}

// Deleting an item does not stop its player; its owner does it here first.
void MediaItem::StopIfPlaying() {
    if (host && (host->GetState() == PlayState::Playing || host->GetState() == PlayState::Paused)) host->Stop();
}

std::unique_ptr<MediaItem> CreateMediaItem(MediaKind kind, const RECT& rect, HWND owner, const std::string& path) {
    auto item = std::make_unique<MediaItem>();
    item->SetKind(kind);
    if (item->Create(rect, owner, 0)) item->SetFile(path);
    return item;
}

}  // namespace sona
