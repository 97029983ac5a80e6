#include "items/MediaItem.h"

#include <cstring>
#include <map>

#include "items/ItemIds.h"
#include "items/MediaFileTypes.h"
#include <commctrl.h>

#include "platform/CommonDialogs.h"
#include "platform/FileNames.h"
#include "platform/Text.h"
#include "platform/Tooltip.h"
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
    RemoveTips();
    host.reset();
    positionSlider.reset();
    volumeSlider.reset();
}

// The buttons' tips leave the shared tooltip with the window, however it goes.
void MediaItem::RemoveTips() {
    if (!toolsAdded || !hwnd) return;
    for (const CardButton& b : buttons)
        if (b.shown) Tooltip::Shared().RemoveTool(hwnd, b.id);
    toolsAdded = false;
}

// The window first; then the host (its window comes when the file first plays), the sliders and
// buttons as parts of the picture, the timer and a first layout through WM_SIZE.
BOOL MediaItem::Create(const RECT& rect, HWND ownerWindow, UINT id) {
    videoWidth = kDefaultVideoWidth;
    videoHeight = kDefaultVideoHeight;
    host = std::make_unique<MediaPlayerHost>();
    // A music card never shows its sliders.
    bool slidersShown = kind == MediaKind::Movie;
    positionSlider = std::make_unique<CardSlider>();
    positionSlider->id = kPositionSliderId;
    positionSlider->shown = slidersShown;
    positionSlider->SetTooltip(true);
    volumeSlider = std::make_unique<CardSlider>();
    volumeSlider->id = kVolumeSliderId;
    volumeSlider->shown = slidersShown;
    volumeSlider->SetTooltip(true);
    volumeSlider->SetRange(100);
    volumeSlider->SetPos(100);

    const ButtonSpec* specs = kind == MediaKind::Movie ? kMovieButtons : kMusicButtons;
    int count = kind == MediaKind::Movie ? 4 : 3;
    for (int i = 0; i < count; i++) {
        CardButton& b = buttons[specs[i].slot];
        b.id = specs[i].id;
        b.shown = true;
        b.tooltip = specs[i].tooltip;
        b.normal = specs[i].normal;
        b.hover = specs[i].hover;
        b.pressed = specs[i].pressed;
        b.disabled = specs[i].disabled;
    }
    if (kind == MediaKind::Movie) {
        playImage = IDP_MOVIE_PLAY;
        playTooltip = "Play";
        muteImage = IDP_MOVIE_MUTE;
        muteTooltip = "Mute";
    }

    if (!LayeredItemWindow::Create(rect, ownerWindow, id)) return FALSE;
    // Each button's tip is a rectangle of the card in the tooltip the program shares.
    for (int i = 0; i < count; i++) {
        const CardButton& b = buttons[specs[i].slot];
        Tooltip::Shared().AddTool(hwnd, b.id, b.rect, b.tooltip);
    }
    toolsAdded = true;
    // The WM_SIZE of the window's creation has laid the parts out before the first picture.
    if (IsRectEmpty(&buttons[specs[0].slot].rect)) SendMessageA(hwnd, WM_SIZE, 0, 0);
    return TRUE;
}

// The host's window comes with the first play: until then the card is a single window. It is
// made where Layout puts it, as the popup over the card it always was.
void MediaItem::EnsureHostWindow() {
    if (!host || host->hwnd || !hwnd) return;
    host->Create(RECT{0, 0, 0, 0}, hwnd);
    Layout();
    // The half-second poll has nothing to do before: a desk of a thousand idle cards sends no
    // timer messages at all.
    SetTimer(hwnd, TIMER_MEDIA_POLL, kMediaPollMs, nullptr);
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
    DrawParts(g);
}

// The sliders and buttons over the card, where their windows used to float.
void MediaItem::DrawParts(Gdiplus::Graphics& g) {
    if (positionSlider) positionSlider->Draw(g);
    if (volumeSlider) volumeSlider->Draw(g);
    for (const CardButton& b : buttons) b.Draw(g);
}

// The frame, then the nearly opaque dark area the video sits on.
void MediaItem::DrawMovie(Gdiplus::Graphics& g, int w, int h) {
    SkinPiece pieces[kMovieFramePieces];
    MovieFrame(w, h, pieces);
    for (const SkinPiece& p : pieces) DrawPiece(g, Skin(p.resource), p.rect);
    MediaRectF dark = MovieDarkArea(w, h);
    Gdiplus::SolidBrush brush(Gdiplus::Color(250, 0, 0, 0));
    g.FillRectangle(&brush, Gdiplus::RectF(dark.x, dark.y, dark.w, dark.h));
    // The stopped player shows black over its video area; the card shows it until the player
    // has a window of its own to lie there.
    if (hostRect.right > hostRect.left && hostRect.bottom > hostRect.top) {
        Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
        g.FillRectangle(&black, (INT)hostRect.left, (INT)hostRect.top, (INT)(hostRect.right - hostRect.left),
                        (INT)(hostRect.bottom - hostRect.top));
    }
}

