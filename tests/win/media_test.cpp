// The player host over Wine's real DirectShow, with media made by tests/media/make-media.sh.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/ItemDispatch.h"
#include "items/ItemIds.h"
#include "items/MediaItem.h"
#include "items/MediaPlayerHost.h"
#include <commctrl.h>

#include "platform/App.h"
#include "platform/Tooltip.h"
#include "platform/Window.h"

namespace sona {
namespace {

// The folder of this test exe, with a trailing backslash.
std::string ExeFolder() {
    char buf[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string s(buf);
    return s.substr(0, s.rfind('\\') + 1);
}

// The Unix form of a Windows path (Wine's own conversion), or empty outside Wine.
std::string UnixPath(const std::string& dos) {
    typedef char*(CDECL * ToUnix)(LPCWSTR);
    auto toUnix = (ToUnix)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!toUnix) return std::string();
    std::wstring w(dos.begin(), dos.end());
    char* u = toUnix(w.c_str());
    if (!u) return std::string();
    std::string out(u);
    HeapFree(GetProcessHeap(), 0, u);
    return out;
}

bool Exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The build folder's media/, made on first use by the shell script (Wine runs Unix programs).
std::string MediaFolder() {
    static std::string folder;
    if (!folder.empty()) return folder;
    std::string dir = ExeFolder() + "..\\media\\";
    if (!Exists(dir + ".ready")) {
        char root[MAX_PATH] = {};
        std::string script;
        if (GetEnvironmentVariableA("SONADESK_ROOT", root, MAX_PATH)) script = std::string(root) + "/tests/media/make-media.sh";
        else script = UnixPath(ExeFolder() + "..\\..\\tests\\media\\make-media.sh");
        CreateDirectoryA(dir.c_str(), nullptr);
        std::string cmd = "Z:\\bin\\sh \"" + script + "\" \"" + UnixPath(dir) + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back(0);
        if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            WaitForSingleObject(pi.hProcess, 60000);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
        // The Unix child's end is not always seen as the process's end; wait for its mark.
        for (int i = 0; i < 300 && !Exists(dir + ".ready"); i++) Sleep(100);
    }
    folder = dir;
    return folder;
}

std::string Media(const char* name) { return MediaFolder() + name; }

// Runs the thread's messages for `ms` milliseconds through the same filter chain the program's
// loop uses, so the host's input forwarding is exercised.
void Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    do {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (Application::FilterMessage(&m)) continue;
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(10);
    } while ((LONG)(GetTickCount() - end) < 0);
}

// Runs a message through the program's filter chain at once, as the loop would before dispatch.
BOOL Filter(HWND target, UINT msg, WPARAM wp, LPARAM lp) {
    MSG m{target, msg, wp, lp, GetTickCount(), {0, 0}};
    GetCursorPos(&m.pt);
    return Application::FilterMessage(&m);
}

// Stands in for the media item: records what the host sends it.
class FakeItem : public Window {
public:
    struct Seen {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };
    std::vector<Seen> seen;

    bool Make() {
        const char* cls = RegisterWindowClass(CS_DBLCLKS, LoadCursorA(nullptr, IDC_ARROW));
        return CreateEx(WS_EX_TOOLWINDOW, cls, "", WS_POPUP | WS_VISIBLE, 100, 100, 400, 320, nullptr, 0);
    }
    int Count(UINT msg) const {
        int n = 0;
        for (auto& s : seen) n += s.msg == msg;
        return n;
    }
    const Seen* Last(UINT msg) const {
        for (auto it = seen.rbegin(); it != seen.rend(); ++it)
            if (it->msg == msg) return &*it;
        return nullptr;
    }
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_PLAYER_VIDEOSIZE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_CONTEXTMENU) {
            seen.push_back({msg, wp, lp});
            return 0;
        }
        return Default();
    }
};

// A fresh host per test under one stand-in item for the suite (each window Wine destroys under
// Xvfb without a window manager costs it 2 s).
class MediaHostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        shared = new FakeItem;
        shared->Make();
    }
    static void TearDownTestSuite() { delete shared; }
    void SetUp() override {
        ASSERT_NE(shared->hwnd, nullptr);
        shared->seen.clear();
        RECT r{120, 120, 440, 360};
        ASSERT_TRUE(host.Create(r, item.hwnd));
    }
    long Volume() {
        long v = 12345;
        if (host.Audio()) host.Audio()->get_Volume(&v);
        return v;
    }
    static FakeItem* shared;
    FakeItem& item = *shared;
    MediaPlayerHost host;
};
FakeItem* MediaHostTest::shared = nullptr;

