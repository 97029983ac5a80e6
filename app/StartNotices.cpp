#include "app/StartNotices.h"

#include <string>

#include "app/CrashReport.h"
#include "platform/UserMessage.h"
#include "store/DataFolder.h"

namespace sona {

namespace {

// Through the program's one door for messages: owned by the main window, above its items.
void Tell(HWND owner, const std::string& text, UINT icon) { ShowUserMessage(text, MB_OK | icon, {}, owner); }

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
