// A thin window base: one window procedure routes every message to the object's WndProc.
// Windows are subclassed at creation through a CBT hook, so our own classes, system classes
// (rich edit, list box) and dialogs all reach their object from the first message on.
#pragma once
#include <windows.h>

namespace sona {

// Destroying: a window goes before its object. Whoever owns the object destroys the window with
// DestroyWindow() while the object is whole, or the window goes with its parent or owner window;
// WM_NCDESTROY then unbinds the object. Destructors never destroy their own window: by the time
// a derived destructor runs, handlers would see a half-destroyed object. The base destructor only
// catches a window still alive (a test's object going out of scope, a forgotten window): it
// unbinds it first, so no handler runs on what is left of the object, then destroys it.
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd = nullptr;

    // Creates the window and binds it to this object before WM_NCCREATE.
    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                  int w, int h, HWND parent, UINT_PTR idOrMenu);
    // Binds an existing window (a control made elsewhere) to this object.
    bool Subclass(HWND h);
    // Destroys the window while the object is whole; overrides release first what must go
    // before the window (and call the base).
    virtual void DestroyWindow();

    // The object bound to a window, or null.
    static Window* FromHandle(HWND h);

    // Filter run before a message is dispatched (application first, then the target window and
    // each window above it up to the main window). TRUE means the message is consumed.
    virtual BOOL PreTranslateMessage(MSG* msg) { return FALSE; }

    // Message handler; unhandled messages go to Default().
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    // Default processing of the message being handled.
    LRESULT Default();
    LRESULT CallDefault(UINT msg, WPARAM wp, LPARAM lp);

    // The next window created on this thread is bound to this object (used by dialogs, whose
    // windows the dialog manager creates).
    void BeginCreate();

    // Called after WM_NCDESTROY, when the window is gone; self-deleting windows delete here.
    virtual void PostNcDestroy() {}

    // Small conveniences used everywhere.
    RECT ClientRect() const;
    RECT WindowRect() const;
    bool IsWindow() const { return hwnd && ::IsWindow(hwnd); }
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(hwnd, msg, wp, lp); }
    BOOL Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageA(hwnd, msg, wp, lp); }

private:
    friend LRESULT CALLBACK RouteWindowMessage(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK CreationHook(int, WPARAM, LPARAM);
    void Attach(HWND h);
    void Detach();

    WNDPROC superProc = nullptr;
    // The message being handled, for Default().
    UINT curMsg = 0;
    WPARAM curWp = 0;
    LPARAM curLp = 0;
};

// Registers (once per distinct set of parameters) a window class whose procedure is
// DefWindowProc and returns its name, in the manner of AfxRegisterWndClass.
const char* RegisterWindowClass(UINT style, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                HICON icon = nullptr);

// The white brush that item and control classes share as class background.
HBRUSH SharedWhiteBrush();

// (y << 16) | (x & 0xFFFF): the point packing of mouse messages.
inline LPARAM PackPoint(int x, int y) { return (LPARAM)(((DWORD)(y & 0xFFFF) << 16) | (DWORD)(x & 0xFFFF)); }

}  // namespace sona