TEST_F(MediaHostTest, AudioOnlyVolumeMutePositionAndStop) {
    host.SetPath(Media("tone.wav").c_str());
    EXPECT_EQ(host.GetState(), PlayState::Stopped);
    ASSERT_TRUE(host.Reopen());
    EXPECT_EQ(host.GetState(), PlayState::Playing);
    EXPECT_TRUE(host.HasNoVideo());
    EXPECT_EQ(item.Count(WM_PLAYER_VIDEOSIZE), 0);
    EXPECT_EQ(host.ToggleFullScreen(), 0);
    EXPECT_FALSE(host.IsFullScreen());

    // Unmuting before the slider ever moved gives back full volume.
    EXPECT_EQ(host.ToggleMute(), 1);
    EXPECT_TRUE(host.IsMuted());
    EXPECT_EQ(Volume(), -10000);
    host.ToggleMute();
    EXPECT_FALSE(host.IsMuted());
    EXPECT_EQ(Volume(), 0);

    host.SetVolume(100);
    EXPECT_EQ(Volume(), 0);
    host.SetVolume(50);
    EXPECT_EQ(Volume(), -2500);
    host.SetVolume(0);
    EXPECT_EQ(Volume(), -5000);
    host.ToggleMute();
    EXPECT_EQ(Volume(), -10000);
    host.ToggleMute();
    EXPECT_EQ(Volume(), -5000);

    LONGLONG d = host.GetDuration();
    EXPECT_NEAR((double)d, 30000000.0, 1000000.0);
    LONGLONG p0 = host.GetPosition();
    Pump(800);
    LONGLONG p1 = host.GetPosition();
    EXPECT_GT(p1, p0 + 3000000);

    host.TogglePause();
    EXPECT_EQ(host.GetState(), PlayState::Paused);
    host.TogglePause();
    EXPECT_EQ(host.GetState(), PlayState::Playing);

    host.Stop();
    EXPECT_EQ(host.GetState(), PlayState::Stopped);
    EXPECT_FALSE(host.HasGraph());
    EXPECT_EQ(host.GetDuration(), -1);
    EXPECT_EQ(host.GetPosition(), 0);
    EXPECT_EQ(host.ToggleMute(), 0);
}

TEST_F(MediaHostTest, AudioAtItsEndStartsAgainFromASeekToZero) {
    host.SetPath(Media("loop.wav").c_str());
    ASSERT_TRUE(host.Reopen());
    LONGLONG d = host.GetDuration();
    Pump(2000);
    EXPECT_GE(host.GetPosition(), d);
    host.Seek(0);
    Pump(500);
    LONGLONG p = host.GetPosition();
    EXPECT_GT(p, 0);
    EXPECT_LT(p, d);
    host.Stop();
}

TEST_F(MediaHostTest, VideoAnnouncesItsSizeSeeksSafelyAndGoesFullScreen) {
    host.SetPath(Media("clip.avi").c_str());
    ASSERT_TRUE(host.Reopen());
    EXPECT_FALSE(host.HasNoVideo());
    const FakeItem::Seen* size = item.Last(WM_PLAYER_VIDEOSIZE);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->wp, 320u);
    EXPECT_EQ(size->lp, 240);
    OAHWND ownerOfVideo = 0;
    ASSERT_NE(host.VideoWindow(), nullptr);
    host.VideoWindow()->get_Owner(&ownerOfVideo);
    EXPECT_EQ((HWND)ownerOfVideo, host.hwnd);

    Pump(600);
    // A seek on the running graph: Wine would hang in the Stop below if it were done in place.
    host.Seek(20000000);
    Pump(300);
    LONGLONG p = host.GetPosition();
    EXPECT_GE(p, 20000000);
    EXPECT_LT(p, 30000000);

    EXPECT_EQ(host.ToggleFullScreen(), 1);
    EXPECT_TRUE(host.IsFullScreen());
    long mode = 0;
    host.VideoWindow()->get_FullScreenMode(&mode);
    EXPECT_EQ(mode, OATRUE);
    // Esc reaching the host leaves full screen; a second one does nothing.
    Filter(host.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(host.IsFullScreen());
    host.VideoWindow()->get_FullScreenMode(&mode);
    EXPECT_EQ(mode, OAFALSE);
    Filter(host.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(host.IsFullScreen());

    // Clicks on the video reach the item at the fixed point; a right click as a context menu.
    PostMessageA(host.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(5, 6));
    PostMessageA(host.hwnd, WM_RBUTTONDOWN, MK_RBUTTON, PackPoint(7, 8));
    Pump(100);
    const FakeItem::Seen* down = item.Last(WM_LBUTTONDOWN);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->wp, 0u);
    EXPECT_EQ(down->lp, PackPoint(100, 100));
    EXPECT_EQ(item.Count(WM_CONTEXTMENU), 1);

    DWORD t0 = GetTickCount();
    host.Stop();
    DWORD took = GetTickCount() - t0;
    EXPECT_FALSE(host.HasGraph());
    EXPECT_EQ(host.GetState(), PlayState::Stopped);
    EXPECT_LT(took, 5000u);
}

