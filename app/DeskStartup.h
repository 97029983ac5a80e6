// What start-up does in the data folder before the main window shows: the language pack and the
// demo files written out, and the desks read from "Media", or from "Media_bak" when "Media" cannot
// be read whole. A store file that cannot be read whole is set aside under a name of its own
// before anything can overwrite it, and the user is told once the window is up.
#pragma once
#include <string>
#include <vector>

#include "store/DeskStore.h"

namespace sona {

// Writes the language pack (every start) and the demo picture and song (when missing) into
// `dataFolder`; true when the pack is there to be read, as `packPath`.
bool WriteStartFiles(const std::string& dataFolder, std::string* packPath);

class StoreStartup {
public:
    // Reads the desks of `dataFolder` into `store`, from the backup when "Media" cannot be read.
    void Load(const std::string& dataFolder, DeskCollection* store);
    // True when a store file could not be read whole: the user is to be told (Report).
    bool Damaged() const { return damaged; }
    // Tells the user where the desks came from and where the damaged files were kept.
    void Report() const;

private:
    void KeepDamaged(const std::string& dataFolder, const char* name);

    bool damaged = false;
    bool fromBackup = false;
    std::vector<std::string> copies;  // where the damaged files were set aside
};

}  // namespace sona
