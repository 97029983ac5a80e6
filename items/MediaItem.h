// A music or movie file on a desk, played in place. A movie is a resizable framed player with
// its video, four buttons and position and volume sliders, and goes full screen; music is a
// fixed card with a turning disc, the file name and three buttons. The buttons and sliders are
// parts of the item's own picture; the player host is a popup over the video area, made when the
// file first plays.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "controls/SkinSlider.h"
#include "items/CardParts.h"
#include "items/LayeredItemWindow.h"
#include "items/MediaLayout.h"
#include "items/MediaPlayerHost.h"

// The media item's buttons.
#define IDC_MOVIE_PLAY 10014
#define IDC_MOVIE_STOP 10016
#define IDC_MOVIE_FULLSCREEN 10017
#define IDC_MOVIE_MUTE 10018
#define IDC_MUSIC_PLAY 10019
#define IDC_MUSIC_PAUSE 10020
#define IDC_MUSIC_STOP 10021

namespace sona {

class MediaItem : public LayeredItemWindow {
public:
    // Ids of the two sliders, as they report in WM_SLIDER_CHANGED.
    enum { kPositionSliderId = 0, kVolumeSliderId = 1 };
    // Smallest movie the sizing loop allows.
    static constexpr int kMinMovieWidth = 320;
    static constexpr int kMinMovieHeight = 260;

    MediaItem() = default;
    ~MediaItem() override;

    // Movie unless told otherwise before Create.
    void SetKind(MediaKind k) { kind = k; }
    MediaKind Kind() const { return kind; }

    // The window (LayeredItemWindow::Create), then the host, sliders, buttons and timer.
    BOOL Create(const RECT& rect, HWND owner, UINT id);
    // Gives the host its file and draws; nothing is opened or played.
    void SetFile(const std::string& path);
    // "Open" and double-click: another file from the dialog, played at once.
    void OpenFile();
    // Puts the buttons, sliders and the host where the window now is.
    void Layout();
    // The player host's place over the video area (client coordinates; empty for music).
    RECT HostRect() const { return hostRect; }

    // Shows the Open dialog; tests put their own chooser here. Returns every chosen path.
    using FileChooser = std::vector<std::string> (*)(HWND owner, const char* filter, DWORD flags);
    static FileChooser chooseFiles;

    uint32_t ItemType() const override { return kind == MediaKind::Movie ? kItemMovie : kItemMusic; }
    void WriteRecord(const RecordView& record) const override;
    bool FullText(std::string* out) const override;
    void StopIfPlaying() override;

    // What the tests and the main window look at.
    MediaPlayerHost* Host() const { return host.get(); }
    CardSlider* PositionSlider() const { return positionSlider.get(); }
    CardSlider* VolumeSlider() const { return volumeSlider.get(); }
    // Movie: 0 play/pause, 1 stop, 2 mute, 3 full screen. Music: 4 play, 5 pause, 6 stop.
    const CardButton& Button(int i) const { return buttons[i]; }
    SIZE VideoSize() const { return SIZE{videoWidth, videoHeight}; }
    BOOL FullScreenClickGuard() const { return fullScreenClickGuard; }
    // Resource ids of the play/pause and mute buttons' current normal images.
    UINT PlayButtonImage() const { return playImage; }
    UINT MuteButtonImage() const { return muteImage; }
    const char* PlayButtonTooltip() const { return playTooltip; }
    const char* MuteButtonTooltip() const { return muteTooltip; }
    // How many quarter turns the disc has made; the next render turns it once more.
    unsigned DiscTurns() const { return discTurns; }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DrawContent(Gdiplus::Graphics& g, int w, int h) override;
    void LoadSkins() override;
    std::vector<ItemMenuEntry> MenuEntries() const override;
    void OnEditCommand() override { OpenFile(); }
    bool OnItemCommand(UINT id) override;
    bool IsResizable() const override { return kind == MediaKind::Movie; }
    SIZE MinimumSize() const override { return SIZE{kMinMovieWidth, kMinMovieHeight}; }
    void OnSized() override;

private:
    void DrawMovie(Gdiplus::Graphics& g, int w, int h);
    void DrawMusic(Gdiplus::Graphics& g, int w, int h);
    void MoviePlayPause();
    void MovieStop();
    void ShowPlayLook();
    void ShowPauseLook();
    void OnTick();
    Gdiplus::Image* Skin(UINT id) const;
    // The host's window, made when the file is first played (a card that never plays has none).
    void EnsureHostWindow();
    void SetButtonLook(int slot, UINT normal, UINT hover, const char* tooltip);
    // Mouse messages over the buttons and sliders; true when the part took the message.
    bool OnPartMouse(UINT msg, WPARAM wp, LPARAM lp);
    void LeaveParts();
    void RemoveTips();
    void DrawParts(Gdiplus::Graphics& g);

    MediaKind kind = MediaKind::Movie;
    std::unique_ptr<MediaPlayerHost> host;
    std::unique_ptr<CardSlider> positionSlider, volumeSlider;
    CardButton buttons[7];
    enum { kPositionPart = 100, kVolumePart = 101 };
    RECT hostRect{};
    // The part under the pointer (a button slot, kPositionPart, kVolumePart or -1), and whether
    // the card asked to hear when the pointer leaves it.
    int hotPart = -1;
    bool leaveRequested = false;
    bool toolsAdded = false;
    LONG videoWidth = kDefaultVideoWidth, videoHeight = kDefaultVideoHeight;
    BOOL fullScreenClickGuard = FALSE;
    // True while OpenFile's dialog runs.
    bool dialogOpen = false;
    UINT playImage = 0, muteImage = 0;
    const char* playTooltip = "";
    const char* muteTooltip = "";
    unsigned discTurns = 0;
};

// A new media item of `kind` at `rect` (screen coordinates) owned by `owner`, holding `path`, as
// the import commands and desk loading make them. The item comes back even when its window could
// not be made (ItemWindow() is then null).
std::unique_ptr<MediaItem> CreateMediaItem(MediaKind kind, const RECT& rect, HWND owner, const std::string& path);

}  // namespace sona
