// Names for the copies of store files that could not be read. A damaged "Media" (or "Media_bak")
// is set aside under a name of its own before anything can overwrite it; no copy ever replaces
// another, and only the newest few of each file are kept, so a disk is never filled by them.
// Portable: no windows.h.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace sona {

// How many set-aside copies of each store file are kept; older ones are deleted.
constexpr size_t kDamagedCopiesKept = 5;

struct CopyTime {
    int year, month, day, hour, minute, second;
};

// "<store>.damaged-YYYYMMDD-HHMMSS"; attempts from 2 on add "-<attempt>", for a second copy made
// within the same second.
std::string DamagedCopyName(const std::string& storeName, const CopyTime& t, int attempt = 1);

// Of the file names in a folder, the set-aside copies of `storeName` that go so that the newest
// `keep` stay, oldest first. The names sort by their time; a copy of an older version of the
// program (plain "<store>.damaged") counts as the oldest.
std::vector<std::string> DamagedCopiesToDrop(const std::vector<std::string>& names, const std::string& storeName,
                                             size_t keep = kDamagedCopiesKept);

}  // namespace sona
