#include "items/MediaPlayerHost.h"

#include "platform/CommonDialogs.h"
#include "platform/FileNames.h"
#include "platform/Text.h"

namespace sona {

namespace {

// The drain the renderer had before any host went full screen; one for the whole process,
// because only one video can fill the screen at a time.
OAHWND savedMessageDrain = 0;

// The client point every click on the video is reported at: inside the item's move area.
const int kVideoClickPoint = 100;

// Paths longer than this never reach the host (dialogs and the store hold MAX_PATH - 1).

// The first pin of a direction on a filter, or null.
ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION wanted) {
    ComPtr<IPin> found;
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.put()))) return found;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.put(), nullptr) == S_OK) {
        PIN_DIRECTION dir;
        if (SUCCEEDED(pin->QueryDirection(&dir)) && dir == wanted) return pin;
    }
    return found;
}

}  // namespace

// Releases whatever graph is left; deleting an item stops nothing on purpose, but the graph's
// video window is our child and must be let go before the window goes.
MediaPlayerHost::~MediaPlayerHost() {
    if (graph) CloseGraph();
}

// Class with double-clicks and an arrow but no background: the host paints black itself when
// stopped and the renderer paints everything else.
BOOL MediaPlayerHost::Create(const RECT& rect, HWND ownerWindow) {
    const char* cls = RegisterWindowClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW),
                                          nullptr, nullptr);
    owner = ownerWindow;
    if (!CreateEx(WS_EX_TOOLWINDOW, cls, "", WS_POPUP | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, ownerWindow, 0)) {
        owner = nullptr;
        return FALSE;
    }
    return TRUE;
}

// Only remembers the file; the item decides when it is opened.
void MediaPlayerHost::SetPath(const char* newPath) {
    path.assign(newPath ? newPath : "");
}

// Wine's default video renderer ignores its owner window and cannot go full screen; the GDI
// renderer does both there and on Windows. Put in the graph first, RenderFile prefers it.
bool MediaPlayerHost::AddGdiRenderer() {
    gdiRenderer.Release();
    if (FAILED(CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                gdiRenderer.put_void())))
        return false;
    if (FAILED(graph->AddFilter(gdiRenderer.get(), L"Video Renderer"))) {
        gdiRenderer.Release();
        return false;
    }
    return true;
}

// An audio-only file (or one whose video could not be decoded) leaves the renderer unconnected;
// left in the graph it would claim the file has a video window.
void MediaPlayerHost::DropUnusedGdiRenderer() {
    if (!gdiRenderer) return;
    ComPtr<IPin> in = FirstPin(gdiRenderer.get(), PINDIR_INPUT);
    ComPtr<IPin> peer;
    if (!in || FAILED(in->ConnectedTo(peer.put())) || !peer) graph->RemoveFilter(gdiRenderer.get());
    gdiRenderer.Release();
}

// Builds the playback graph for `path`, gives any video our client area and starts it.
// Every failure returns at once; Reopen releases what was built.
BOOL MediaPlayerHost::OpenGraph() {
    UpdateWindow(hwnd);
    // The whole UTF-8 path, wide: a name outside the code page or past MAX_PATH plays as it is.
    std::wstring wide = WideFilePath(path);

    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                graph.put_void())))
        return FALSE;
    AddGdiRenderer();
    HRESULT hr = graph->RenderFile(wide.c_str(), nullptr);
    DropUnusedGdiRenderer();
    if (FAILED(hr)) return FALSE;

    if (FAILED(graph->QueryInterface(IID_IMediaControl, control.put_void()))) return FALSE;
    if (FAILED(graph->QueryInterface(IID_IMediaEventEx, events.put_void()))) return FALSE;
    if (FAILED(graph->QueryInterface(IID_IMediaSeeking, seeking.put_void()))) return FALSE;
    if (FAILED(graph->QueryInterface(IID_IMediaPosition, position.put_void()))) return FALSE;
    if (FAILED(graph->QueryInterface(IID_IVideoWindow, videoWindow.put_void()))) return FALSE;
    if (FAILED(graph->QueryInterface(IID_IBasicVideo, basicVideo.put_void()))) return FALSE;
    if (FAILED(graph->QueryInterface(IID_IBasicAudio, audio.put_void()))) return FALSE;

    // The graph manager always offers the video interfaces; only a renderer behind them answers
    // anything but E_NOINTERFACE. A dropped video decoder leaves no renderer, so the native
    // size query is the second witness.
    noVideo = TRUE;
    if (videoWindow && basicVideo) {
        long visible = 0;
        long w = 0, h = 0;
        if (videoWindow->get_Visible(&visible) != E_NOINTERFACE && basicVideo->GetVideoSize(&w, &h) != E_NOINTERFACE)
            noVideo = FALSE;
    }

    if (!noVideo) {
        RECT rc = ClientRect();
        if (FAILED(videoWindow->put_Owner((OAHWND)hwnd))) return FALSE;
        if (FAILED(videoWindow->put_WindowStyle(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)))
            return FALSE;
        if (FAILED(videoWindow->SetWindowPosition(0, 0, rc.right, rc.bottom + 1))) return FALSE;
        if (FAILED(videoWindow->put_MessageDrain((OAHWND)hwnd))) return FALSE;
        if (FAILED(videoWindow->put_FullScreenMode(OAFALSE))) return FALSE;
        if (FAILED(videoWindow->SetWindowForeground(OATRUE))) return FALSE;
        long w = 0, h = 0;
        basicVideo->get_VideoWidth(&w);
        basicVideo->get_VideoHeight(&h);
        if (w == 0 || h == 0) {
            w = 720;
            h = 576;
        }
        videoWidth = w;
        videoHeight = h;
        if (owner) SendMessageA(owner, WM_PLAYER_VIDEOSIZE, (WPARAM)w, (LPARAM)h);
    }

    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    fullScreen = FALSE;
    // Before Run, so not even the first samples play at the wrong level.
    ApplyVolume();
    if (FAILED(control->Run())) return FALSE;
    SetFocus(hwnd);
    ShiftVideoUp();
    return TRUE;
}

