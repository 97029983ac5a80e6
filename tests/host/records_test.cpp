// Typed views of stored records, the note conversion and the media kinds' store codes.
#include <gtest/gtest.h>

#include <cstring>

#include "items/MediaLayout.h"
#include "store/DeskRecords.h"
#include "store/DeskStore.h"

namespace sona {
namespace {

TEST(RecordView, EachCodeGivesItsKindsRecordAndItsRectangle) {
    struct Case {
        uint32_t type;
        bool media, picture, text;
        size_t rectOffset;
    } cases[] = {
        {kItemMovie, true, false, false, offsetof(MediaItemRecord, rect)},
        {kItemMusic, true, false, false, offsetof(MediaItemRecord, rect)},
        {kItemPicture, false, true, false, offsetof(PictureItemRecord, rect)},
        {kItemText, false, false, true, offsetof(TextItemRecord, rect)},
    };
    for (const Case& c : cases) {
        RecordPtr bytes = NewRecord(c.type);
        RecordView v = ViewRecord(c.type, bytes.get());
        ASSERT_TRUE(v) << c.type;
        EXPECT_EQ(v.type(), c.type);
        EXPECT_EQ(v.media() != nullptr, c.media) << c.type;
        EXPECT_EQ(v.picture() != nullptr, c.picture) << c.type;
        EXPECT_EQ(v.text() != nullptr, c.text) << c.type;
        EXPECT_EQ(reinterpret_cast<uint8_t*>(v.rect()), bytes.get() + c.rectOffset) << c.type;
    }
}

TEST(RecordView, CodesWithoutRecordsAndMissingRecordsGiveEmptyViews) {
    uint8_t bytes[400] = {};
    for (uint32_t type : {2u, 5u, 0xFFFFFFFFu}) {
        RecordView v = ViewRecord(type, bytes);
        EXPECT_FALSE(v) << type;
        EXPECT_EQ(v.rect(), nullptr);
    }
    EXPECT_FALSE(ViewRecord(kItemPicture, nullptr));
}

TEST(NoteRecord, RoundTripKeepsTheWholeTextFieldFontAndColour) {
    TextNoteRecord note;
    InitTextNoteRecord(&note);
    std::strcpy(note.text, "a note");
    // Bytes after the end belong to the field and travel with it.
    note.text[100] = 'x';
    note.font.lfHeight = 18;
    std::strcpy(note.font.lfFaceName, "Tahoma");
    note.textColour = 0x123456;
    TextItemRecord rec{};
    rec.rect = RelativeRect{0.25f, 0.5f, 0.75f, 1.0f};
    rec.reservedWords[1] = 7;
    NoteToRecord(note, &rec);
    EXPECT_EQ(std::memcmp(rec.text, note.text, sizeof rec.text), 0);
    EXPECT_EQ(std::memcmp(&rec.font, &note.font, sizeof rec.font), 0);
    EXPECT_EQ(rec.textColour, 0x123456u);
    EXPECT_EQ(rec.reservedColour, kNoteReservedColour);
    EXPECT_EQ(rec.reservedWords[1], 0u);
    EXPECT_EQ(rec.rect.right, 0.75f);  // the rectangle is the caller's

    TextNoteRecord back;
    InitTextNoteRecord(&back);
    NoteFromRecord(rec, &back);
    EXPECT_EQ(std::memcmp(back.text, note.text, sizeof back.text), 0);
    EXPECT_EQ(std::memcmp(&back.font, &note.font, sizeof back.font), 0);
    EXPECT_EQ(back.textColour, 0x123456u);
}

TEST(NoteRecord, AFieldWithoutAnEndGetsOneInItsLastByte) {
    TextItemRecord rec{};
    std::memset(rec.text, 'a', sizeof rec.text);
    TextNoteRecord note;
    InitTextNoteRecord(&note);
    NoteFromRecord(rec, &note);
    EXPECT_EQ(note.text[sizeof note.text - 1], '\0');
    EXPECT_EQ(std::strlen(note.text), sizeof note.text - 1);
}

TEST(PathField, TakesPathsThatFitAndKeepsTheBytesAfterTheEnd) {
    struct Case {
        size_t length;
        bool ok;
    } cases[] = {{0, true}, {5, true}, {kPathField - 1, true}, {kPathField, false}, {kPathField + 40, false}};
    for (const Case& c : cases) {
        char field[kPathField];
        std::memset(field, 'z', sizeof field);
        std::string path(c.length, 'p');
        EXPECT_EQ(SetPathField(field, path.c_str(), path.size()), c.ok) << c.length;
        if (c.ok) {
            EXPECT_EQ(std::string(field), path);
            if (c.length + 1 < kPathField) EXPECT_EQ(field[c.length + 1], 'z');
        } else {
            EXPECT_EQ(field[0], 'z');
        }
    }
}

TEST(ItemTag, LivesInEachKindsReservedBytesAndLeavesTheRestAlone) {
    struct Case {
        uint32_t type;
        size_t offset;
    } cases[] = {
        {kItemMovie, offsetof(MediaItemRecord, reserved1)},
        {kItemMusic, offsetof(MediaItemRecord, reserved1)},
        {kItemPicture, offsetof(PictureItemRecord, reserved)},
        {kItemText, offsetof(TextItemRecord, reserved1)},
    };
    for (const Case& c : cases) {
        RecordPtr bytes = NewRecord(c.type);
        RecordView v = ViewRecord(c.type, bytes.get());
        // Untouched reserved bytes, as every older record has them: all defaults.
        ItemTag fresh = v.Tag();
        EXPECT_EQ(fresh.extensionKey, 0u);
        EXPECT_EQ(fresh.layer, kLayerNormal);
        EXPECT_EQ(fresh.opacity, 100);
        EXPECT_EQ(fresh.flags, 0);

        ItemTag tag;
        tag.extensionKey = 0x01020304;
        tag.layer = kLayerDesktop;
        tag.opacity = 40;
        tag.flags = kItemClickThrough;
        v.SetTag(tag);
        const uint8_t want[kItemTagSize] = {4, 3, 2, 1, kLayerDesktop, 40, kItemClickThrough, kItemTagVersion};
        EXPECT_EQ(std::memcmp(bytes.get() + c.offset, want, kItemTagSize), 0) << c.type;
        for (size_t i = 0; i < RecordSize(c.type); ++i)
            if (i < c.offset || i >= c.offset + kItemTagSize) ASSERT_EQ(bytes[i], 0) << c.type << " byte " << i;

        ItemTag back = v.Tag();
        EXPECT_EQ(back.extensionKey, tag.extensionKey);
        EXPECT_EQ(back.layer, tag.layer);
        EXPECT_EQ(back.opacity, tag.opacity);
        EXPECT_EQ(back.flags, tag.flags);
    }
}

TEST(ItemTag, OutOfRangeSettingsReadAsDefaults) {
    RecordPtr bytes = NewRecord(kItemPicture);
    uint8_t* b = bytes.get() + offsetof(PictureItemRecord, reserved);
    const uint8_t junk[kItemTagSize] = {9, 0, 0, 0, 7, 0, 0, kItemTagVersion};
    std::memcpy(b, junk, kItemTagSize);
    ItemTag tag = ViewRecord(kItemPicture, bytes.get()).Tag();
    EXPECT_EQ(tag.extensionKey, 9u);
    EXPECT_EQ(tag.layer, kLayerNormal);
    EXPECT_EQ(tag.opacity, 100);
}

TEST(MediaKinds, OnlyMovieAndMusicCodesAreMediaAndMapBothWays) {
    struct Case {
        uint32_t type;
        bool media;
    } cases[] = {{kItemMovie, true}, {kItemMusic, true}, {2, false}, {kItemPicture, false}, {kItemText, false}, {99, false}};
    for (const Case& c : cases) {
        MediaKind kind = MediaKind::Movie;
        EXPECT_EQ(MediaKindOf(c.type, &kind), c.media) << c.type;
        if (c.media) EXPECT_EQ(StoreTypeOf(kind), c.type);
    }
}

}  // namespace
}  // namespace sona
