#include "platform/App.h"

#include "platform/Window.h"

namespace sona {

namespace {
Application* currentApp = nullptr;
}

Application::Application() { currentApp = this; }

Application::~Application() {
    if (currentApp == this) currentApp = nullptr;
}

Application* Application::Current() { return currentApp; }

int Application::Run() {
    InitInstance();
    return ExitInstance();
}

BOOL WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND h = msg->hwnd; h; h = GetParent(h)) {
        Window* w = Window::FromHandle(h);
        if (w && w->PreTranslateMessage(msg)) return TRUE;
        if (h == stop) break;
    }
    return FALSE;
}

BOOL Application::PreTranslateMessage(MSG* msg) {
    if (WalkPreTranslateTree(mainWindow, msg)) return TRUE;
    // A modeless window outside the main window's tree still gets the main window's filter.
    if (mainWindow && msg->hwnd) {
        HWND top = msg->hwnd;
        while (HWND p = GetParent(top)) top = p;
        if (top != mainWindow) {
            if (Window* w = Window::FromHandle(mainWindow)) return w->PreTranslateMessage(msg);
        }
    }
    return FALSE;
}

BOOL Application::FilterMessage(MSG* msg) {
    if (currentApp) return currentApp->PreTranslateMessage(msg);
    return WalkPreTranslateTree(nullptr, msg);
}

}  // namespace sona
