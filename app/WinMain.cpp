// Sonadesk's entry point: the one application object runs and the process ends.
#include <windows.h>

#include "app/DeskApplication.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    sona::DeskApplication app;
    return app.Run();
}
