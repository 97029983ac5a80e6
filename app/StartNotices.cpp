#include "app/StartNotices.h"

#include <string>

#include "app/CrashReport.h"
#include "platform/Text.h"
#include "store/DataFolder.h"

namespace sona {

namespace {

// Owned by the main window and above its items, which are topmost-free popups it owns.
void Tell(HWND owner, const std::string& text, UINT icon) {
    MessageBoxW(owner, Utf8ToWide(text).c_str(), L"Varnel Sonadesk", MB_OK | icon | MB_SETFOREGROUND);
}

}  // namespace

void ShowStartNotices(HWND owner) {
    if (DataFolderNeedsNotice()) {
        const DataFolderPlace& place = GetDataFolderPlace();
        std::string text = "Sonadesk cannot save its desks in its own folder:\n" + place.besideExe +
                           "\n\nYour desks are kept in:\n" + place.folder;
        if (place.copiedStore) text += "\n\nThe desks found beside the program were copied there.";
        text += "\n\nThe About window (F1) shows this place again.";
        MarkDataFolderShown();
        Tell(owner, text, MB_ICONINFORMATION);
    }
    std::string report = UnreportedCrash();
    if (!report.empty()) {
        MarkCrashReported();
        Tell(owner, "Sonadesk closed unexpectedly the last time it ran. A report was written to:\n" + report +
                        "\n\nYour desks are as they were last saved.",
             MB_ICONWARNING);
    }
}

}  // namespace sona