namespace {

// The music card's pictures scaled to one card size, shared by every card of that size. Wine's
// GDI+ spends some 27 ms scaling them, twice a second while a song plays and once for every new
// card, against about 1 ms for drawing them 1:1. The disc is kept per quarter turn. Cards are of
// a few sizes only (they cannot be resized); an unusual number of sizes starts the cache afresh.
struct ScaledCard {
    GdipPtr<Gdiplus::Bitmap> card, highlight, disc[4];
};

ScaledCard& ScaledCardFor(int w, int h) {
    // Kept past GDI+'s shutdown on purpose, as the shared skins are.
    static auto* cache = new std::map<std::pair<int, int>, ScaledCard>;
    if (cache->size() >= 16 && !cache->count({w, h})) cache->clear();
    return (*cache)[{w, h}];
}

}  // namespace

// The card, the disc, its highlight and the file name. The disc is drawn a quarter turn further
// at each drawing, so the half-second renders while playing make it spin.
void MediaItem::DrawMusic(Gdiplus::Graphics& g, int w, int h) {
    ScaledCard& scaled = ScaledCardFor(w, h);
    if (!scaled.card) {
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

// The parts take their places at the new size, then the card is drawn with them (during
// creation the first picture comes right after).
void MediaItem::OnSized() {
    Layout();
    if (!InCreate()) Render();
}

void MediaItem::Layout() {
    if (!hwnd) return;
    RECT wr = WindowRect();
    MediaLayoutResult out =
        sona::Layout(kind, MediaRect{wr.left, wr.top, wr.right, wr.bottom}, videoWidth, videoHeight);
    auto local = [&](const MediaRect& r) {
        return RECT{r.left - wr.left, r.top - wr.top, r.right - wr.left, r.bottom - wr.top};
    };
    // The parts are in client coordinates: only a change of size moves them, and the size
    // change draws the card again right after.
    int first = kind == MediaKind::Movie ? 0 : 4;
    for (int i = 0; i < out.buttonCount; i++) {
        CardButton& b = buttons[first + i];
        RECT r = local(out.buttons[i]);
        if (!b.shown || EqualRect(&r, &b.rect)) continue;
        b.rect = r;
        if (toolsAdded) Tooltip::Shared().SetToolRect(hwnd, b.id, b.rect);
    }
    if (kind == MediaKind::Movie && positionSlider && volumeSlider) {
        positionSlider->rect = local(out.positionSlider);
        volumeSlider->rect = local(out.volumeSlider);
    }
    if (kind == MediaKind::Movie) {
        hostRect = local(out.host);
        if (host && host->hwnd) {
            const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
            SetWindowPos(host->hwnd, hwnd, out.host.left, out.host.top, out.host.Width(), out.host.Height(), flags);
        }
    }
}

// A button's images and tip change with its action (Play/Pause, Mute/Voice).
void MediaItem::SetButtonLook(int slot, UINT normal, UINT hover, const char* tooltip) {
    CardButton& b = buttons[slot];
    b.normal = b.pressed = b.disabled = normal;
    b.hover = hover;
    b.tooltip = tooltip;
    if (toolsAdded && hwnd && b.shown) Tooltip::Shared().UpdateText(hwnd, b.id, tooltip);
    Render();
}

void MediaItem::ShowPlayLook() {
    playImage = IDP_MOVIE_PLAY;
    playTooltip = "Play";
    SetButtonLook(kPlaySlot, IDP_MOVIE_PLAY, IDP_MOVIE_PLAY_HOVER, "Play");
}

void MediaItem::ShowPauseLook() {
    playImage = IDP_MOVIE_PAUSE;
    playTooltip = "Pause";
    SetButtonLook(kPlaySlot, IDP_MOVIE_PAUSE, IDP_MOVIE_PAUSE_HOVER, "Pause");
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
    EnsureHostWindow();
    if (!host->Reopen()) return;
    if (positionSlider) positionSlider->SetRange(PositionRangeFor(host->GetDuration()));
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
            SetButtonLook(kMuteSlot, IDP_MOVIE_MUTE, IDP_MOVIE_MUTE_HOVER, "Mute");
        } else {
            muteImage = IDP_MOVIE_MUTED;
            muteTooltip = "Voice";
            SetButtonLook(kMuteSlot, IDP_MOVIE_MUTED, IDP_MOVIE_MUTED_HOVER, "Voice");
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
        EnsureHostWindow();
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
        EnsureHostWindow();
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
        if (positionSlider && !positionSlider->IsDragging()) {
            int tenths = (int)TenthsOf(position);
            bool same = positionSlider->LooksSame(tenths);
            positionSlider->SetPos(tenths);
            if (!same) Render();
        }
        if (ReachedEnd(position, duration)) host->Seek(0);
    } else {
        if (ReachedEnd(position, duration)) host->Seek(0);
        Render();
    }
}

// Leaving full screen takes any click; that click must not also move the item or press a button.
// The buttons' tips see the card's mouse messages through the relay.
BOOL MediaItem::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_LBUTTONDOWN && host && host->IsFullScreen()) {
        host->ToggleFullScreen();
        fullScreenClickGuard = TRUE;
        return TRUE;
    }
    if (msg->hwnd == hwnd && msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST)
        Tooltip::Shared().RelayEvent(msg);
    return LayeredItemWindow::PreTranslateMessage(msg);
}

