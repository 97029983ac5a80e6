// A desk's item windows are made and taken down over several turns of the message loop. These
// tests step the turns one window at a time and check what the user would see at each step and
// that the live list keeps entry i for record i whatever happens in between.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/MainDeskWindow.h"
#include "items/ItemIds.h"
#include "items/PictureItem.h"

using namespace sona;

namespace {

// Pictures whose files are not there: each still gets its window (the grey panel), and nothing
// waits for a decoder.
std::string MissingPicture(int desk, int i) {
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "C:\\sonadesk-no-such-folder\\desk%d-picture%02d.jpg", desk, i);
    return path;
}

class DeskBuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedTurn = LiveDesk::turnMs;
        ASSERT_TRUE(desk.CreateModeless(nullptr));
        desk.Live().Clear();
        desk.Model().CreateDesk();
        desk.Model().CreateDesk();
        // One window per turn.
        LiveDesk::turnMs = 0;
    }
    void TearDown() override {
        LiveDesk::turnMs = savedTurn;
        desk.Live().Clear();
        desk.DestroyWindow();
    }
    void Fill(uint32_t d, int count) {
        ASSERT_TRUE(desk.Model().SelectDesk(d));
        for (int i = 0; i < count; i++) desk.Model().AppendRecord(kItemPicture, PictureRecord(MissingPicture(d, i), i));
    }
    static RecordPtr PictureRecord(const std::string& path, int i) {
        RecordPtr rec = NewRecord(kItemPicture);
        auto* p = (PictureItemRecord*)rec.get();
        std::strncpy(p->path, path.c_str(), sizeof p->path - 1);
        p->rect = RelativeRect{0.05f + 0.02f * i, 0.1f + 0.03f * i, 0.3f + 0.02f * i, 0.45f + 0.03f * i};
        return rec;
    }
    // Entries that have their window, and whether those form an unbroken run from the first.
    size_t Built(bool* prefix = nullptr) const {
        size_t n = 0;
        bool gap = false, ordered = true;
        for (auto& item : desk.Live().Items()) {
            if (item && item->ItemWindow()) {
                n++;
                if (gap) ordered = false;
            } else {
                gap = true;
            }
        }
        if (prefix) *prefix = ordered;
        return n;
    }
    // Every live entry shows the record at its own index.
    void ExpectAligned() const {
        ASSERT_EQ(desk.Live().Items().size(), desk.Model().RecordCount());
        for (size_t i = 0; i < desk.Live().Items().size(); i++) {
            auto* picture = static_cast<PictureItem*>(desk.Live().Items()[i].get());
            ASSERT_NE(picture, nullptr) << i;
            const auto* rec = (const PictureItemRecord*)desk.Model().desks()[desk.Model().currentDesk()][i].get();
            EXPECT_EQ(picture->path, std::string(rec->path)) << i;
        }
    }
    MainDeskWindow desk;
    double savedTurn = 25;
};

}  // namespace

TEST_F(DeskBuildTest, WindowsComeOneTurnAtATimeInRecordOrder) {
    Fill(0, 5);
    desk.Live().Show();
    ASSERT_EQ(desk.Live().Items().size(), 5u);
    bool prefix = false;
    // The switch itself makes no window; each later turn makes the next one.
    EXPECT_EQ(Built(&prefix), 0u);
    EXPECT_TRUE(desk.Live().Building());
    for (size_t k = 1; k <= 5; k++) {
        desk.Live().BuildTurn();
        EXPECT_EQ(Built(&prefix), k);
        EXPECT_TRUE(prefix) << k;
    }
    EXPECT_FALSE(desk.Live().Building());
    ExpectAligned();
    for (auto& item : desk.Live().Items()) EXPECT_TRUE(IsWindowVisible(item->ItemWindow()));
}

TEST_F(DeskBuildTest, TheOldDesksWindowsAreHiddenBeforeNewOnesComeThenDestroyed) {
    Fill(1, 3);
    Fill(0, 4);
    desk.Live().Show();
    desk.Live().FinishBuild();
    std::vector<HWND> old;
    for (auto& item : desk.Live().Items()) old.push_back(item->ItemWindow());
    ASSERT_EQ(old.size(), 4u);

    ASSERT_TRUE(desk.Model().SelectDesk(1));
    desk.Live().Show();
    for (int turn = 0; turn < 40 && desk.Live().Building(); turn++) {
        int oldShown = 0;
        for (HWND w : old)
            if (IsWindow(w) && IsWindowVisible(w)) oldShown++;
        if (oldShown) EXPECT_EQ(Built(), 0u) << "turn " << turn;
        desk.Live().BuildTurn();
    }
    EXPECT_FALSE(desk.Live().Building());
    for (HWND w : old) EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(Built(), 3u);
    ExpectAligned();
}

TEST_F(DeskBuildTest, LeavingADeskHalfBuiltLeavesNoWindowOfIt) {
    Fill(1, 2);
    Fill(0, 6);
    desk.Live().Show();
    desk.Live().BuildTurn();
    desk.Live().BuildTurn();
    std::vector<HWND> made;
    for (auto& item : desk.Live().Items())
        if (item) made.push_back(item->ItemWindow());
    ASSERT_EQ(made.size(), 2u);
    ASSERT_TRUE(desk.Model().SelectDesk(1));
    desk.Live().Show();
    desk.Live().FinishBuild();
    for (HWND w : made) EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(Built(), 2u);
    ExpectAligned();
}

TEST_F(DeskBuildTest, RemovingAnItemWhileTheDeskIsBuiltKeepsEveryOtherRecordShown) {
    Fill(0, 5);
    desk.Live().Show();
    desk.Live().BuildTurn();
    desk.Live().BuildTurn();
    ASSERT_EQ(Built(), 2u);
    desk.RemoveItem(desk.Live().Items()[0]->ItemWindow());
    desk.Live().FinishBuild();
    ASSERT_EQ(desk.Model().RecordCount(), 4u);
    EXPECT_EQ(Built(), 4u);
    ExpectAligned();
    EXPECT_EQ(static_cast<PictureItem*>(desk.Live().Items()[0].get())->path, MissingPicture(0, 1));
}

TEST_F(DeskBuildTest, AnItemAddedWhileTheDeskIsBuiltStaysLastAndTheRestFollow) {
    Fill(0, 4);
    desk.Live().Show();
    auto added = std::make_unique<PictureItem>();
    std::string path = MissingPicture(9, 9);
    added->LoadPicture(path);
    ASSERT_TRUE(added->Create(RECT{40, 40, 240, 190}, desk.hwnd, 0));
    HWND addedWindow = added->ItemWindow();
    desk.AppendItem(std::move(added), PictureRecord(path, 0));
    desk.Live().FinishBuild();
    ASSERT_EQ(desk.Live().Items().size(), 5u);
    EXPECT_EQ(Built(), 5u);
    EXPECT_EQ(desk.Live().Items()[4]->ItemWindow(), addedWindow);
    ExpectAligned();
}

// Positions of windows not made yet are not lost by a save or a switch in the middle.
TEST_F(DeskBuildTest, SyncingAHalfBuiltDeskKeepsTheStoredPlacesOfTheRest) {
    Fill(0, 4);
    std::vector<std::vector<uint8_t>> before;
    for (auto& rec : desk.Model().desks()[0]) before.emplace_back(rec.get(), rec.get() + sizeof(PictureItemRecord));
    desk.Live().Show();
    desk.Live().Sync();
    for (size_t i = 1; i < before.size(); i++)
        EXPECT_EQ(std::memcmp(desk.Model().desks()[0][i].get(), before[i].data(), before[i].size()), 0) << i;
}
