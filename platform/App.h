// The application object: one per process. Its filter sees every message of the thread before
// dispatch, then the target window and each window above it up to the main window get theirs.
#pragma once
#include <windows.h>

namespace sona {

class Window;

class Application {
public:
    Application();
    virtual ~Application();

    static Application* Current();

    // Runs InitInstance, then ExitInstance; returns the process exit code.
    int Run();

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }
    // The application's filter. The default walks the window chain (see FilterMessage).
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Every message loop of the program calls this before TranslateMessage/DispatchMessage.
    static BOOL FilterMessage(MSG* msg);

    HWND mainWindow = nullptr;
};

// Target window first, then each parent or owner, stopping after `stop`. TRUE when consumed.
BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

}  // namespace sona