// A new graph from the start of the file; a file that has gone leaves everything as it was.
BOOL MediaPlayerHost::Reopen() {
    if (!FileStatusOk(path)) return FALSE;
    CloseGraph();
    if (OpenGraph()) {
        state = PlayState::Playing;
        return TRUE;
    }
    CloseGraph();
    return FALSE;
}

// Lets the renderer go before the interfaces, so its window leaves ours while it still can.
void MediaPlayerHost::ReleaseGraph() {
    if (videoWindow) {
        // A renderer still filling the screen would keep its full-screen window.
        if (fullScreen) videoWindow->put_FullScreenMode(OAFALSE);
        videoWindow->put_Visible(OAFALSE);
        videoWindow->put_Owner(0);
    }
    if (events) events->SetNotifyWindow(0, 0, 0);
    events.Release();
    seeking.Release();
    position.Release();
    control.Release();
    basicVideo.Release();
    audio.Release();
    videoWindow.Release();
    gdiRenderer.Release();
    // The last reference of a graph that showed video takes Wine about two seconds to go.
    graph.Release();
}

// Stops and drops the graph; the state is the caller's business.
void MediaPlayerHost::CloseGraph() {
    if (control) control->Stop();
    ReleaseGraph();
    noVideo = TRUE;
    fullScreen = FALSE;
    if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
}

