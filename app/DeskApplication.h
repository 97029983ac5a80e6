// The process's application object: single instance, GDI+ and COM, the main window run as a
// modal dialog, and the filter that turns Alt+F4 anywhere into the save-and-exit path.
// GDI+, COM and the common controls are not started with the process: the main window paints
// first with USER32 and GDI alone, then calls StartDeskServices before it builds any item.
#pragma once
#include <windows.h>

#include <memory>

#include "platform/App.h"
#include "platform/Com.h"
#include "platform/Gdi.h"
#include "store/LanguagePack.h"

namespace sona {

// Names the single-instance mutex and the property that marks the running main window.
extern const char InstanceName[];

class DeskApplication : public Application {
public:
    BOOL InitInstance() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    int ExitInstance() override;

    // The deciphered language text (65,536 bytes of 260-byte slots), kept for the run; null
    // until deciphered.
    void SetLanguageText(LanguageTextPtr text) { languageText = std::move(text); }
    const char* LanguageTextBytes() const { return languageText ? languageText->bytes : nullptr; }

private:
    HANDLE instanceMutex = nullptr;
    LanguageTextPtr languageText;
};

// Starts the common controls, GDI+ and COM on this thread for the rest of the run; later calls do
// nothing. Each loads its DLL on first use (they are delay-loaded, from the system folder only).
void StartDeskServices();
// Ends what StartDeskServices started, if it ran: COM, then GDI+. A second instance never started
// them, so it has nothing to stop.
void StopDeskServices();

// EnumWindows callback: stores in *(HWND*)lp the top-level window whose property reads 1.
BOOL CALLBACK FindRunningInstance(HWND window, LPARAM lp);

// The text a second instance hands over: after the last double quote, less its first character.
// Empty unless the command line ends in "PIF" exactly.
bool PifHandOverPath(const char* commandLine, char* out, size_t outSize);

}  // namespace sona
