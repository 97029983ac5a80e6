#include "app/DeskStartup.h"

#include <windows.h>

#include "platform/CommonDialogs.h"
#include "platform/FileNames.h"
#include "platform/UserMessage.h"
#include "res/resource.h"
#include "store/DamagedCopies.h"
#include "store/Resources.h"

namespace sona {

bool WriteStartFiles(const std::string& dataFolder, std::string* packPath) {
    std::string pack = dataFolder + "EnglishLang_src";
    bool packWritten = ExtractResourceToFile(IDR_LANG_PACK, "IDR_ENG_LANG", pack.c_str()) == 1;
    // The file is polled until it exists; the wait is bounded so a slow disk still lets the
    // program start. A write that failed (a folder that cannot be written) leaves nothing to wait
    // for: the program starts at once, without its language pack. The write above is synchronous
    // and closed, so there is nothing more to wait for once the file is seen.
    for (int waited = 0; packWritten && !FileStatusOk(pack) && waited < 3000; waited += 10) Sleep(10);
    std::string demoJpg = dataFolder + "demo01.jpg";
    if (!FileStatusOk(demoJpg)) ExtractResourceToFile(IDR_DEMO_JPG, "IDR_RES", demoJpg.c_str());
    std::string demoMp3 = dataFolder + "demo01.mp3";
    if (!FileStatusOk(demoMp3)) ExtractResourceToFile(IDR_DEMO_MP3, "IDR_RES", demoMp3.c_str());
    *packPath = pack;
    // Seen again after the demo files: only a pack that is there is read.
    return packWritten && FileStatusOk(pack);
}

void StoreStartup::Load(const std::string& dataFolder, DeskCollection* store) {
    if (LoadDeskStore(dataFolder + "Media", dataFolder, store)) return;
    ClearAllDesks(store);
    // A "Media" that is there but cannot be read whole would be overwritten by the next save,
    // and with it whatever the backup lacks: it is kept aside first.
    damaged = PathExists(dataFolder + "Media");
    if (damaged) KeepDamaged(dataFolder, "Media");
    fromBackup = LoadDeskStore(dataFolder + "Media_bak", dataFolder, store);
    // A backup that is there but cannot be read whole would be overwritten as well.
    if (!fromBackup && PathExists(dataFolder + "Media_bak")) {
        damaged = true;
        KeepDamaged(dataFolder, "Media_bak");
    }
}

void StoreStartup::KeepDamaged(const std::string& dataFolder, const char* name) {
    // Renamed, not copied: a file that cannot be read may not copy either, and its bytes stay
    // exactly as they were. Each copy gets a name of its own and never replaces another; only
    // the newest few of each file are kept.
    SYSTEMTIME t;
    GetLocalTime(&t);
    CopyTime when{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
    std::string from = dataFolder + name;
    for (int attempt = 1; attempt < 1000; attempt++) {
        std::string to = dataFolder + DamagedCopyName(name, when, attempt);
        if (ReplaceFile(from, to, MOVEFILE_WRITE_THROUGH)) {
            copies.push_back(to);
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    for (const std::string& old : DamagedCopiesToDrop(FilesIn(dataFolder), name)) RemoveFile(dataFolder + old);
}

void StoreStartup::Report() const {
    std::string text = fromBackup ? "The desks file \"Media\" could not be read, so the desks were read from the "
                                    "backup \"Media_bak\"."
                                  : "The desks file \"Media\" could not be read, nor all of its backup "
                                    "\"Media_bak\": the desks that could be read are shown.";
    if (!copies.empty()) {
        text += copies.size() == 1 ? "\n\nThe damaged file has been kept as:" : "\n\nThe damaged files have been kept as:";
        for (const std::string& copy : copies) text += "\n\"" + copy + "\"";
    }
    ShowUserMessage(text, MB_OK | MB_ICONWARNING);
}

}  // namespace sona