// Rewinds while stopped (the only seek that is safe with video under Wine), then lets the
// graph go: a stopped host holds no graph.
void MediaPlayerHost::Stop() {
    if (control && seeking && (state == PlayState::Playing || state == PlayState::Paused)) {
        control->Stop();
        LONGLONG zero = 0;
        seeking->SetPositions(&zero, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
        control->Pause();
    }
    CloseGraph();
    state = PlayState::Stopped;
}

// Paused resumes, anything else pauses. Without a graph there is nothing to pause: a stopped host
// stays stopped (a "paused" state with no graph would resume into a playing state in silence).
void MediaPlayerHost::TogglePause() {
    if (!control) return;
    if (state == PlayState::Paused) {
        control->Run();
        state = PlayState::Playing;
    } else {
        control->Pause();
        state = PlayState::Paused;
    }
}

// 100 is 0 dB, 0 is -50 dB. The value is remembered even without a graph or while muted, and
// every new graph starts at it (ApplyVolume); while muted it only waits for unmuting, so the
// slider cannot make a muted item audible behind its mute button's back.
void MediaPlayerHost::SetVolume(int v) {
    if (v < 0) v = 0;
    if (v > 100) v = 100;
    rememberedVolume = 50 * v - 5000;
    if (audio && !muted) audio->put_Volume(rememberedVolume);
}

// A new graph starts at DirectShow's full volume; it must sound as the item's controls say.
// A graph without audio refuses the call (E_NOTIMPL), which changes nothing here.
void MediaPlayerHost::ApplyVolume() {
    if (audio) audio->put_Volume(muted ? -10000 : rememberedVolume);
}

// -10000 is silence; the flag follows only what the graph accepted.
int MediaPlayerHost::ToggleMute() {
    if (!graph || !audio) return 0;
    if (!muted) {
        if (SUCCEEDED(audio->put_Volume(-10000))) muted = TRUE;
    } else {
        if (SUCCEEDED(audio->put_Volume(rememberedVolume))) muted = FALSE;
    }
    return 1;
}

// Length of the file in 100 ns units.
LONGLONG MediaPlayerHost::GetDuration() {
    if (!seeking) return -1;
    LONGLONG d = -1;
    if (FAILED(seeking->GetDuration(&d))) return -1;
    return d;
}

// Where playback is, in 100 ns units.
LONGLONG MediaPlayerHost::GetPosition() {
    if (!seeking) return 0;
    LONGLONG p = 0;
    if (FAILED(seeking->GetCurrentPosition(&p))) return 0;
    return p;
}

// Moves playback to t. A running or paused graph is stopped around the seek and put back as it
// was: Wine accepts a seek on a running video graph and then hangs in the next Stop or Release,
// and an audio graph that has reached its end stays there after a seek in place. Stopping first
// is just as correct on Windows.
void MediaPlayerHost::Seek(LONGLONG t) {
    if (!seeking) return;
    bool around = control && state != PlayState::Stopped;
    if (around) control->Stop();
    seeking->SetPositions(&t, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    if (around) {
        if (state == PlayState::Playing)
            control->Run();
        else
            control->Pause();
    }
}

// Full screen takes the renderer's input away from wherever it went; leaving gives it back and
// returns the video to our client area.
int MediaPlayerHost::ToggleFullScreen() {
    if (noVideo || !videoWindow) return 0;
    long mode = OAFALSE;
    videoWindow->get_FullScreenMode(&mode);
    if (mode != OAFALSE) {
        videoWindow->put_FullScreenMode(OAFALSE);
        videoWindow->put_MessageDrain(savedMessageDrain);
        videoWindow->SetWindowForeground(OATRUE);
        UpdateWindow(hwnd);
        SetForegroundWindow(hwnd);
        SetFocus(hwnd);
        fullScreen = FALSE;
    } else {
        videoWindow->get_MessageDrain(&savedMessageDrain);
        videoWindow->put_MessageDrain((OAHWND)hwnd);
        videoWindow->put_FullScreenMode(OATRUE);
        fullScreen = TRUE;
    }
    return 1;
}

// See the header: the item calls this after moving us. Wine's put_Top(-1) also moves the video
// right by our own screen x (it keeps the left edge in screen coordinates), so the whole
// position is given instead; left, width and height are what PlaceVideo gave, as put_Top keeps.
void MediaPlayerHost::ShiftVideoUp() {
    if (noVideo || !videoWindow) return;
    RECT rc = ClientRect();
    videoWindow->SetWindowPosition(0, -1, rc.right, rc.bottom + 1);
}

// The video fills the client area and one row more (ShiftVideoUp uses that row).
void MediaPlayerHost::PlaceVideo() {
    if (noVideo || !videoWindow) return;
    RECT rc = ClientRect();
    videoWindow->SetWindowPosition(0, 0, rc.right, rc.bottom + 1);
    UpdateWindow(hwnd);
}

// The renderer posts the video's mouse and key input to us (its drain); the item wants it as if
// it had been clicked itself, at a point that moves it. In full screen a left click only ends
// full screen (the item's filter, next in the chain, does that): passed on, it would also start
// a move of the item that lasts until the button comes up.
BOOL MediaPlayerHost::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd != hwnd) return FALSE;
    // A disabled item (its Open dialog is up) takes no input, from the video neither: a menu from
    // there could remove the item under its dialog.
    if (owner && !IsWindowEnabled(owner)) return FALSE;
    switch (msg->message) {
    case WM_LBUTTONDOWN:
        if (owner && !fullScreen) SendMessageA(owner, WM_LBUTTONDOWN, 0, PackPoint(kVideoClickPoint, kVideoClickPoint));
        break;
    case WM_LBUTTONDBLCLK:
        if (owner && !fullScreen)
            SendMessageA(owner, WM_LBUTTONDBLCLK, 0, PackPoint(kVideoClickPoint, kVideoClickPoint));
        break;
    case WM_RBUTTONDOWN:
        if (owner) SendMessageA(owner, WM_CONTEXTMENU, 0, PackPoint(msg->pt.x, msg->pt.y));
        break;
    case WM_KEYDOWN:
        if (msg->wParam == VK_ESCAPE && videoWindow) {
            long mode = OAFALSE;
            if (SUCCEEDED(videoWindow->get_FullScreenMode(&mode)) && mode == OATRUE) ToggleFullScreen();
        }
        break;
    }
    return FALSE;
}

// Black when nothing plays; the video follows every move and resize.
LRESULT MediaPlayerHost::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        if (state == PlayState::Stopped) {
            RECT rc = ClientRect();
            FillRect((HDC)wp, &rc, (HBRUSH)GetStockObject(BLACK_BRUSH));
        }
        return Default();
    case WM_MOVE:
    case WM_SIZE:
        PlaceVideo();
        return Default();
    case WM_DESTROY:
        // The graph's video window is our child: the graph lets it go before it goes with us.
        if (graph) CloseGraph();
        return Default();
    }
    return Default();
}

}  // namespace sona