TEST_F(MediaHostTest, ReopeningAGoneFileChangesNothing) {
    host.SetPath(Media("tone.wav").c_str());
    ASSERT_TRUE(host.Reopen());
    host.SetPath(Media("no-such-file.wav").c_str());
    EXPECT_FALSE(host.Reopen());
    EXPECT_EQ(host.GetState(), PlayState::Playing);
    EXPECT_TRUE(host.HasGraph());
    // A folder (what a multiple selection gives) exists but does not play.
    host.SetPath(MediaFolder().substr(0, MediaFolder().size() - 1).c_str());
    EXPECT_FALSE(host.Reopen());
    EXPECT_FALSE(host.HasGraph());
    EXPECT_EQ(host.GetState(), PlayState::Playing);
    host.Stop();
    EXPECT_EQ(host.GetState(), PlayState::Stopped);
}

// Pause with no graph (a stopped host) has nothing to pause and must not claim it did.
TEST_F(MediaHostTest, PauseWithoutAGraphDoesNothing) {
    host.SetPath(Media("tone.wav").c_str());
    host.TogglePause();
    EXPECT_EQ(host.GetState(), PlayState::Stopped);
    EXPECT_FALSE(host.HasGraph());
    ASSERT_TRUE(host.Reopen());
    host.Stop();
    host.TogglePause();
    host.TogglePause();
    EXPECT_EQ(host.GetState(), PlayState::Stopped);
    EXPECT_FALSE(host.HasGraph());
}

// Every new graph (Stop then Play, or another file) sounds as the controls say: the remembered
// volume, or silence while muted; the slider moved while muted or stopped is kept for later.
TEST_F(MediaHostTest, EveryNewGraphTakesTheRememberedVolumeAndMute) {
    host.SetPath(Media("tone.wav").c_str());
    // Moved before anything played.
    host.SetVolume(50);
    ASSERT_TRUE(host.Reopen());
    EXPECT_EQ(Volume(), -2500);
    ASSERT_EQ(host.ToggleMute(), 1);
    ASSERT_TRUE(host.IsMuted());

    struct Step {
        const char* what;
        int slider;       // -1: leave the slider alone
        bool reopen;      // a new graph (the item reopens after Stop or Open)
        bool toggleMute;
        bool muted;
        long volume;
    } steps[] = {
        {"stop and play while muted", -1, true, false, true, -10000},
        {"slider while muted stays silent", 80, false, false, true, -10000},
        {"new graph still muted", -1, true, false, true, -10000},
        {"unmute gives the slider's value", -1, false, true, false, -1000},
        {"new graph keeps it", -1, true, false, false, -1000},
        {"slider while playing", 20, false, false, false, -4000},
        {"new graph keeps that", -1, true, false, false, -4000},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.slider >= 0) host.SetVolume(s.slider);
        if (s.reopen) {
            host.Stop();
            ASSERT_TRUE(host.Reopen());
        }
        if (s.toggleMute) host.ToggleMute();
        EXPECT_EQ(host.IsMuted() != FALSE, s.muted);
        EXPECT_EQ(Volume(), s.volume);
    }
    // A file of another kind through Open: the same level.
    host.Stop();
    host.SetPath(Media("tone.mp3").c_str());
    ASSERT_TRUE(host.Reopen());
    EXPECT_EQ(Volume(), -4000);
    // Back to full for the tests that follow on other hosts (each host starts at full anyway).
    host.Stop();
}

