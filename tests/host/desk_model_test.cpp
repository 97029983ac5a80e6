// The desk model: desks created, removed and shown, the strip's scrolling and hits, and an
// item's rectangle through its record and back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/DeskModel.h"

namespace sona {
namespace {

// Applies a sequence of steps: C creates a desk, R removes the shown one, S<n> shows desk n,
// < and > scroll one step, T brings the shown tab into view.
void Steps(DeskModel& m, const std::string& steps) {
    for (size_t i = 0; i < steps.size(); i++) {
        switch (steps[i]) {
        case 'C': m.CreateDesk(); break;
        case 'R': m.RemoveCurrentDesk(); break;
        case '<': m.Scroll(-1); break;
        case '>': m.Scroll(+1); break;
        case 'T': m.ShowCurrentTab(); break;
        case 'S': {
            size_t end = i + 1;
            while (end < steps.size() && isdigit((unsigned char)steps[end])) end++;
            m.SelectDesk((uint32_t)std::stoul(steps.substr(i + 1, end - i - 1)));
            i = end - 1;
            break;
        }
        }
    }
}

std::string Repeat(char c, int n) { return std::string((size_t)n, c); }

TEST(DeskModel, SequencesOfCreateRemoveAndShow) {
    struct Case {
        std::string steps;
        size_t desks;
        uint32_t current, first;
    } cases[] = {
        {"", 0, 0, 0},
        {"C", 1, 0, 0},
        {"CCC", 3, 2, 0},
        {"CCCS0", 3, 0, 0},
        {"CCCS7", 3, 2, 0},  // no such desk: nothing changes
        {"CCCR", 2, 1, 0},   // the last one goes: the one before it is shown
        {"CCCS0R", 2, 0, 0}, // the first one goes: the next one (now first) is shown
        {"CR", 1, 0, 0},     // the only desk is emptied, never removed
        {"CRR", 1, 0, 0},
        {"R", 0, 0, 0},
        // Nine desks fill the strip; the tenth makes it scroll, shown at the end.
        {Repeat('C', 9), 9, 8, 0},
        {Repeat('C', 10), 10, 9, 3},
        {Repeat('C', 12), 12, 11, 5},
        {Repeat('C', 12) + "S0T", 12, 0, 0},
        {Repeat('C', 12) + "S0T>>", 12, 0, 2},
        {Repeat('C', 12) + "S0" + Repeat('>', 9), 12, 0, 5},  // never past the limit
        {Repeat('C', 12) + Repeat('<', 9), 12, 11, 0},
        {Repeat('C', 12) + "R", 11, 10, 4},  // the strip stays in range
        {Repeat('C', 10) + "RR", 8, 7, 0},   // back to a strip that does not scroll
        {Repeat('C', 12) + "S3T" + Repeat('R', 3), 9, 3, 0},
    };
    for (const Case& c : cases) {
        DeskModel m;
        Steps(m, c.steps);
        EXPECT_EQ(m.DeskCount(), c.desks) << c.steps;
        EXPECT_EQ(m.desks().size(), c.desks) << c.steps;
        EXPECT_EQ(m.currentDesk(), c.current) << c.steps;
        EXPECT_EQ(m.firstVisibleDesk(), c.first) << c.steps;
        EXPECT_LE(m.firstVisibleDesk(), m.ScrollLimit()) << c.steps;
    }
}

TEST(DeskModel, ScrollLimitsForOneToThirtyDesks) {
    // Nine cells; once it scrolls, seven of them show tabs and at the limit the last desk sits in
    // the last. (Below ten desks the limit is only arithmetic: the strip does not scroll.)
    const uint32_t limits[31] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8,
                                 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23};
    for (int n = 1; n <= 30; n++) {
        DeskModel m;
        Steps(m, Repeat('C', n));
        EXPECT_EQ(m.Slots(), 9);
        EXPECT_EQ(m.Scrolls(), n > 9) << n;
        EXPECT_EQ(m.ScrollLimit(), limits[n]) << n;
        // A new desk is shown in the last tab cell.
        if (m.Scrolls()) {
            EXPECT_EQ(m.firstVisibleDesk() + 7 - 1, (uint32_t)n - 1) << n;
        }
    }
}

TEST(DeskModel, WhatAClickOnTheStripHits) {
    // Cells are 34 pixels from x 16, y 9 to 43.
    struct Case {
        int desks;
        std::string scroll;
        int x, y;
        StripHit::Kind kind;
        uint32_t desk;
    } cases[] = {
        {3, "", 16, 9, StripHit::kTab, 0},
        {3, "", 49, 42, StripHit::kTab, 0},
        {3, "", 50, 20, StripHit::kTab, 1},
        {3, "", 84, 20, StripHit::kTab, 2},
        {3, "", 118, 20, StripHit::kNothing, 0},  // a cell without a desk
        {3, "", 15, 20, StripHit::kNothing, 0},
        {3, "", 20, 8, StripHit::kNothing, 0},
        {3, "", 20, 43, StripHit::kNothing, 0},
        {9, "", 16 + 8 * 34, 20, StripHit::kTab, 8},
        {9, "", 16 + 9 * 34, 20, StripHit::kNothing, 0},  // past the ninth cell
        {12, "", 20, 20, StripHit::kLeftArrow, 0},
        {12, "", 16 + 8 * 34, 20, StripHit::kRightArrow, 0},
        {12, "", 16 + 1 * 34, 20, StripHit::kTab, 5},  // scrolled to the end: desks 5 to 11
        {12, "<<<<<", 16 + 1 * 34, 20, StripHit::kTab, 0},
        {12, "<<<<<", 16 + 7 * 34, 20, StripHit::kTab, 6},
    };
    for (const Case& c : cases) {
        DeskModel m;
        Steps(m, Repeat('C', c.desks) + c.scroll);
        StripHit hit = m.HitAt(c.x, c.y);
        EXPECT_EQ(hit.kind, c.kind) << c.desks << " desks at " << c.x << "," << c.y;
        if (c.kind == StripHit::kTab) {
            EXPECT_EQ(hit.desk, c.desk) << c.desks << " desks at " << c.x;
        }
    }
}

TEST(DeskModel, RecordsGoToTheShownDeskAndComeOutByIndex) {
    DeskModel m;
    m.AppendRecord(kItemPicture, NewRecord(kItemPicture));  // no desk yet: nowhere to go
    EXPECT_EQ(m.RecordCount(), 0u);
    Steps(m, "CC");
    m.AppendRecord(kItemPicture, NewRecord(kItemPicture));
    m.AppendRecord(kItemText, NewRecord(kItemText));
    m.AppendRecord(kItemMusic, NewRecord(kItemMusic));
    ASSERT_EQ(m.RecordCount(), 3u);
    EXPECT_EQ(m.desks()[0].size(), 0u);
    EXPECT_TRUE(m.RemoveRecord(1));
    EXPECT_FALSE(m.RemoveRecord(2));
    ASSERT_EQ(m.RecordCount(), 2u);
    EXPECT_EQ(m.TypeAt(0), (uint32_t)kItemPicture);
    EXPECT_EQ(m.TypeAt(1), (uint32_t)kItemMusic);
    EXPECT_TRUE(m.RecordAt(1).media());
    EXPECT_FALSE(m.RecordAt(2));
    m.SelectDesk(0);
    EXPECT_EQ(m.RecordCount(), 0u);
}

TEST(DeskModel, AnItemsRectangleRoundTripsThroughItsRecord) {
    struct Case {
        PixelRect place;
        int32_t w, h;
    } cases[] = {
        {{0, 50, 360, 290}, 800, 500},
        {{-300, -20, 1700, 1000}, 800, 500},
        {{133, 77, 391, 211}, 801, 513},
        {{1900, 1000, 2300, 1300}, 1920, 1080},
    };
    for (const Case& c : cases) {
        RecordPtr bytes = NewRecord(kItemPicture);
        RecordView record = ViewRecord(kItemPicture, bytes.get());
        DeskModel::SetPlace(record, c.place, c.w, c.h);
        PixelRect back = DeskModel::PlaceOf(record, c.w, c.h);
        EXPECT_EQ(back.left, c.place.left);
        EXPECT_EQ(back.top, c.place.top);
        EXPECT_EQ(back.right, c.place.right);
        EXPECT_EQ(back.bottom, c.place.bottom);
        // Synced where it already is, the record keeps every bit.
        RelativeRect before = *record.rect();
        DeskModel::SyncPlace(record, back, c.w, c.h);
        EXPECT_EQ(std::memcmp(&before, record.rect(), sizeof before), 0);
    }
}

}  // namespace
}  // namespace sona
