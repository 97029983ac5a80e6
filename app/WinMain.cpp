// Sonadesk's entry point: the one application object runs and the process ends.
#include <windows.h>

#include "app/CrashReport.h"
#include "app/DeskApplication.h"
#include "platform/LateBound.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything is loaded by name: no DLL from beside the program or the current folder.
    sona::RestrictDllSearch();
    // A crash from here on leaves a report in Data\Crashes\.
    sona::InstallCrashReporter();
    sona::DeskApplication app;
    return app.Run();
}
