// The store's extension: full Unicode paths and note texts after the last desk block, tied to
// their records by the key in each record's tag.
#include "store/DeskStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace sona {
namespace {

using Bytes = std::vector<uint8_t>;

void AddDesk(DeskCollection* c) {
    c->desks.emplace_back();
}

// Appends a record of `type` to the last desk with `field` in its path or text field.
RecordView AddRecord(DeskCollection* c, uint32_t type, const std::string& field) {
    RecordPtr r = NewRecord(type);
    std::memcpy(r.get(), field.c_str(), field.size() + 1);
    c->desks.back().push_back(StoredRecord{type, std::move(r)});
    return ViewRecord(type, c->desks.back().back().get());
}

RecordView At(DeskCollection& c, size_t desk, size_t i) {
    return ViewRecord(c.desks[desk][i].type, c.desks[desk][i].get());
}

std::string FullOf(DeskCollection& c, size_t desk, size_t i) {
    const std::string* t = ExtensionText(c, At(c, desk, i));
    return t ? *t : std::string("<none>");
}

bool Load(const Bytes& b, DeskCollection* c, const std::string& folder = "C:\\Sona\\Data\\") {
    return LoadDeskStoreFromBytes(b.data(), b.size(), folder, c);
}

// The desk blocks alone, as the plain format describes them: the reader every older program has.
size_t PlainLength(const Bytes& b) {
    auto u32 = [&](size_t at) {
        return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
    };
    size_t pos = 8;
    for (uint32_t d = 0, n = u32(0); d < n; ++d) {
        uint32_t items = u32(pos);
        pos += 4;
        for (uint32_t i = 0; i < items; ++i) {
            uint32_t type = u32(pos);
            pos += 4 + RecordSize(type);
        }
    }
    return pos;
}

const std::string kGreek = "C:\\Photos\\\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1.jpg";  // Ελλάδα.jpg
const std::string kNote = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1 \xCE\xB1\xCE\xB2\xCE\xB3 "
                          "\xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x98\x80";  // Ελλάδα αβγ 写真 😀

// A collection with a Greek picture, an ASCII picture and a Greek note on one desk.
DeskCollection Sample() {
    DeskCollection c;
    AddDesk(&c);
    RecordView pic = AddRecord(&c, kItemPicture, "C:\\Photos\\??????.jpg");
    SetExtensionText(&c, pic, &kGreek);
    AddRecord(&c, kItemPicture, "C:\\Photos\\plain.jpg");
    RecordView note = AddRecord(&c, kItemText, "?????? ??? ?? ??");
    SetExtensionText(&c, note, &kNote);
    return c;
}

TEST(StoreExtension, RoundTripKeepsFullPathAndNoteText) {
    DeskCollection c = Sample();
    Bytes image = SerializeDeskStore(c);
    DeskCollection back;
    ASSERT_TRUE(Load(image, &back));
    ASSERT_EQ(back.desks[0].size(), 3u);
    EXPECT_EQ(FullOf(back, 0, 0), kGreek);
    EXPECT_EQ(FullOf(back, 0, 1), "<none>");
    EXPECT_EQ(FullOf(back, 0, 2), kNote);
    EXPECT_EQ(SerializeDeskStore(back), image);
}

TEST(StoreExtension, AsciiDeskHasNoTrailerAndUntouchedRecords) {
    DeskCollection c;
    AddDesk(&c);
    RecordView pic = AddRecord(&c, kItemPicture, "C:\\a.jpg");
    SetExtensionText(&c, pic, nullptr);  // the field spells it: no entry, no tag
    Bytes image = SerializeDeskStore(c);
    EXPECT_EQ(image.size(), 8u + 4 + 4 + sizeof(PictureItemRecord));
    for (size_t i = 276; i < 292; ++i) EXPECT_EQ(c.desks[0][0].get()[i], 0) << i;
}

TEST(StoreExtension, OlderReaderReadsEveryDeskAndIgnoresTrailer) {
    DeskCollection c = Sample();
    AddDesk(&c);
    AddRecord(&c, kItemMusic, "C:\\m.mp3");
    Bytes image = SerializeDeskStore(c);
    // The trailer sits after the last desk block...
    ASSERT_GT(image.size(), PlainLength(image));
    EXPECT_EQ(0, std::memcmp(image.data() + PlainLength(image), "SDXT", 4));
    // ...so the plain reader, which stops there, sees every desk with its ANSI fields.
    Bytes plain(image.begin(), image.begin() + PlainLength(image));
    DeskCollection old;
    ASSERT_TRUE(Load(plain, &old));
    ASSERT_EQ(old.desks.size(), 2u);
    EXPECT_STREQ(RecordPathField(old.desks[0][0].get(), kItemPicture), "C:\\Photos\\??????.jpg");
    EXPECT_EQ(FullOf(old, 0, 0), "<none>");
    // And the whole file read as before: the same desks and records, byte for byte.
    DeskCollection full;
    ASSERT_TRUE(Load(image, &full));
    ASSERT_EQ(full.desks.size(), old.desks.size());
    for (size_t d = 0; d < 2; ++d)
        for (size_t i = 0; i < old.desks[d].size(); ++i)
            EXPECT_EQ(0, std::memcmp(old.desks[d][i].get(), full.desks[d][i].get(), RecordSize(old.desks[d][i].type)));
}

TEST(StoreExtension, DamagedTrailerFallsBackToAnsiFields) {
    Bytes image = SerializeDeskStore(Sample());
    const size_t plain = PlainLength(image);
    struct Case {
        const char* name;
        size_t at;  // byte to change, from the start of the trailer
        bool cut;   // cut the file there instead
    } cases[] = {
        {"magic", 0, false}, {"version", 4, false}, {"count", 8, false}, {"entry text", 30, false},
        {"checksum", image.size() - plain - 1, false}, {"cut in entry", 20, true}, {"cut before checksum", image.size() - plain - 2, true},
    };
    for (const Case& k : cases) {
        Bytes bad = image;
        if (k.cut)
            bad.resize(plain + k.at);
        else
            bad[plain + k.at] ^= 0x5A;
        DeskCollection c;
        EXPECT_TRUE(Load(bad, &c)) << k.name;
        ASSERT_EQ(c.desks.size(), 1u) << k.name;
        ASSERT_EQ(c.desks[0].size(), 3u) << k.name;
        EXPECT_EQ(FullOf(c, 0, 0), "<none>") << k.name;
        EXPECT_EQ(FullOf(c, 0, 2), "<none>") << k.name;
        EXPECT_STREQ(c.desks[0][2].get() ? (const char*)c.desks[0][2].get() : "", "?????? ??? ?? ??") << k.name;
    }
}

TEST(StoreExtension, EntryOfAFieldChangedElsewhereIsNotUsed) {
    // An older program replaced the picture's file: the tag stayed, the field changed.
    DeskCollection c = Sample();
    std::strcpy(c.desks[0][0].get() ? (char*)c.desks[0][0].get() : nullptr, "C:\\Other.jpg");
    EXPECT_EQ(FullOf(c, 0, 0), "<none>");
    DeskCollection back;
    ASSERT_TRUE(Load(SerializeDeskStore(c), &back));
    EXPECT_EQ(FullOf(back, 0, 0), "<none>");
    EXPECT_STREQ((const char*)back.desks[0][0].get(), "C:\\Other.jpg");
}

TEST(StoreExtension, KeysFollowRecordsThroughReorderAndRemoval) {
    DeskCollection c = Sample();
    // Reorder: the note first, then the pictures; remove the ASCII picture.
    std::swap(c.desks[0][0], c.desks[0][2]);
    StoredRecord removed = std::move(c.desks[0][1]);
    c.desks[0].erase(c.desks[0].begin() + 1);
    DeskCollection back;
    ASSERT_TRUE(Load(SerializeDeskStore(c), &back));
    EXPECT_EQ(FullOf(back, 0, 0), kNote);
    EXPECT_EQ(FullOf(back, 0, 1), kGreek);
}

TEST(StoreExtension, RemovedRecordFindsItsEntryAfterASave) {
    DeskCollection c = Sample();
    // The Greek picture is removed (kept for undo), the desk saved, then the picture put back.
    StoredRecord removed = std::move(c.desks[0][0]);
    c.desks[0].erase(c.desks[0].begin());
    Bytes saved = SerializeDeskStore(c);
    DeskCollection onDisk;
    ASSERT_TRUE(Load(saved, &onDisk));
    EXPECT_EQ(FullOf(onDisk, 0, 1), kNote);
    c.desks[0].insert(c.desks[0].begin(), std::move(removed));
    EXPECT_EQ(FullOf(c, 0, 0), kGreek);
    DeskCollection back;
    ASSERT_TRUE(Load(SerializeDeskStore(c), &back));
    EXPECT_EQ(FullOf(back, 0, 0), kGreek);
}

TEST(StoreExtension, CopiedRecordsSplitOnLoadAndOnChange) {
    DeskCollection c = Sample();
    // A pasted copy of the Greek picture shares its key.
    c.desks[0].push_back(StoredRecord{kItemPicture, CopyRecord(kItemPicture, c.desks[0][0].get())});
    EXPECT_EQ(At(c, 0, 3).Tag().extensionKey, At(c, 0, 0).Tag().extensionKey);
    DeskCollection back;
    ASSERT_TRUE(Load(SerializeDeskStore(c), &back));
    EXPECT_NE(At(back, 0, 3).Tag().extensionKey, At(back, 0, 0).Tag().extensionKey);
    EXPECT_EQ(FullOf(back, 0, 3), kGreek);
    // Changing one copy in memory never changes the other.
    const std::string other = "C:\\\xE5\x86\x99\xE7\x9C\x9F.jpg";
    SetExtensionText(&c, At(c, 0, 3), &other);
    EXPECT_EQ(FullOf(c, 0, 3), other);
    EXPECT_EQ(FullOf(c, 0, 0), kGreek);
}

TEST(StoreExtension, NewKeysStayClearOfKeysRecordsCarry) {
    DeskCollection c;
    AddDesk(&c);
    RecordView orphan = AddRecord(&c, kItemPicture, "C:\\x.jpg");
    ItemTag tag;
    tag.extensionKey = 500;  // its entry was lost
    orphan.SetTag(tag);
    DeskCollection back;
    ASSERT_TRUE(Load(SerializeDeskStore(c), &back));
    EXPECT_GT(back.NewExtensionKey(), 500u);
}

TEST(StoreExtension, SettingsInTheTagSurviveEntryChanges) {
    DeskCollection c = Sample();
    RecordView pic = At(c, 0, 0);
    ItemTag tag = pic.Tag();
    tag.layer = kLayerTop;
    tag.opacity = 40;
    pic.SetTag(tag);
    const std::string other = "C:\\\xE5\x86\x99\xE7\x9C\x9F.jpg";
    SetExtensionText(&c, pic, &other);
    EXPECT_EQ(pic.Tag().layer, kLayerTop);
    EXPECT_EQ(pic.Tag().opacity, 40);
    // The field now spells the path: the entry is no longer used, the settings stay.
    std::strcpy((char*)c.desks[0][0].get(), "C:\\a.jpg");
    SetExtensionText(&c, pic, nullptr);
    EXPECT_EQ(FullOf(c, 0, 0), "<none>");
    EXPECT_EQ(pic.Tag().opacity, 40);
}

TEST(StoreExtension, DemoPathUnderAFolderOutsideAsciiGoesToTheEntry) {
    DeskCollection c;
    AddDesk(&c);
    AddRecord(&c, kItemPicture, kDemoPicturePath);
    Bytes image = SerializeDeskStore(c);
    const std::string folder = "C:\\\xD0\x9F\xD0\xBE\xD0\xBB\xD1\x8C\\Data\\";  // "Поль"
    DeskCollection back;
    ASSERT_TRUE(Load(image, &back, folder));
    EXPECT_STREQ((const char*)back.desks[0][0].get(), kDemoPicturePath);
    EXPECT_EQ(FullOf(back, 0, 0), folder + "demo01.jpg");
    // Saved and read under an ASCII folder, the field takes the folder and the entry goes.
    DeskCollection ascii;
    ASSERT_TRUE(Load(SerializeDeskStore(back), &ascii, "C:\\Sona\\Data\\"));
    EXPECT_STREQ((const char*)ascii.desks[0][0].get(), "C:\\Sona\\Data\\demo01.jpg");
    EXPECT_EQ(FullOf(ascii, 0, 0), "<none>");
}

TEST(StoreExtension, ClearAllDesksForgetsEntries) {
    DeskCollection c = Sample();
    ClearAllDesks(&c);
    EXPECT_TRUE(c.extension.empty());
}

}  // namespace
}  // namespace sona
