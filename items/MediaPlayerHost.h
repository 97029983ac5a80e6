// The window that plays one music or movie file for a media item: it owns a DirectShow filter
// graph built for the file, lends its client area to the graph's video renderer and hands the
// input that lands on the video back to the item.
#pragma once
#include <windows.h>
#include <dshow.h>

#include <cstdint>
#include <string>

#include "items/ItemMessages.h"
#include "platform/Com.h"
#include "platform/Window.h"

namespace sona {

enum class PlayState : int32_t { Playing = 0, Paused = 1, Stopped = 2 };

class MediaPlayerHost : public Window {
public:
    MediaPlayerHost() = default;
    ~MediaPlayerHost() override;

    // A popup owned by `owner` (the media item); music items leave it at zero size.
    BOOL Create(const RECT& rect, HWND owner);

    // Stores the file to play; nothing is opened.
    void SetPath(const char* path);
    const std::string& GetPath() const { return path; }
    PlayState GetState() const { return state; }

    // Builds the graph for the path and starts it. Only Reopen uses it.
    BOOL OpenGraph();
    // Plays the path from the beginning on a new graph. FALSE (and nothing changed) when the file
    // is gone or DirectShow cannot build or run a graph for it.
    BOOL Reopen();
    // Stops and releases the graph; the state stays as it is.
    void CloseGraph();
    // Rewinds, releases the graph and becomes Stopped.
    void Stop();
    // Pauses a playing graph or resumes a paused one; without a graph nothing happens.
    void TogglePause();
    // v from 0 to 100 (the volume slider); 100 is full volume, 0 is -50 dB. Remembered for every
    // later graph, and while muted kept for unmuting.
    void SetVolume(int v);
    // Silences or gives back the remembered volume; 0 when there is nothing to mute.
    int ToggleMute();
    // In 100 ns units; -1 (duration) or 0 (position) without a graph.
    LONGLONG GetDuration();
    LONGLONG GetPosition();
    void Seek(LONGLONG t);
    // Enters or leaves the renderer's full-screen mode; 0 when the file has no video.
    int ToggleFullScreen();
    BOOL IsFullScreen() const { return fullScreen; }
    BOOL IsMuted() const { return muted; }
    // Lifts the video one pixel, so it also covers the row the item's frame leaves above it.
    void ShiftVideoUp();

    // What the tests look at.
    bool HasGraph() const { return (bool)graph; }
    BOOL HasNoVideo() const { return noVideo; }
    SIZE VideoSize() const { return SIZE{videoWidth, videoHeight}; }
    LONG RememberedVolume() const { return rememberedVolume; }
    IBasicAudio* Audio() const { return audio.get(); }
    IVideoWindow* VideoWindow() const { return videoWindow.get(); }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    bool AddGdiRenderer();
    void DropUnusedGdiRenderer();
    void PlaceVideo();
    void ApplyVolume();
    void ReleaseGraph();

    HWND owner = nullptr;
    std::string path;
    PlayState state = PlayState::Stopped;
    LONG rememberedVolume = 0;
    BOOL muted = FALSE;
    BOOL fullScreen = FALSE;
    BOOL noVideo = FALSE;
    LONG videoWidth = 0, videoHeight = 0;

    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
    ComPtr<IMediaSeeking> seeking;
    ComPtr<IMediaPosition> position;
    ComPtr<IVideoWindow> videoWindow;
    ComPtr<IBasicVideo> basicVideo;
    ComPtr<IBasicAudio> audio;
    // The GDI renderer added before RenderFile; held only while the graph is being built.
    ComPtr<IBaseFilter> gdiRenderer;
};

}  // namespace sona
