// An item's layer, opacity and click-through as its record's tag keeps them: the steps, the tag's
// other fields kept, the tag through a save and a load, and a reader of the plain format that
// knows nothing of tags.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/DeskModel.h"
#include "items/ItemSettings.h"
#include "store/ByteOrder.h"
#include "store/DeskRecords.h"
#include "store/DeskStore.h"

using namespace sona;

TEST(ItemSettings, OpacityStepsUpAndDownAndStopsAtTheEnds) {
    struct Case {
        int from, delta, to;
    } cases[] = {
        {100, -1, 80}, {80, -1, 60}, {60, -1, 40}, {40, -1, 20}, {20, -1, 20},
        {20, +1, 40},  {40, +1, 60}, {60, +1, 80}, {80, +1, 100}, {100, +1, 100},
        {70, -1, 60},  {70, +1, 80}, {1, +1, 20},  {1, -1, 20},   {50, 0, 50},
    };
    for (const Case& c : cases) EXPECT_EQ(StepOpacity((uint8_t)c.from, c.delta), c.to) << c.from << " " << c.delta;
}

TEST(ItemSettings, WritingThemKeepsTheExtensionKeyAndUnknownFlags) {
    ItemTag tag;
    tag.extensionKey = 0xA1B2C3D4;
    tag.flags = 0x80;  // a flag of a later program
    ItemSettings s;
    s.layer = kLayerTop;
    s.opacity = 60;
    s.clickThrough = true;
    ItemTag written = TagWithSettings(tag, s);
    EXPECT_EQ(written.extensionKey, 0xA1B2C3D4u);
    EXPECT_EQ(written.flags, 0x80 | kItemClickThrough);
    EXPECT_TRUE(SettingsFromTag(written) == s);
    s.clickThrough = false;
    EXPECT_EQ(TagWithSettings(written, s).flags, 0x80);
    // Untouched bytes mean the defaults: an ordinary, opaque item that takes the mouse.
    EXPECT_TRUE(SettingsFromTag(ItemTag{}) == ItemSettings{});
}

namespace {

// One desk of every kind, each record with its own settings.
DeskCollection TaggedDesks(bool withTags) {
    DeskCollection c;
    c.desks.resize(2);
    const uint32_t types[] = {kItemMovie, kItemMusic, kItemPicture, kItemText};
    for (int i = 0; i < 4; i++) {
        RecordPtr rec = NewRecord(types[i]);
        RecordView v = ViewRecord(types[i], rec.get());
        *v.rect() = RelativeRect{0.1f * i, 0.2f, 0.3f + 0.1f * i, 0.4f};
        if (v.text()) {
            std::strcpy(v.text()->text, "note\r\ntext");
            v.text()->textColour = 0x00112233;
            v.text()->font.lfHeight = 14;
            std::strcpy(v.text()->font.lfFaceName, "Arial");
        } else {
            std::string path = "C:\\media\\file" + std::to_string(i);
            SetRecordPath(rec.get(), types[i], path);
        }
        if (withTags) {
            ItemTag tag;
            tag.extensionKey = 100u + i;
            ItemSettings s;
            s.layer = (uint8_t)(i % 3);
            s.opacity = kOpacitySteps[i];
            s.clickThrough = i % 2 == 1;
            v.SetTag(TagWithSettings(tag, s));
        }
        c.desks[i / 2].push_back(StoredRecord{types[i], std::move(rec)});
    }
    c.currentDesk = 1;
    return c;
}

// What a reader of the plain format takes from a file: counts, types and the named fields of each
// record (paths, rectangles, the note's text, colour and font). Reserved bytes are skipped, as
// such a reader skips them.
struct PlainItem {
    uint32_t type;
    std::string pathOrText;
    float rect[4];
    uint32_t colour;
    int32_t fontHeight;
    std::string face;
    bool operator==(const PlainItem& o) const {
        return type == o.type && pathOrText == o.pathOrText && std::memcmp(rect, o.rect, sizeof rect) == 0 &&
               colour == o.colour && fontHeight == o.fontHeight && face == o.face;
    }
};

std::vector<std::vector<PlainItem>> ReadPlain(const std::vector<uint8_t>& file, uint32_t* current) {
    std::vector<std::vector<PlainItem>> desks;
    size_t at = 0;
    auto u32 = [&](size_t pos) { return Load32(file.data() + pos); };
    uint32_t count = u32(0);
    *current = u32(4);
    at = 8;
    for (uint32_t d = 0; d < count; d++) {
        uint32_t items = u32(at);
        at += 4;
        desks.emplace_back();
        for (uint32_t i = 0; i < items; i++) {
            PlainItem item{};
            item.type = u32(at);
            at += 4;
            const uint8_t* r = file.data() + at;
            size_t rectAt = 0;
            if (item.type == kItemText) {
                item.pathOrText = std::string((const char*)r);
                rectAt = 10000;
                item.colour = Load32(r + 10024);
                item.fontHeight = (int32_t)Load32(r + 10032);
                item.face = std::string((const char*)r + 10032 + 28);
                at += 10104;
            } else {
                item.pathOrText = std::string((const char*)r);
                rectAt = item.type == kItemPicture ? 260 : 292;
                at += item.type == kItemPicture ? 292 : 320;
            }
            std::memcpy(item.rect, r + rectAt, sizeof item.rect);
            desks.back().push_back(item);
        }
    }
    EXPECT_EQ(at, file.size());
    return desks;
}

}  // namespace

