#include "app/DeskApplication.h"

#include <commctrl.h>

#include <cstring>
#include <memory>

#include "app/ClipboardWork.h"
#include "app/DeskMessages.h"
#include "app/MainDeskWindow.h"
#include "items/PictureLoader.h"

namespace sona {

const char InstanceName[] = "0xa8eb1243, 0x1751, 0x4fea, 0xa7, 0x6d, 0x7d, 0xa6, 0x93, 0x9f, 0xac, 0x4a";

BOOL CALLBACK FindRunningInstance(HWND window, LPARAM lp) {
    if ((INT_PTR)GetPropA(window, InstanceName) == 1) {
        *(HWND*)lp = window;
        return FALSE;
    }
    return TRUE;
}

bool PifHandOverPath(const char* commandLine, char* out, size_t outSize) {
    if (!commandLine || !out || outSize == 0) return false;
    size_t len = std::strlen(commandLine);
    if (len < 3 || std::strcmp(commandLine + len - 3, "PIF") != 0) return false;
    const char* quote = std::strrchr(commandLine, '"');
    const char* rest = quote ? quote + 1 : commandLine;
    if (*rest) rest++;  // the blank after the quoted program path
    std::strncpy(out, rest, outSize - 1);
    out[outSize - 1] = '\0';
    return true;
}

namespace {
// Ended in the reverse order of their start: COM, then GDI+.
std::unique_ptr<GdiplusSession> gdiplus;
std::unique_ptr<ComSession> com;
}  // namespace

void StartDeskServices() {
    if (gdiplus) return;
    InitCommonControls();
    gdiplus = std::make_unique<GdiplusSession>();
    com = std::make_unique<ComSession>();
}

void StopDeskServices() {
    if (!gdiplus) return;
    // The picture and clipboard workers use GDI+: none may still run when it stops.
    PictureLoader::Shared().Shutdown();
    WaitClipboardWork(10000);
    com.reset();
    gdiplus.reset();
}

BOOL DeskApplication::InitInstance() {
    instanceMutex = CreateMutexA(nullptr, FALSE, InstanceName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        HWND found = nullptr;
        EnumWindows(FindRunningInstance, (LPARAM)&found);
        if (!found) return FALSE;
        ShowWindow(found, SW_SHOWNORMAL);
        SetForegroundWindow(found);
        char path[MAX_PATH * 4];
        if (PifHandOverPath(GetCommandLineA(), path, sizeof path)) {
            // The default profile of a program without a registry key: an .ini of its own name.
            WritePrivateProfileStringA("CommandPath", "path", path, "Sonadesk.ini");
            SendMessageA(found, WM_SIZE, 0, 0);
        }
        return FALSE;
    }

    auto window = std::make_unique<MainDeskWindow>();
    window->DoModal(nullptr);
    mainWindow = nullptr;
    return FALSE;
}

BOOL DeskApplication::PreTranslateMessage(MSG* msg) {
    // Alt+F4 anywhere is the exit command. Only key presses count: a timer or command whose
    // number happens to be 0x73 while Alt is held must not end the program.
    bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    if (keyDown && msg->wParam == VK_F4 && (GetAsyncKeyState(VK_MENU) & 0x8000)) {
        if (mainWindow) SendMessageA(mainWindow, WM_DESK_EXIT, 0, 0);
        return TRUE;
    }
    if (msg->message == WM_DESK_SWALLOWED_HELP) return TRUE;
    return Application::PreTranslateMessage(msg);
}

int DeskApplication::ExitInstance() {
    languageText.reset();
    StopDeskServices();
    return 0;
}

}  // namespace sona