// While the item is disabled (its Open dialog is up) the video hands it no input: a menu from
// there could remove the item under its own dialog.
TEST_F(MediaHostTest, DisabledItemGetsNoInputFromTheVideo) {
    EnableWindow(item.hwnd, FALSE);
    PostMessageA(host.hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, PackPoint(5, 6));
    PostMessageA(host.hwnd, WM_RBUTTONDOWN, MK_RBUTTON, PackPoint(7, 8));
    Pump(100);
    EnableWindow(item.hwnd, TRUE);
    EXPECT_EQ(item.Count(WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(item.Count(WM_CONTEXTMENU), 0);
    PostMessageA(host.hwnd, WM_RBUTTONDOWN, MK_RBUTTON, PackPoint(7, 8));
    Pump(100);
    EXPECT_EQ(item.Count(WM_CONTEXTMENU), 1);
}

// Every format the import filters offer, opened once: what plays and whether it shows video.
TEST_F(MediaHostTest, FormatsOfTheFilters) {
    struct Case {
        const char* file;
        bool video;
    } cases[] = {{"tone.mp3", false}, {"tone.wma", false}, {"tune.mid", false},
                 {"clip.mpg", true},  {"clip.wmv", true},  {"mute.avi", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        host.SetPath(Media(c.file).c_str());
        ASSERT_TRUE(host.Reopen());
        EXPECT_EQ(!host.HasNoVideo(), c.video);
        EXPECT_GT(host.GetDuration(), 0);
        Pump(300);
        EXPECT_GT(host.GetPosition(), 0);
        host.Stop();
    }
}

// --- media items ------------------------------------------------------------------------------

// The main window's stand-in: it only has to exist and take the items' selection messages.
class FakeDesk : public Window {
public:
    bool Make() {
        const char* cls = RegisterWindowClass(0, LoadCursorA(nullptr, IDC_ARROW));
        return CreateEx(0, cls, "desk", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, 0);
    }
    // The item that last said it was clicked.
    HWND selected = nullptr;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_DESKITEM_SELECT) selected = (HWND)lp;
        return Window::WndProc(msg, wp, lp);
    }
};

// Relative to the item's window origin.
RECT RelativeTo(HWND item, HWND w) {
    RECT i, r;
    GetWindowRect(item, &i);
    GetWindowRect(w, &r);
    return RECT{r.left - i.left, r.top - i.top, r.right - i.left, r.bottom - i.top};
}

void Command(MediaItem& item, UINT id) { SendMessageA(item.hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// One desk with one movie and one music item for the whole suite. Under Xvfb without a window
// manager Wine waits 2 s for every visible window it destroys, and an item that has played is two.
class MediaItemTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        desk = new FakeDesk;
        desk->Make();
        movie = CreateMediaItem(MediaKind::Movie, RECT{110, 160, 110 + 379, 160 + 350}, desk->hwnd, Media("clip.avi"))
                    .release();
        music = CreateMediaItem(MediaKind::Music, RECT{210, 260, 210 + 260, 260 + 130}, desk->hwnd, Media("loop.wav"))
                    .release();
    }
    static void TearDownTestSuite() {
        delete movie;
        delete music;
        delete desk;
    }
    void SetUp() override {
        ASSERT_NE(movie->ItemWindow(), nullptr);
        ASSERT_NE(music->ItemWindow(), nullptr);
    }
    void TearDown() override {
        movie->StopIfPlaying();
        music->StopIfPlaying();
    }
    static FakeDesk* desk;
    static MediaItem* movie;
    static MediaItem* music;
};
FakeDesk* MediaItemTest::desk = nullptr;
MediaItem* MediaItemTest::movie = nullptr;
MediaItem* MediaItemTest::music = nullptr;

TEST_F(MediaItemTest, MoviePlaysPausesMutesGoesFullScreenAndStops) {
    MediaItem* item = movie;
    movie->SetFile(Media("clip.avi"));
    MediaPlayerHost* host = item->Host();
    // Back to the size a new item assumes before its host announces one.
    SendMessageA(item->hwnd, WM_PLAYER_VIDEOSIZE, 1024, 768);
    // Until it first plays the player has no window: the card keeps its place (and shows it black).
    RECT h = item->HostRect();
    EXPECT_EQ(h.left, 23);
    EXPECT_EQ(h.top, 22);
    EXPECT_EQ(h.right, 355);
    EXPECT_EQ(h.bottom, 270);
    RECT play = item->Button(0).rect;
    EXPECT_EQ(play.left, 18);
    EXPECT_EQ(play.top, 350 - 55);
    EXPECT_EQ(item->PlayButtonImage(), 258u);
    EXPECT_STREQ(item->PlayButtonTooltip(), "Play");
    EXPECT_EQ(host->GetState(), PlayState::Stopped);

    Command(*item, IDC_MOVIE_PLAY);
    EXPECT_EQ(host->GetState(), PlayState::Playing);
    EXPECT_EQ(item->PositionSlider()->GetRange(), 30);
    EXPECT_EQ(item->PlayButtonImage(), 257u);
    EXPECT_STREQ(item->PlayButtonTooltip(), "Pause");
    // The host announced 320 x 240: box 341 x 254 fits 338 x 254... 320/240 = 1.333 < 1.3425.
    EXPECT_EQ(item->VideoSize().cx, 320);
    h = RelativeTo(item->hwnd, host->hwnd);
    EXPECT_EQ(h.left, 19 + (341 - 338) / 2 + 3);
    RECT kept = item->HostRect();
    EXPECT_TRUE(EqualRect(&h, &kept));
    EXPECT_EQ(h.right - h.left, 338 - 6);

    // The timer moves the position slider while the movie plays.
    Pump(1300);
    EXPECT_GE(item->PositionSlider()->GetPos(), 5);

    // The volume slider reports 50: -25 dB.
    PostMessageA(item->hwnd, WM_SLIDER_CHANGED, MediaItem::kVolumeSliderId, 50);
    Pump(50);
    long volume = 0;
    host->Audio()->get_Volume(&volume);
    EXPECT_EQ(volume, -2500);
    Command(*item, IDC_MOVIE_MUTE);
    EXPECT_TRUE(host->IsMuted());
    EXPECT_EQ(item->MuteButtonImage(), 262u);
    EXPECT_STREQ(item->MuteButtonTooltip(), "Voice");
    Command(*item, ID_MEDIA_MUTE);
    EXPECT_FALSE(host->IsMuted());
    EXPECT_EQ(item->MuteButtonImage(), 256u);
    EXPECT_STREQ(item->MuteButtonTooltip(), "Mute");

    Command(*item, IDC_MOVIE_PLAY);
    EXPECT_EQ(host->GetState(), PlayState::Paused);
    EXPECT_EQ(item->PlayButtonImage(), 258u);
    Command(*item, ID_MEDIA_PLAYPAUSE);
    EXPECT_EQ(host->GetState(), PlayState::Playing);
    EXPECT_EQ(item->PlayButtonImage(), 257u);

    // Full screen; a click anywhere leaves it and is swallowed, and the full-screen command
    // arriving from that same click does not go back in.
    Command(*item, IDC_MOVIE_FULLSCREEN);
    EXPECT_TRUE(host->IsFullScreen());
    EXPECT_TRUE(Filter(host->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(50, 50)));
    EXPECT_FALSE(host->IsFullScreen());
    EXPECT_TRUE(item->FullScreenClickGuard());
    Command(*item, IDC_MOVIE_FULLSCREEN);
    EXPECT_FALSE(host->IsFullScreen());
    EXPECT_FALSE(item->FullScreenClickGuard());

    Command(*item, IDC_MOVIE_STOP);
    EXPECT_EQ(host->GetState(), PlayState::Stopped);
    EXPECT_FALSE(host->HasGraph());
    EXPECT_EQ(item->PlayButtonImage(), 258u);
}

TEST_F(MediaItemTest, MovieAtItsEndStartsAgainUntilStopped) {
    MediaItem* item = movie;
    item->SetFile(Media("mute.avi"));
    MediaPlayerHost* host = item->Host();
    Command(*item, IDC_MOVIE_PLAY);
    ASSERT_EQ(host->GetState(), PlayState::Playing);
    LONGLONG d = host->GetDuration();
    // 2 s of video; the tick after the end rewinds it.
    Pump(3000);
    EXPECT_EQ(host->GetState(), PlayState::Playing);
    LONGLONG p = host->GetPosition();
    EXPECT_LT(p, d);
    EXPECT_GT(p, 0);
    Command(*item, ID_MEDIA_STOP);
    EXPECT_FALSE(host->HasGraph());
}

TEST_F(MediaItemTest, MusicCardTurnsItsDiscAndLoops) {
    MediaItem* item = music;
    RECT w = item->WindowRect();
    EXPECT_EQ(w.right - w.left, 260);
    const int slots[] = {4, 5, 6};
    for (int i = 0; i < 3; i++) {
        RECT b = item->Button(slots[i]).rect;
        EXPECT_EQ(b.left, 13 + 22 * i);
        EXPECT_EQ(b.top, 28);
        EXPECT_EQ(b.right - b.left, 18);
        EXPECT_EQ(b.bottom - b.top, 20);
    }
    EXPECT_FALSE(item->PositionSlider()->shown);
    EXPECT_FALSE(item->VolumeSlider()->shown);
    EXPECT_FALSE(item->Button(0).shown);

    MediaPlayerHost* host = item->Host();
    unsigned turns = item->DiscTurns();
    Command(*item, IDC_MUSIC_PLAY);
    ASSERT_EQ(host->GetState(), PlayState::Playing);
    LONGLONG d = host->GetDuration();
    Pump(2300);
    EXPECT_GE(item->DiscTurns(), turns + 3);
    EXPECT_EQ(host->GetState(), PlayState::Playing);
    EXPECT_LT(host->GetPosition(), d);

    Command(*item, IDC_MUSIC_PAUSE);
    EXPECT_EQ(host->GetState(), PlayState::Paused);
    turns = item->DiscTurns();
    Pump(600);
    EXPECT_EQ(item->DiscTurns(), turns);
    Command(*item, ID_MUSIC_STOP);
    EXPECT_EQ(host->GetState(), PlayState::Stopped);
    EXPECT_FALSE(host->HasGraph());
}

BOOL CALLBACK CountOwned(HWND w, LPARAM lp) {
    auto* seen = (std::pair<HWND, int>*)lp;
    if (GetWindow(w, GW_OWNER) == seen->first) seen->second++;
    return TRUE;
}

// Windows owned by `owner` anywhere in the thread's desktop.
int OwnedWindows(HWND owner) {
    std::pair<HWND, int> seen{owner, 0};
    EnumWindows(CountOwned, (LPARAM)&seen);
    return seen.second;
}

LPARAM Center(const RECT& r) { return PackPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

uint32_t PixelAt(const MediaItem& item, const RECT& r) {
    const OffscreenSurface& s = item.Surface();
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    return s.pixels() ? s.pixels()[y * s.width() + x] : 0;
}

// A card that has not played is one window: its buttons and sliders are parts of its picture that
// take the mouse as the button and slider windows did (hover, pressed, the click on the release,
// the track click), and its buttons' tips live in the tooltip the program shares.
TEST_F(MediaItemTest, CardPartsAreDrawnInAndTakeTheMouse) {
    HWND tip = Tooltip::Shared().handle();
    ASSERT_NE(tip, nullptr);
    LRESULT tools = SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0);
    auto card = CreateMediaItem(MediaKind::Music, RECT{300, 300, 300 + 260, 300 + 130}, desk->hwnd, Media("loop.wav"));
    ASSERT_NE(card->hwnd, nullptr);
    EXPECT_EQ(OwnedWindows(card->hwnd), 0);
    EXPECT_EQ(card->Host()->hwnd, nullptr);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), tools + 3);

    const CardButton& play = card->Button(4);
    uint32_t normal = PixelAt(*card, play.rect);
    EXPECT_NE(normal >> 24, 0u) << "the play button is not drawn";
    SendMessageA(card->hwnd, WM_MOUSEMOVE, 0, Center(play.rect));
    EXPECT_EQ(play.GetState(), kStateHover);
    EXPECT_NE(PixelAt(*card, play.rect), normal) << "no hover image";
    SendMessageA(card->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Center(play.rect));
    EXPECT_EQ(play.GetState(), kStatePressed);
    // A press on a button neither selects nor drags the card.
    EXPECT_NE(desk->selected, card->hwnd);
    SendMessageA(card->hwnd, WM_LBUTTONUP, 0, Center(play.rect));
    EXPECT_EQ(play.GetState(), kStateNormal);
    EXPECT_EQ(card->Host()->GetState(), PlayState::Playing);
    EXPECT_EQ(OwnedWindows(card->hwnd), 1) << "the player's window comes with the first play";
    // Clicked, it shows normal until the pointer leaves and comes back.
    SendMessageA(card->hwnd, WM_MOUSEMOVE, 0, Center(play.rect));
    EXPECT_EQ(play.GetState(), kStateNormal);
    SendMessageA(card->hwnd, WM_MOUSELEAVE, 0, 0);
    SendMessageA(card->hwnd, WM_MOUSEMOVE, 0, Center(play.rect));
    EXPECT_EQ(play.GetState(), kStateHover);
    SendMessageA(card->hwnd, WM_MOUSEMOVE, 0, PackPoint(200, 100));
    EXPECT_EQ(play.GetState(), kStateNormal);
    const CardButton& stop = card->Button(6);
    SendMessageA(card->hwnd, WM_LBUTTONUP, 0, Center(stop.rect));
    EXPECT_EQ(card->Host()->GetState(), PlayState::Stopped);
    card->StopIfPlaying();
    DestroyWindow(card->hwnd);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), tools) << "the card's tips outlived it";
    card.reset();
    Pump(50);

    // The movie's volume slider: a click on its track moves it there and tells the card.
    CardSlider* volume = movie->VolumeSlider();
    RECT v = volume->rect;
    int width = v.right - v.left;
    ASSERT_GT(width, 0);
    EXPECT_EQ(PixelAt(*movie, v) >> 24, 255u) << "the slider is opaque, as its window was";
    SendMessageA(movie->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(v.left + width / 4, v.top + 5));
    SendMessageA(movie->hwnd, WM_LBUTTONUP, 0, PackPoint(v.left + width / 4, v.top + 5));
    EXPECT_EQ(volume->GetPos(), 100 * (width / 4) / width);
    EXPECT_FALSE(volume->IsDragging());
    MSG posted;
    EXPECT_TRUE(PeekMessageA(&posted, movie->hwnd, WM_SLIDER_CHANGED, WM_SLIDER_CHANGED, PM_NOREMOVE));
    // Dragging the thumb: the position follows the pointer, one notification at the release.
    RECT thumb = SkinSlider::ThumbRectIn(RECT{0, 0, width, v.bottom - v.top}, volume->GetPos(), volume->GetRange());
    POINT grab{v.left + (thumb.left + thumb.right) / 2, v.top + 5};
    SendMessageA(movie->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(grab.x, grab.y));
    EXPECT_TRUE(volume->IsDragging());
    SendMessageA(movie->hwnd, WM_MOUSEMOVE, MK_LBUTTON, PackPoint(v.right + 40, grab.y));
    EXPECT_EQ(volume->GetPos(), 100);
    SendMessageA(movie->hwnd, WM_LBUTTONUP, 0, PackPoint(v.right + 40, grab.y));
    EXPECT_FALSE(volume->IsDragging());
    Pump(50);
}

