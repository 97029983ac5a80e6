// Where the program keeps its files. Beside the program first, so that a copy on a stick carries
// its desks along; a per-user folder when the program's folder cannot be written (Program Files,
// a read-only share, a locked-down machine), so that the desks can always be saved.
#pragma once
#include <string>

namespace sona {

// The data folder, decided once per process and created again whenever it is missing: the
// executable's folder followed by "\Data\" when a file can be made there, otherwise
// %LOCALAPPDATA%\Varnel\Sonadesk\Data\. UTF-8, always ends in a backslash.
std::string GetDataFolder();

struct DataFolderPlace {
    std::string folder;        // what GetDataFolder returns
    std::string besideExe;     // the first choice, "<exe folder>\Data\"
    bool perUser = false;      // the program's folder could not be written
    bool copiedStore = false;  // a store beside the program was copied to the per-user folder now
};
const DataFolderPlace& GetDataFolderPlace();

// True when a new file can be created in `folder` (UTF-8, ending in a backslash): the folder's
// attributes do not tell (a read-only share, a volume mounted read-only, access rights).
bool FolderIsWritable(const std::string& folder);

// Makes `folder` (UTF-8) and every missing folder above it. True when it exists afterwards.
bool CreateFolderTree(const std::string& folder);

// The per-user folder has not yet been named to the user: true once, and never again after
// MarkDataFolderShown.
bool DataFolderNeedsNotice();
void MarkDataFolderShown();

}  // namespace sona
