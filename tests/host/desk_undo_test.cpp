// Taking items and desks out of the desk model and putting them back, the stack of steps that
// remembers them, and the order of a desk's records (the last one lies on top).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/DeskModel.h"
#include "app/UndoStack.h"

namespace sona {
namespace {

// A picture record whose path names it, with every other byte set to a pattern of its own, so a
// record that came back can be compared byte for byte.
RecordPtr Picture(const std::string& name) {
    RecordPtr r = NewRecord(kItemPicture);
    for (size_t i = 0; i < sizeof(PictureItemRecord); i++) r[i] = (uint8_t)(i * 7 + name.size());
    std::memcpy(r.get(), name.c_str(), name.size() + 1);
    return r;
}

RecordPtr Note(const std::string& text) {
    RecordPtr r = NewRecord(kItemText);
    for (size_t i = 0; i < sizeof(TextItemRecord); i++) r[i] = (uint8_t)(i * 13);
    std::memcpy(r.get(), text.c_str(), text.size() + 1);
    return r;
}

// The shown desk as a string of names ("a b c").
std::string Names(DeskModel& m) {
    std::string out;
    for (size_t i = 0; i < m.RecordCount(); i++) {
        if (!out.empty()) out += ' ';
        RecordView v = m.RecordAt(i);
        out += v.picture() ? v.picture()->path : v.text()->text;
    }
    return out;
}

// Desks 0.. with the given names as pictures; the last desk shown.
DeskModel Desks(const std::vector<std::vector<std::string>>& desks) {
    DeskModel m;
    for (auto& names : desks) {
        m.CreateDesk();
        for (auto& n : names) m.AppendRecord(kItemPicture, Picture(n));
    }
    return m;
}

TEST(RecordOrder, MoveRecordKeepsTheOthersInOrder) {
    struct Case {
        size_t from, to;
        bool ok;
        std::string after;
    } cases[] = {
        {0, 3, true, "b c d a"},  // to the top
        {3, 0, true, "d a b c"},  // to the bottom
        {1, 3, true, "a c d b"},
        {2, 0, true, "c a b d"},
        {3, 3, true, "a b c d"},  // already on top
        {0, 0, true, "a b c d"},
        {4, 0, false, "a b c d"},
        {0, 4, false, "a b c d"},
    };
    for (const Case& c : cases) {
        DeskModel m = Desks({{"a", "b", "c", "d"}});
        EXPECT_EQ(m.MoveRecord(c.from, c.to), c.ok) << c.from << "->" << c.to;
        EXPECT_EQ(Names(m), c.after) << c.from << "->" << c.to;
        // Types move with their records.
        for (size_t i = 0; i < m.RecordCount(); i++) EXPECT_EQ(m.TypeAt(i), kItemPicture);
    }
}

TEST(RecordOrder, MovedTypesStayWithTheirRecords) {
    DeskModel m;
    m.CreateDesk();
    m.AppendRecord(kItemPicture, Picture("p"));
    m.AppendRecord(kItemText, Note("n"));
    ASSERT_TRUE(m.MoveRecord(1, 0));
    EXPECT_EQ(m.TypeAt(0), kItemText);
    EXPECT_EQ(m.TypeAt(1), kItemPicture);
    EXPECT_EQ(Names(m), "n p");
    // The order is what the store writes: it survives a save and a load.
    std::vector<uint8_t> bytes = SerializeDeskStore(m.Store());
    DeskCollection back;
    ASSERT_TRUE(LoadDeskStoreFromBytes(bytes.data(), bytes.size(), "", &back));
    ASSERT_EQ(back.desks[0].size(), 2u);
    EXPECT_EQ(back.desks[0][0].type, (uint32_t)kItemText);
    EXPECT_STREQ((const char*)back.desks[0][1].get(), "p");
}

TEST(TakeAndPutBack, AnItemComesBackAtItsIndexWithItsBytes) {
    for (size_t index = 0; index < 3; index++) {
        DeskModel m = Desks({{"a", "b", "c"}});
        RecordPtr expected = CopyRecord(kItemPicture, m.Store().desks[0][index].get());
        RemovedItem taken = m.TakeRecord(index);
        ASSERT_TRUE(taken);
        EXPECT_EQ(taken.index, index);
        EXPECT_EQ(m.RecordCount(), 2u);
        EXPECT_EQ(m.PutBackRecord(std::move(taken)), index);
        EXPECT_EQ(Names(m), "a b c");
        EXPECT_EQ(std::memcmp(m.Store().desks[0][index].get(), expected.get(), sizeof(PictureItemRecord)), 0);
    }
}

TEST(TakeAndPutBack, AnItemGoesBackToItsOwnDeskAndThatDeskIsShown) {
    DeskModel m = Desks({{"a", "b"}, {"c"}, {}});
    m.SelectDesk(0);
    RemovedItem taken = m.TakeRecord(0);
    m.SelectDesk(2);
    EXPECT_EQ(m.PutBackRecord(std::move(taken)), 0u);
    EXPECT_EQ(m.currentDesk(), 0u);
    EXPECT_EQ(Names(m), "a b");
}

TEST(TakeAndPutBack, PlacesThatNoLongerExistAreClamped) {
    // The desk has fewer records now: the item goes on top.
    DeskModel m = Desks({{"a", "b", "c"}});
    RemovedItem taken = m.TakeRecord(2);
    m.TakeRecord(1);
    EXPECT_EQ(m.PutBackRecord(std::move(taken)), 1u);
    EXPECT_EQ(Names(m), "a c");
    // Nothing taken, or no desk at all: nothing happens.
    EXPECT_FALSE(m.TakeRecord(9));
    EXPECT_EQ(m.PutBackRecord(RemovedItem{}), SIZE_MAX);
    DeskModel empty;
    RemovedItem orphan;
    orphan.type = kItemPicture;
    orphan.record = Picture("x");
    EXPECT_EQ(empty.PutBackRecord(std::move(orphan)), SIZE_MAX);
}

TEST(TakeAndPutBack, ADeskComesBackAtItsPlaceInTheStrip) {
    for (uint32_t d = 0; d < 3; d++) {
        DeskModel m = Desks({{"a"}, {"b", "c"}, {"d"}});
        m.SelectDesk(d);
        std::string names = Names(m);
        RemovedDesk taken = m.TakeCurrentDesk();
        EXPECT_FALSE(taken.onlyEmptied);
        EXPECT_EQ(m.DeskCount(), 2u);
        m.PutBackDesk(std::move(taken));
        EXPECT_EQ(m.DeskCount(), 3u);
        EXPECT_EQ(m.currentDesk(), d);
        EXPECT_EQ(Names(m), names);
    }
}

TEST(TakeAndPutBack, TheOnlyDeskGetsItsItemsBackBelowNewOnes) {
    DeskModel m = Desks({{"a", "b"}});
    RemovedDesk taken = m.TakeCurrentDesk();
    EXPECT_TRUE(taken.onlyEmptied);
    EXPECT_EQ(m.DeskCount(), 1u);
    EXPECT_EQ(m.RecordCount(), 0u);
    m.AppendRecord(kItemPicture, Picture("new"));
    m.CreateDesk();
    m.PutBackDesk(std::move(taken));
    EXPECT_EQ(m.DeskCount(), 2u);
    EXPECT_EQ(m.currentDesk(), 0u);
    EXPECT_EQ(Names(m), "a b new");
}

TEST(TakeAndPutBack, ADeskPutBackScrollsItsTabIntoView) {
    std::vector<std::vector<std::string>> desks(12);
    DeskModel m = Desks(desks);
    m.SelectDesk(0);
    m.ShowCurrentTab();
    RemovedDesk taken = m.TakeCurrentDesk();
    m.SelectDesk(10);
    m.ShowCurrentTab();
    ASSERT_GT(m.firstVisibleDesk(), 0u);
    m.PutBackDesk(std::move(taken));
    EXPECT_EQ(m.currentDesk(), 0u);
    EXPECT_EQ(m.firstVisibleDesk(), 0u);
}

TEST(StepDesk, PreviousAndNextStopAtTheEndsAndKeepTheTabInView) {
    struct Case {
        uint32_t from;
        int step;
        bool ok;
        uint32_t to;
    } cases[] = {
        {0, -1, false, 0}, {0, +1, true, 1}, {5, -1, true, 4}, {11, +1, false, 11}, {10, +1, true, 11},
    };
    for (const Case& c : cases) {
        DeskModel m = Desks(std::vector<std::vector<std::string>>(12));
        m.SelectDesk(c.from);
        m.ShowCurrentTab();
        EXPECT_EQ(m.StepDesk(c.step), c.ok) << c.from << " " << c.step;
        EXPECT_EQ(m.currentDesk(), c.to);
        // The strip shows tabs firstVisible .. firstVisible + 6 while it scrolls.
        EXPECT_LE(m.firstVisibleDesk(), m.currentDesk());
        EXPECT_LE(m.currentDesk(), m.firstVisibleDesk() + 6);
    }
}

TEST(UndoStack, KeepsTheLastTwentyNewestFirst) {
    UndoStack stack;
    for (int i = 0; i < 25; i++) {
        RemovedItem item;
        item.type = kItemPicture;
        item.index = (size_t)i;
        item.record = Picture("p");
        stack.PushItem(std::move(item));
    }
    EXPECT_EQ(stack.Size(), UndoStack::kDepth);
    UndoStep step;
    for (int i = 24; i >= 5; i--) {
        ASSERT_TRUE(stack.Pop(&step));
        EXPECT_EQ(step.kind, UndoStep::kItem);
        EXPECT_EQ(step.item.index, (size_t)i);
    }
    EXPECT_FALSE(stack.Pop(&step));
}

TEST(UndoStack, MixedStepsComeBackInReverseAndEmptyItemsAreNotKept) {
    DeskModel m = Desks({{"a", "b"}, {"c"}});
    UndoStack stack;
    stack.PushItem(m.TakeRecord(0));  // desk 1: c
    stack.PushItem(m.TakeRecord(5));  // nothing there: not a step
    m.SelectDesk(0);
    stack.PushItem(m.TakeRecord(1));  // b
    stack.PushDesk(m.TakeCurrentDesk());
    EXPECT_EQ(stack.Size(), 3u);
    UndoStep step;
    ASSERT_TRUE(stack.Pop(&step));
    ASSERT_EQ(step.kind, UndoStep::kDesk);
    m.PutBackDesk(std::move(step.desk));
    EXPECT_EQ(Names(m), "a");
    ASSERT_TRUE(stack.Pop(&step));
    EXPECT_EQ(m.PutBackRecord(std::move(step.item)), 1u);
    EXPECT_EQ(Names(m), "a b");
    ASSERT_TRUE(stack.Pop(&step));
    m.PutBackRecord(std::move(step.item));
    EXPECT_EQ(m.currentDesk(), 1u);
    EXPECT_EQ(Names(m), "c");
    EXPECT_TRUE(stack.Empty());
}

}  // namespace
}  // namespace sona