// Pause on a stopped card: no graph, so nothing happens; the disc stays still and the menu
// keeps offering "Play".
TEST_F(MediaItemTest, PauseOnAStoppedCardDoesNothing) {
    MediaItem* item = music;
    item->SetFile(Media("loop.wav"));
    ASSERT_EQ(item->Host()->GetState(), PlayState::Stopped);
    for (UINT id : {(UINT)IDC_MUSIC_PAUSE, (UINT)ID_MUSIC_PAUSE}) {
        SCOPED_TRACE(id);
        unsigned turns = item->DiscTurns();
        Command(*item, id);
        EXPECT_EQ(item->Host()->GetState(), PlayState::Stopped);
        EXPECT_FALSE(item->Host()->HasGraph());
        Pump(1100);
        EXPECT_EQ(item->DiscTurns(), turns);
    }
    // The movie's play/pause on a stopped movie still plays.
    movie->SetFile(Media("clip.avi"));
    Command(*movie, IDC_MOVIE_PLAY);
    EXPECT_EQ(movie->Host()->GetState(), PlayState::Playing);
}

// The Open dialog of either kind, from a double-click or the menu's "Open": owned by the main
// window (so the dialog disables it and its Delete cannot be pressed), with the item disabled
// while it runs and enabled again after; a second double-click meanwhile opens no second dialog.
TEST_F(MediaItemTest, OpenDialogIsOwnedByTheDeskAndDisablesTheItem) {
    struct Seen {
        int calls = 0;
        HWND owner = nullptr;
        BOOL itemEnabled = TRUE;
    };
    static Seen seen;
    static MediaItem* current = nullptr;
    MediaItem::FileChooser saved = MediaItem::chooseFiles;
    MediaItem::chooseFiles = [](HWND owner, const char*, DWORD) {
        seen.calls++;
        seen.owner = owner;
        seen.itemEnabled = IsWindowEnabled(current->hwnd);
        // The user double-clicks the item (or its video) again while the dialog is up (once:
        // were that to open a second dialog, it must not recurse for ever).
        if (seen.calls == 1) SendMessageA(current->hwnd, WM_LBUTTONDBLCLK, 0, PackPoint(100, 100));
        return std::vector<std::string>();
    };
    struct Case {
        const char* what;
        MediaItem** item;
        bool doubleClick;
    } cases[] = {{"music, double-click", &music, true}, {"music, Open", &music, false},
                 {"movie, double-click", &movie, true}, {"movie, Open", &movie, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        current = *c.item;
        seen = Seen{};
        if (c.doubleClick)
            SendMessageA(current->hwnd, WM_LBUTTONDBLCLK, 0, PackPoint(100, 100));
        else
            Command(*current, ID_DESKITEM_EDIT);
        EXPECT_EQ(seen.calls, 1);
        EXPECT_EQ(seen.owner, desk->hwnd);
        EXPECT_FALSE(seen.itemEnabled);
        EXPECT_TRUE(IsWindowEnabled(current->hwnd));
    }
    MediaItem::chooseFiles = saved;
}

TEST_F(MediaItemTest, BlipGetsARangeOfOneAndAGoneFileChangesNothing) {
    MediaItem* item = movie;
    item->SetFile(Media("blip.wav"));
    Command(*item, IDC_MOVIE_PLAY);
    EXPECT_EQ(item->Host()->GetState(), PlayState::Playing);
    EXPECT_EQ(item->PositionSlider()->GetRange(), 1);
    Command(*item, IDC_MOVIE_STOP);

    MediaItem* gone = movie;
    gone->SetFile(Media("no-such-file.avi"));
    Command(*gone, IDC_MOVIE_PLAY);
    EXPECT_EQ(gone->Host()->GetState(), PlayState::Stopped);
    EXPECT_EQ(gone->PlayButtonImage(), 258u);
    EXPECT_FALSE(gone->Host()->HasGraph());
}

TEST_F(MediaItemTest, RestoredFromRecordsAndWrittenBack) {
    MediaItemRecord rec{};
    const char kPath[] = "C:\\media\\song.mp3";
    std::memcpy(rec.path, kPath, sizeof kPath);
    // A movie smaller than its frame needs is made 320 by 260.
    auto restored = RestoreDeskItem(RecordView(kItemMovie, &rec), RECT{50, 60, 250, 160}, desk->hwnd);
    ASSERT_NE(restored, nullptr);
    RECT m;
    GetWindowRect(restored->ItemWindow(), &m);
    EXPECT_EQ(m.right - m.left, 320);
    EXPECT_EQ(m.bottom - m.top, 260);
    EXPECT_EQ(((MediaItem*)restored.get())->Kind(), MediaKind::Movie);
    MediaItemRecord out{};
    std::memset(out.path, 'x', sizeof out.path);
    restored->WriteRecord(RecordView(kItemMovie, &out));
    EXPECT_STREQ(out.path, rec.path);
    // Only the path and its end are written: the field's bytes after them stay as they were.
    for (size_t i = std::strlen(rec.path) + 1; i < sizeof out.path; i++) ASSERT_EQ(out.path[i], 'x') << i;
    // Stopped items have nothing to stop.
    restored->StopIfPlaying();
    EXPECT_EQ(((MediaItem*)restored.get())->Host()->GetState(), PlayState::Stopped);
}

}  // namespace
}  // namespace sona