// The pointer has left the part it was over (or the card): hover and tracking end there.
void MediaItem::LeaveParts() {
    bool redraw = false;
    if (hotPart >= 0 && hotPart < 7) {
        CardButton& b = buttons[hotPart];
        if (b.state != kStateDisabled && b.state != kStateNormal) redraw = true;
        if (b.state != kStateDisabled) b.state = kStateNormal;
        b.tracking = false;
    } else if (hotPart == kPositionPart && positionSlider) {
        redraw = positionSlider->OnLeave();
    } else if (hotPart == kVolumePart && volumeSlider) {
        redraw = volumeSlider->OnLeave();
    }
    hotPart = -1;
    if (redraw) Render();
}

// The buttons and sliders take the mouse over their own rectangles (and a dragged slider takes
// it everywhere); elsewhere the card moves and sizes as every item does.
bool MediaItem::OnPartMouse(UINT msg, WPARAM wp, LPARAM lp) {
    (void)wp;
    POINT p{(short)LOWORD(lp), (short)HIWORD(lp)};
    CardSlider* dragged = positionSlider && positionSlider->IsDragging() ? positionSlider.get()
                          : volumeSlider && volumeSlider->IsDragging() ? volumeSlider.get()
                                                                       : nullptr;
    if (msg == WM_MOUSELEAVE) {
        leaveRequested = false;
        if (!dragged) LeaveParts();
        return true;
    }
    if (msg == WM_CAPTURECHANGED) {
        if (dragged && (HWND)lp != hwnd) {
            dragged->OnCaptureLost();
            Render();
        }
        return false;
    }
    if (dragged) {
        bool redraw = false;
        if (msg == WM_MOUSEMOVE) redraw = dragged->OnMouseMove(hwnd, p);
        if (msg == WM_LBUTTONUP) redraw = dragged->OnButtonUp(hwnd);
        if (redraw) Render();
        return msg == WM_MOUSEMOVE || msg == WM_LBUTTONUP || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK;
    }
    int part = -1;
    for (int i = 0; i < 7 && part < 0; i++)
        if (buttons[i].Contains(p)) part = i;
    if (part < 0 && positionSlider && positionSlider->Contains(p)) part = kPositionPart;
    if (part < 0 && volumeSlider && volumeSlider->Contains(p)) part = kVolumePart;
    if (msg == WM_MOUSEMOVE && part != hotPart) {
        LeaveParts();
        hotPart = part;
    }
    if (part >= 0 && !leaveRequested) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd, 0};
        leaveRequested = _TrackMouseEvent(&tme) != FALSE;
    }
    if (part < 0) return false;
    CardSlider* slider = part == kPositionPart ? positionSlider.get() : part == kVolumePart ? volumeSlider.get() : nullptr;
    if (slider) {
        bool redraw = false;
        switch (msg) {
        case WM_MOUSEMOVE: redraw = slider->OnMouseMove(hwnd, p); break;
        case WM_LBUTTONDOWN: redraw = slider->OnButtonDown(hwnd, p); break;
        case WM_LBUTTONUP: redraw = slider->OnButtonUp(hwnd); break;
        default: break;
        }
        if (redraw) Render();
        return true;
    }
    CardButton& b = buttons[part];
    if (b.state == kStateDisabled) return true;
    switch (msg) {
    case WM_MOUSEMOVE:
        if (!b.tracking) {
            b.tracking = true;
            b.state = kStateHover;
            Render();
        }
        break;
    case WM_LBUTTONDOWN:
        b.state = kStatePressed;
        Render();
        break;
    case WM_LBUTTONUP: {
        // The release alone clicks, wherever the press was. The command may change the look.
        b.state = kStateNormal;
        UINT id = b.id;
        HWND self = hwnd;
        SendMessageA(self, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        if (::IsWindow(self)) Render();
        break;
    }
    default:
        // A second click in quick succession is no double-click of the card (no file dialog).
        break;
    }
    return true;
}

LRESULT MediaItem::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSELEAVE:
    case WM_CAPTURECHANGED:
        if (OnPartMouse(msg, wp, lp)) return 0;
        if (msg == WM_MOUSELEAVE) return 0;
        break;
    }
    switch (msg) {
    case WM_DESTROY:
        RemoveTips();
        break;
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
