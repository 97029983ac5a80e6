// Keeping the desks on disk: "Media" then "Media_bak", written soon after every change, at exit
// and when Windows ends the session. A save that fails loses nothing: the desks stay open and the
// files already there stay as they were.
#pragma once
#include <windows.h>

#include <string>

#include "app/DeskModel.h"
#include "app/LiveDesk.h"
#include "platform/Window.h"

namespace sona {

class DeskSaver {
public:
    // The desks of `model` and `live`, into `dataFolder` (read at each save); the autosave timer
    // runs on `owner`.
    DeskSaver(DeskModel& model, LiveDesk& live, const Window& owner, const std::string& dataFolder)
        : model(model), live(live), owner(owner), dataFolder(dataFolder) {}

    // Something stored has changed: the desks are saved once changes have been quiet a moment,
    // and at the latest a few seconds after the first unsaved one, however busy the user is.
    void Changed();
    // Nothing waits for a save (the desks as just read need none).
    void Forget();
    // True while a change waits for its save.
    bool Pending() const { return pending; }
    // The autosave timer's turn.
    void OnTimer();
    // Saves now; on failure tells the user and returns false. A save the program makes by itself
    // (`quiet`) tells the user of a failure only once, not at every try.
    bool Save(bool quiet = false);
    // The save of Exit: false when the desks could not be written and the user chose to stay.
    bool SaveForExit();
    // True while SaveForExit runs (its question may be up): no other save starts meanwhile.
    bool Exiting() const { return exiting; }
    // Windows asks whether the session may end, then ends it (`ending`): the desks are saved once.
    bool OnQueryEndSession();
    void OnEndSession(bool ending);

private:
    // Writes "Media" then "Media_bak" (a full disk first gives up the picture cache); "" when both
    // were written, else a line per file that failed.
    std::string Write();
    // True when both files on disk already hold exactly the desks in memory.
    bool StoredMatch();

    DeskModel& model;
    LiveDesk& live;
    const Window& owner;
    const std::string& dataFolder;
    bool exiting = false;
    bool sessionSaved = false;
    // Pending since firstUnsavedTick; a failure of such a save was reported already (reset by the
    // next save that succeeds).
    bool pending = false;
    DWORD firstUnsavedTick = 0;
    bool failureReported = false;
};

}  // namespace sona
