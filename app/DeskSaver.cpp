#include "app/DeskSaver.h"

#include <vector>

#include "app/DeskMessages.h"
#include "items/PictureLoader.h"
#include "platform/FileNames.h"
#include "platform/UserMessage.h"
#include "store/AtomicFile.h"
#include "store/DeskStore.h"

namespace sona {

namespace {

// Changes are saved once they have been quiet for kSaveQuietMs, and at the latest kSaveLatestMs
// after the first unsaved one.
const DWORD kSaveQuietMs = 1000;
const DWORD kSaveLatestMs = 2500;

}  // namespace

void DeskSaver::Changed() {
    if (!owner.hwnd || exiting) return;
    DWORD now = GetTickCount();
    if (!pending) {
        pending = true;
        firstUnsavedTick = now;
    }
    DWORD waited = now - firstUnsavedTick;
    DWORD wait = waited + kSaveQuietMs <= kSaveLatestMs ? kSaveQuietMs : (waited < kSaveLatestMs ? kSaveLatestMs - waited : 1);
    SetTimer(owner.hwnd, TIMER_AUTOSAVE, wait, nullptr);
}

void DeskSaver::Forget() {
    pending = false;
    KillTimer(owner.hwnd, TIMER_AUTOSAVE);
}

void DeskSaver::OnTimer() {
    KillTimer(owner.hwnd, TIMER_AUTOSAVE);
    if (pending && !exiting) Save(true);
}

bool DeskSaver::Save(bool quiet) {
    std::string failures = Write();
    if (failures.empty()) {
        failureReported = false;
        return true;
    }
    // A save of its own is tried again at the next change and at exit; one message is enough.
    if (quiet && failureReported) return false;
    failureReported = true;
    std::string text = "The desks could not be saved to:" + failures +
                       "\n\nNothing has been lost: the desks stay open. Free some disk space or make the "
                       "folder writable, then exit again.";
    ShowUserMessage(text, MB_OK | MB_ICONWARNING);
    return false;
}

bool DeskSaver::SaveForExit() {
    exiting = true;
    KillTimer(owner.hwnd, TIMER_AUTOSAVE);
    // Exit is always possible: when the desks cannot be written the user chooses between trying
    // again (after freeing space, say) and leaving without saving; the files already on disk stay
    // as they are either way. Desks that the files hold already need no question. Enter by reflex
    // (the default button) keeps the program open: it neither loses the desks nor asks again.
    for (;;) {
        std::string failures = Write();
        if (failures.empty() || StoredMatch()) break;
        int choice = ShowUserMessage("The desks could not be saved to:" + failures +
                                         "\n\nThe files already there are left as they are.",
                                     MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON3,
                                     {{IDYES, "Try Again"}, {IDNO, "Exit Without Saving"}, {IDCANCEL, "Cancel"}});
        if (choice == IDYES) continue;
        if (choice == IDNO) break;
        exiting = false;
        return false;  // the desks stay open, nothing lost
    }
    exiting = false;
    return true;
}

bool DeskSaver::OnQueryEndSession() {
    // Windows is ending the session: save now, the process may not get another chance.
    sessionSaved = Save();
    return true;
}

void DeskSaver::OnEndSession(bool ending) {
    if (ending && !sessionSaved) Save();
}

std::string DeskSaver::Write() {
    live.Sync();
    pending = false;
    // Both files are attempted: one good copy is better than none. Each is written to a
    // temporary file and renamed, so a failure never harms the copy already there.
    std::string failures;
    for (int attempt = 0; attempt < 2; attempt++) {
        failures.clear();
        for (const char* name : {"Media", "Media_bak"}) {
            std::string path = dataFolder + name;
            SaveResult r = SaveDeskStore(path, model.Store());
            if (r != SaveResult::kOk) failures += "\n\"" + path + "\" (" + FileWriteResultName(r) + ")";
        }
        // The picture cache yields to the user's data: a full disk loses its copies first.
        if (failures.empty() || !PictureLoader::Shared().TrimThumbs(0)) break;
    }
    return failures;
}

bool DeskSaver::StoredMatch() {
    std::vector<uint8_t> now = SerializeDeskStore(model.Store()), stored;
    for (const char* name : {"Media", "Media_bak"})
        if (!ReadWholeFile(dataFolder + name, &stored) || stored != now) return false;
    return true;
}

}  // namespace sona
