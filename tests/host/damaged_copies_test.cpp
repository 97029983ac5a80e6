// The names damaged store files are set aside under, and which of them are kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/DamagedCopies.h"

namespace sona {
namespace {

TEST(DamagedCopies, NamesCarryTheStoreTheTimeAndAnAttempt) {
    CopyTime t{2026, 12, 11, 3, 5, 9};
    EXPECT_EQ(DamagedCopyName("Media", t), "Media.damaged-20261211-030509");
    EXPECT_EQ(DamagedCopyName("Media_bak", t, 1), "Media_bak.damaged-20261211-030509");
    EXPECT_EQ(DamagedCopyName("Media", t, 3), "Media.damaged-20261211-030509-3");
}

TEST(DamagedCopies, TheNewestAreKeptOfEachStoreAlone) {
    std::vector<std::string> names = {
        "Media",
        "Media_bak",
        "Media.damaged",                       // an older version's copy: the oldest of all
        "Media.damaged-20261211-030509-10",
        "Media.damaged-20261211-030509",
        "Media.damaged-20261211-030509-9",
        "Media.damaged-20250101-000000",
        "Media_bak.damaged-20240101-000000",   // another store's copy
        "Media.damaged-2026121-030509",        // not a copy's name
        "Media.damaged-20261211-030509-x",
        "Media.damaged-20261211-030509.tmp",
        "Notes.txt",
    };
    EXPECT_EQ(DamagedCopiesToDrop(names, "Media", 2),
              (std::vector<std::string>{"Media.damaged", "Media.damaged-20250101-000000",
                                        "Media.damaged-20261211-030509"}));
    EXPECT_EQ(DamagedCopiesToDrop(names, "Media", 5), std::vector<std::string>{});
    EXPECT_EQ(DamagedCopiesToDrop(names, "Media_bak", 0),
              std::vector<std::string>{"Media_bak.damaged-20240101-000000"});
    EXPECT_EQ(DamagedCopiesToDrop(names, "Media_bak", 1), std::vector<std::string>{});
}

}  // namespace
}  // namespace sona