TEST(ItemSettings, TagsGoThroughASaveAndALoadByteForByte) {
    DeskCollection desks = TaggedDesks(true);
    std::vector<uint8_t> file = SerializeDeskStore(desks);
    DeskCollection loaded;
    ASSERT_TRUE(LoadDeskStoreFromBytes(file.data(), file.size(), "C:\\data\\", &loaded));
    ASSERT_EQ(loaded.desks.size(), 2u);
    for (size_t d = 0; d < 2; d++)
        for (size_t i = 0; i < 2; i++) {
            uint32_t type = loaded.desks[d][i].type;
            ItemTag want = ViewRecord(type, desks.desks[d][i].get()).Tag();
            ItemTag got = ViewRecord(type, loaded.desks[d][i].get()).Tag();
            EXPECT_EQ(got.extensionKey, want.extensionKey);
            EXPECT_TRUE(SettingsFromTag(got) == SettingsFromTag(want)) << d << " " << i;
            EXPECT_EQ(std::memcmp(loaded.desks[d][i].get(), desks.desks[d][i].get(), RecordSize(type)), 0);
        }
    EXPECT_EQ(SerializeDeskStore(loaded), file);
}

TEST(ItemSettings, AReaderOfThePlainFormatReadsTheSameDesksWithOrWithoutTags) {
    std::vector<uint8_t> tagged = SerializeDeskStore(TaggedDesks(true));
    std::vector<uint8_t> plain = SerializeDeskStore(TaggedDesks(false));
    ASSERT_EQ(tagged.size(), plain.size());
    EXPECT_NE(tagged, plain);
    uint32_t currentTagged = 0, currentPlain = 0;
    auto a = ReadPlain(tagged, &currentTagged);
    auto b = ReadPlain(plain, &currentPlain);
    EXPECT_EQ(currentTagged, currentPlain);
    ASSERT_EQ(a.size(), 2u);
    EXPECT_TRUE(a == b);
    EXPECT_EQ(a[0][0].pathOrText, "C:\\media\\file0");
    EXPECT_EQ(a[1][1].pathOrText, "note\r\ntext");
    EXPECT_EQ(a[1][1].face, "Arial");
}

TEST(ItemSettings, StopClickThroughClearsItOnEveryDeskAndKeepsTheRest) {
    DeskModel model;
    model.Store() = TaggedDesks(true);
    EXPECT_TRUE(model.ClearClickThrough());
    EXPECT_FALSE(model.ClearClickThrough());
    DeskCollection want = TaggedDesks(true);
    for (size_t d = 0; d < 2; d++)
        for (size_t i = 0; i < 2; i++) {
            uint32_t type = model.Store().desks[d][i].type;
            ItemTag got = ViewRecord(type, model.Store().desks[d][i].get()).Tag();
            ItemTag before = ViewRecord(type, want.desks[d][i].get()).Tag();
            EXPECT_EQ(got.flags & kItemClickThrough, 0);
            EXPECT_EQ(got.extensionKey, before.extensionKey);
            EXPECT_EQ(got.layer, before.layer);
            EXPECT_EQ(got.opacity, before.opacity);
        }
}
