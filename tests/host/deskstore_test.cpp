// Desk store reader and writer: file layout, demo paths, cut files, strings, safe saving.
#include "store/DeskStore.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace sona {
namespace {

using Bytes = std::vector<uint8_t>;

void PutU32(Bytes* b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b->push_back(uint8_t(v >> (8 * i)));
}

// Builds store images by hand, independent of the writer under test.
struct Image {
    Bytes bytes;
    Image(uint32_t deskCount, uint32_t currentDesk) {
        PutU32(&bytes, deskCount);
        PutU32(&bytes, currentDesk);
    }
    Image& Desk(uint32_t itemCount) {
        PutU32(&bytes, itemCount);
        return *this;
    }
    Image& Type(uint32_t type) {
        PutU32(&bytes, type);
        return *this;
    }
    // A type code and its record: fill byte everywhere, then path/text at offset 0.
    Image& Item(uint32_t type, const std::string& text = "", uint8_t fill = 0) {
        PutU32(&bytes, type);
        Bytes rec(RecordSize(type), fill);
        std::memcpy(rec.data(), text.c_str(), text.size() + 1);
        bytes.insert(bytes.end(), rec.begin(), rec.end());
        return *this;
    }
};

bool Load(const Bytes& b, DeskCollection* c, const std::string& folder = "C:\\Sona\\Data\\") {
    return LoadDeskStoreFromBytes(b.data(), b.size(), folder, c);
}

std::string PathOf(const DeskCollection& c, size_t desk, size_t item) {
    return RecordPathField(c.desks[desk][item].get(), c.desks[desk][item].type);
}

size_t TotalItems(const DeskCollection& c) {
    size_t n = 0;
    for (const DeskRecords& d : c.desks) n += d.size();
    return n;
}

// ---------------------------------------------------------------- layout

TEST(DeskStoreLayout, MinimumFileIsTwelveBytes) {
    DeskCollection c;
    c.desks.emplace_back();
    Bytes out = SerializeDeskStore(c);
    Bytes expected = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(out, expected);

    DeskCollection back;
    ASSERT_TRUE(Load(out, &back));
    ASSERT_EQ(back.desks.size(), 1u);
    EXPECT_TRUE(back.desks[0].empty());
    EXPECT_TRUE(TypesOf(back.desks[0]).empty());
    EXPECT_EQ(back.currentDesk, 0u);
}

TEST(DeskStoreLayout, PictureAndNoteSizes) {
    DeskCollection c;
    c.desks.emplace_back();
    c.desks[0].push_back(StoredRecord{kItemPicture, NewRecord(kItemPicture)});
    c.desks[0].push_back(StoredRecord{kItemText, NewRecord(kItemText)});
    ASSERT_TRUE(SetRecordPath(c.desks[0][0].get(), kItemPicture, "C:\\pics\\a.png"));
    Bytes out = SerializeDeskStore(c);
    ASSERT_EQ(out.size(), 8u + 4 + (4 + 292) + (4 + 10104));

    Image img(1, 0);
    img.Desk(2).Item(kItemPicture, "C:\\pics\\a.png").Item(kItemText, "");
    EXPECT_EQ(out, img.bytes);
}

TEST(DeskStoreLayout, RecordSizesPerType) {
    struct Case { uint32_t type; size_t size; } cases[] = {
        {kItemMovie, 320}, {kItemMusic, 320}, {2, 0}, {kItemPicture, 292}, {kItemText, 10104}, {5, 0},
        {0xFFFFFFFFu, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.type);
        EXPECT_EQ(RecordSize(k.type), k.size);
        RecordPtr r = NewRecord(k.type);
        EXPECT_EQ(r != nullptr, k.size != 0);
        for (size_t i = 0; i < k.size; ++i) ASSERT_EQ(r[i], 0) << i;
    }
}

TEST(DeskStoreLayout, FieldsLittleEndianAtTheirOffsets) {
    Image img(2, 1);
    img.Desk(0).Desk(1);
    PutU32(&img.bytes, kItemMovie);
    Bytes rec(320, 0);
    std::memcpy(rec.data(), "m.avi", 6);
    float rect[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    std::memcpy(rec.data() + 292, rect, 16);
    img.bytes.insert(img.bytes.end(), rec.begin(), rec.end());

    DeskCollection c;
    ASSERT_TRUE(Load(img.bytes, &c));
    ASSERT_EQ(c.desks.size(), 2u);
    EXPECT_EQ(c.currentDesk, 1u);
    ASSERT_EQ(c.desks[1].size(), 1u);
    MediaItemRecord m;
    std::memcpy(&m, c.desks[1][0].get(), sizeof m);
    EXPECT_STREQ(m.path, "m.avi");
    EXPECT_EQ(m.rect.left, 0.25f);
    EXPECT_EQ(m.rect.bottom, 1.0f);
}

// ---------------------------------------------------------------- demo paths

TEST(DeskStoreDemo, ReplacedOnlyWhenExactAndFitting) {
    const std::string folder = "C:\\Sona\\Data\\";
    const std::string longFolder(250, 'x');   // 250 + 10 + NUL does not fit 260
    const std::string fitFolder(249, 'y');    // 249 + 10 = 259 characters: fits exactly
    struct Case {
        const char* name;
        uint32_t type;
        std::string stored;
        std::string dataFolder;
        std::string expected;
    } cases[] = {
        {"movie", kItemMovie, kDemoMoviePath, folder, folder + "demo01.wmv"},
        {"music", kItemMusic, kDemoMusicPath, folder, folder + "demo01.mp3"},
        {"picture", kItemPicture, kDemoPicturePath, folder, folder + "demo01.jpg"},
        {"mp3 under movie", kItemMovie, kDemoMusicPath, folder, kDemoMusicPath},
        {"wmv under music", kItemMusic, kDemoMoviePath, folder, kDemoMoviePath},
        {"jpg under movie", kItemMovie, kDemoPicturePath, folder, kDemoPicturePath},
        {"wmv under picture", kItemPicture, kDemoMoviePath, folder, kDemoMoviePath},
        {"upper case name", kItemMovie, "E:\\979474B8-F3BC-4d0f-B3C5-066ADA9440B1\\DEMO01.WMV", folder,
         "E:\\979474B8-F3BC-4d0f-B3C5-066ADA9440B1\\DEMO01.WMV"},
        {"lower case drive", kItemMusic, "e:\\979474B8-F3BC-4d0f-B3C5-066ADA9440B1\\demo01.mp3", folder,
         "e:\\979474B8-F3BC-4d0f-B3C5-066ADA9440B1\\demo01.mp3"},
        {"upper case guid", kItemPicture, "E:\\979474B8-F3BC-4D0F-B3C5-066ADA9440B1\\demo01.jpg", folder,
         "E:\\979474B8-F3BC-4D0F-B3C5-066ADA9440B1\\demo01.jpg"},
        {"trailing space", kItemPicture, std::string(kDemoPicturePath) + " ", folder,
         std::string(kDemoPicturePath) + " "},
        {"prefix only", kItemPicture, std::string(kDemoPicturePath).substr(0, 40), folder,
         std::string(kDemoPicturePath).substr(0, 40)},
        {"does not fit", kItemMovie, kDemoMoviePath, longFolder, kDemoMoviePath},
        {"fits exactly", kItemMusic, kDemoMusicPath, fitFolder, fitFolder + "demo01.mp3"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Image img(1, 0);
        img.Desk(1).Item(k.type, k.stored);
        DeskCollection c;
        ASSERT_TRUE(Load(img.bytes, &c, k.dataFolder));
        ASSERT_EQ(c.desks[0].size(), 1u);
        EXPECT_EQ(PathOf(c, 0, 0), k.expected);
    }
}

TEST(DeskStoreDemo, NoteTextIsNeverReplaced) {
    Image img(1, 0);
    img.Desk(1).Item(kItemText, kDemoPicturePath);
    DeskCollection c;
    ASSERT_TRUE(Load(img.bytes, &c));
    EXPECT_STREQ(reinterpret_cast<const char*>(c.desks[0][0].get()), kDemoPicturePath);
}

TEST(DeskStoreDemo, BytesAfterReplacementKeepOldValues) {
    Image img(1, 0);
    img.Desk(1).Item(kItemMovie, kDemoMoviePath, 0x5A);
    DeskCollection c;
    const std::string folder = "C:\\D\\";
    ASSERT_TRUE(Load(img.bytes, &c, folder));
    const uint8_t* rec = c.desks[0][0].get();
    const std::string now = folder + "demo01.wmv";
    EXPECT_STREQ(reinterpret_cast<const char*>(rec), now.c_str());
    // After the new NUL: the rest of the old demo path, its NUL, then the fill.
    const size_t demoLen = std::strlen(kDemoMoviePath);
    for (size_t i = now.size() + 1; i < demoLen; ++i) EXPECT_EQ(rec[i], uint8_t(kDemoMoviePath[i])) << i;
    EXPECT_EQ(rec[demoLen], 0);
    for (size_t i = demoLen + 1; i < 320; ++i) EXPECT_EQ(rec[i], 0x5A) << i;
}

// ---------------------------------------------------------------- short and damaged files

TEST(DeskStoreDamage, ShortHeaderFails) {
    Bytes full = Image(1, 0).Desk(0).bytes;
    for (size_t n = 0; n < 8; ++n) {
        SCOPED_TRACE(n);
        Bytes cut(full.begin(), full.begin() + n);
        DeskCollection c;
        c.currentDesk = 42;
        EXPECT_FALSE(Load(cut, &c));
        EXPECT_TRUE(c.desks.empty());
        EXPECT_TRUE(c.desks.empty());
    }
}

TEST(DeskStoreDamage, SevenByteMediaFileFails) {
    char dir[] = "/tmp/deskstore_short_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string media = std::string(dir) + "/Media";
    const uint8_t seven[7] = {1, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(WriteFileAtomically(media, seven, 7), FileWriteResult::kOk);
    DeskCollection c;
    EXPECT_FALSE(LoadDeskStore(media, "C:\\D\\", &c));
    EXPECT_TRUE(c.desks.empty());
    unlink(media.c_str());
    rmdir(dir);
}

TEST(DeskStoreDamage, MissingFileFails) {
    DeskCollection c;
    EXPECT_FALSE(LoadDeskStore("/nonexistent-folder/Media", "C:\\D\\", &c));
    EXPECT_TRUE(c.desks.empty());
}

TEST(DeskStoreDamage, CutInsideDeskKeepsEarlierDesks) {
    // Desk 0: picture; desk 1: movie + note; desk 2: empty; desk 3: music.
    Image img(4, 2);
    size_t desk0 = img.bytes.size();
    img.Desk(1).Item(kItemPicture, "p");
    size_t desk1 = img.bytes.size();
    img.Desk(2).Item(kItemMovie, "m").Item(kItemText, "t");
    size_t desk2 = img.bytes.size();
    img.Desk(0);
    size_t desk3 = img.bytes.size();
    img.Desk(1).Item(kItemMusic, "s");
    const size_t end = img.bytes.size();

    struct Case { const char* name; size_t cut; size_t desksKept; bool ok; } cases[] = {
        {"no desk count byte", desk0, 0, false},
        {"inside desk 0 count", desk0 + 2, 0, false},
        {"inside desk 0 type", desk0 + 6, 0, false},
        {"inside desk 0 record", desk0 + 8 + 100, 0, false},
        {"one byte short of desk 0", desk1 - 1, 0, false},
        {"desk 0 complete", desk1, 1, false},
        {"inside desk 1 second type", desk1 + 4 + 324 + 2, 1, false},
        {"inside desk 1 note", desk2 - 1, 1, false},
        {"inside desk 2 count", desk2 + 3, 2, false},
        {"desk 2 complete", desk3, 3, false},
        {"inside desk 3 record", end - 1, 3, false},
        {"whole file", end, 4, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Bytes cut(img.bytes.begin(), img.bytes.begin() + k.cut);
        DeskCollection c;
        EXPECT_EQ(Load(cut, &c), k.ok);
        EXPECT_EQ(c.desks.size(), k.desksKept);
        EXPECT_EQ(c.desks.size(), k.desksKept);
        EXPECT_EQ(c.currentDesk, 2u);
        const size_t itemsBefore[] = {0, 1, 3, 3, 4};
        EXPECT_EQ(TotalItems(c), itemsBefore[k.desksKept]);
    }
}

TEST(DeskStoreDamage, BytesAfterLastDeskIgnored) {
    Image img(1, 0);
    img.Desk(1).Item(kItemPicture, "p");
    img.bytes.insert(img.bytes.end(), {9, 9, 9, 9, 9});
    DeskCollection c;
    EXPECT_TRUE(Load(img.bytes, &c));
    ASSERT_EQ(c.desks.size(), 1u);
    EXPECT_EQ(c.desks[0].size(), 1u);
}

TEST(DeskStoreDamage, UnknownCodesTakeOnlyTheirFourBytes) {
    Image img(2, 0);
    img.Desk(5).Type(2).Item(kItemPicture, "p").Type(7).Type(0xFFFFFFFFu).Item(kItemMusic, "s");
    img.Desk(1).Type(2);
    DeskCollection c;
    ASSERT_TRUE(Load(img.bytes, &c));
    ASSERT_EQ(c.desks.size(), 2u);
    ASSERT_EQ(TypesOf(c.desks[0]), (DeskTypes{kItemPicture, kItemMusic}));
    EXPECT_EQ(PathOf(c, 0, 0), "p");
    EXPECT_EQ(PathOf(c, 0, 1), "s");
    EXPECT_TRUE(c.desks[1].empty());
}

TEST(DeskStoreDamage, LoadAppendsToExistingDesks) {
    DeskCollection c;
    c.desks.emplace_back();
    Image img(1, 0);
    img.Desk(0);
    ASSERT_TRUE(Load(img.bytes, &c));
    EXPECT_EQ(c.desks.size(), 2u);
}

TEST(DeskStoreDamage, HugeDeskCountInTinyFile) {
    Image img(0xFFFFFFFFu, 0);
    img.Desk(0).Desk(0);
    DeskCollection c;
    EXPECT_FALSE(Load(img.bytes, &c));
    EXPECT_EQ(c.desks.size(), 2u);
}

// ---------------------------------------------------------------- current desk

TEST(DeskStoreCurrentDesk, ReaderKeepsItHelperClampsIt) {
    struct Case { uint32_t desks; uint32_t stored; uint32_t clamped; bool changed; } cases[] = {
        {3, 0, 0, false}, {3, 2, 2, false}, {3, 3, 2, true}, {3, 0xFFFFFFFFu, 2, true},
        {1, 7, 0, true},  {0, 5, 0, true},  {0, 0, 0, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.desks << " desks, stored " << k.stored);
        Image img(k.desks, k.stored);
        for (uint32_t d = 0; d < k.desks; ++d) img.Desk(0);
        DeskCollection c;
        ASSERT_TRUE(Load(img.bytes, &c));
        EXPECT_EQ(c.currentDesk, k.stored);
        EXPECT_EQ(ClampCurrentDesk(&c), k.changed);
        EXPECT_EQ(c.currentDesk, k.clamped);
    }
}

// ---------------------------------------------------------------- strings

TEST(DeskStoreStrings, BytesAfterNulSurviveRoundTrip) {
    Image img(2, 1);
    img.Desk(3).Item(kItemMovie, "short", 0x77).Item(kItemPicture, "", 0xEE).Item(kItemText, "hi\r\nthere", 0x41);
    img.Desk(1).Item(kItemMusic, "C:\\a.mp3", 0xA5);
    // Put a terminated face name into the note so the image reads back unchanged.
    size_t noteAt = 8 + 4 + (4 + 320) + (4 + 292) + 4;
    const size_t face = noteAt + offsetof(TextItemRecord, font) + offsetof(LogFontA, lfFaceName);
    std::memcpy(&img.bytes[face], "Arial\0junk", 10);

    DeskCollection c;
    ASSERT_TRUE(Load(img.bytes, &c));
    EXPECT_EQ(SerializeDeskStore(c), img.bytes);
    EXPECT_EQ(PathOf(c, 0, 0), "short");
    EXPECT_EQ(c.desks[0][0].get()[6], 0x77);
}

TEST(DeskStoreStrings, RoundTripThroughFileIsByteIdentical) {
    char dir[] = "/tmp/deskstore_rt_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string media = std::string(dir) + "/Media";
    const std::string bak = std::string(dir) + "/Media_bak";
    Image img(1, 0);
    img.Desk(2).Item(kItemPicture, "x", 0x33).Item(kItemMovie, kDemoMoviePath, 0x10);
    ASSERT_EQ(WriteFileAtomically(media, img.bytes.data(), img.bytes.size()), FileWriteResult::kOk);

    // The data folder equal to the demo folder makes the replacement a no-op byte for byte.
    DeskCollection c;
    ASSERT_TRUE(LoadDeskStore(media, "E:\\979474B8-F3BC-4d0f-B3C5-066ADA9440B1\\", &c));
    ASSERT_EQ(SaveDeskStore(bak, c), FileWriteResult::kOk);
    Bytes back;
    ASSERT_TRUE(ReadWholeFile(bak, &back));
    EXPECT_EQ(back, img.bytes);
    unlink(media.c_str());
    unlink(bak.c_str());
    rmdir(dir);
}

TEST(DeskStoreStrings, UnterminatedFieldsEndInside) {
    struct Case { const char* name; uint32_t type; size_t offset; size_t size; } cases[] = {
        {"movie path", kItemMovie, 0, 260},
        {"music path", kItemMusic, 0, 260},
        {"picture path", kItemPicture, 0, 260},
        {"note text", kItemText, 0, 10000},
        {"note face", kItemText, offsetof(TextItemRecord, font) + offsetof(LogFontA, lfFaceName), 32},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Image img(1, 0);
        img.Desk(1).Type(k.type);
        Bytes rec(RecordSize(k.type), 'A');  // no NUL anywhere
        img.bytes.insert(img.bytes.end(), rec.begin(), rec.end());
        DeskCollection c;
        ASSERT_TRUE(Load(img.bytes, &c));
        const uint8_t* r = c.desks[0][0].get();
        EXPECT_EQ(r[k.offset + k.size - 1], 0);
        EXPECT_EQ(r[k.offset + k.size - 2], 'A');
        EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(r + k.offset)), k.size - 1);
        // Bytes outside the field untouched.
        if (k.offset + k.size < rec.size()) {
            EXPECT_EQ(r[k.offset + k.size], 'A');
        }
    }
}

TEST(DeskStoreStrings, SetRecordPathRefusesLongPaths) {
    struct Case { uint32_t type; size_t len; bool ok; } cases[] = {
        {kItemMovie, 0, true},   {kItemMovie, 259, true},  {kItemMovie, 260, false},
        {kItemMusic, 1000, false}, {kItemPicture, 12, true}, {kItemPicture, 260, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.type << " len " << k.len);
        RecordPtr r = NewRecord(k.type);
        std::memset(r.get(), 'z', kPathField);
        std::string path(k.len, 'p');
        EXPECT_EQ(SetRecordPath(r.get(), k.type, path), k.ok);
        if (k.ok) {
            EXPECT_EQ(std::string(RecordPathField(r.get(), k.type)), path);
            if (k.len + 1 < kPathField) {
                EXPECT_EQ(r[k.len + 1], 'z');  // not cleared
            }
        } else {
            for (size_t i = 0; i < kPathField; ++i) ASSERT_EQ(r[i], 'z') << i;
        }
    }
    RecordPtr note = NewRecord(kItemText);
    EXPECT_FALSE(SetRecordPath(note.get(), kItemText, "x"));
    EXPECT_EQ(note[0], 0);
    EXPECT_FALSE(SetRecordPath(nullptr, kItemMovie, "x"));
}

// ---------------------------------------------------------------- writer

TEST(DeskStoreWriter, ItemsWithoutRecordAreLeftOutConsistently) {
    DeskCollection c;
    c.desks.emplace_back();
    c.desks[0].push_back(StoredRecord{2, nullptr});
    c.desks[0].push_back(StoredRecord{kItemPicture, NewRecord(kItemPicture)});
    c.desks[0].push_back(StoredRecord{kItemMovie, nullptr});  // a movie without its record
    Bytes out = SerializeDeskStore(c);
    EXPECT_EQ(out.size(), 8u + 4 + 4 + 292);
    DeskCollection back;
    ASSERT_TRUE(Load(out, &back));
    EXPECT_EQ(TypesOf(back.desks[0]), (DeskTypes{kItemPicture}));
}

// ---------------------------------------------------------------- saving safely

class DeskStoreSave : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/deskstore_save_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + dir_ + "'";
        (void)std::system(cmd.c_str());
    }
    static DeskCollection Sample(int desks, const std::string& path) {
        DeskCollection c;
        for (int d = 0; d < desks; ++d) {
            c.desks.emplace_back();
            for (uint32_t t : {kItemMovie, kItemText, kItemPicture}) {
                c.desks.back().push_back(StoredRecord{t, NewRecord(t)});
                if (t != kItemText) SetRecordPath(c.desks.back().back().get(), t, path);
            }
        }
        return c;
    }
    static bool Exists(const std::string& p) {
        struct stat st;
        return stat(p.c_str(), &st) == 0;
    }
    std::string dir_;
};

TEST_F(DeskStoreSave, WritesAndReadsBack) {
    const std::string media = dir_ + "/Media";
    DeskCollection c = Sample(3, "C:\\x.jpg");
    c.currentDesk = 2;
    ASSERT_EQ(SaveDeskStore(media, c), FileWriteResult::kOk);
    EXPECT_FALSE(Exists(media + ".tmp"));
    DeskCollection back;
    ASSERT_TRUE(LoadDeskStore(media, dir_ + "/", &back));
    EXPECT_EQ(SerializeDeskStore(back), SerializeDeskStore(c));
}

TEST_F(DeskStoreSave, FolderThatCannotBeWritten) {
    const std::string notAFolder = dir_ + "/file";
    const uint8_t one = 1;
    ASSERT_EQ(WriteFileAtomically(notAFolder, &one, 1), FileWriteResult::kOk);
    EXPECT_EQ(SaveDeskStore(notAFolder + "/Media", Sample(1, "a")), FileWriteResult::kCannotCreate);
    EXPECT_EQ(SaveDeskStore(dir_ + "/missing/Media", Sample(1, "a")), FileWriteResult::kCannotCreate);
    Bytes still;
    ASSERT_TRUE(ReadWholeFile(notAFolder, &still));
    EXPECT_EQ(still, Bytes{1});
}

TEST_F(DeskStoreSave, WriteFailureLeavesPreviousFile) {
    const std::string media = dir_ + "/Media";
    DeskCollection good = Sample(1, "good");
    ASSERT_EQ(SaveDeskStore(media, good), FileWriteResult::kOk);
    Bytes before;
    ASSERT_TRUE(ReadWholeFile(media, &before));

    // Limit file size below the new image so write() fails with EFBIG.
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    FileWriteResult r = SaveDeskStore(media, Sample(5, "bigger"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(r, FileWriteResult::kWriteFailed);
    Bytes after;
    ASSERT_TRUE(ReadWholeFile(media, &after));
    EXPECT_EQ(after, before);
    EXPECT_FALSE(Exists(media + ".tmp"));
}

TEST_F(DeskStoreSave, ReplaceFailureRemovesTemporary) {
    const std::string media = dir_ + "/Media";
    ASSERT_EQ(mkdir(media.c_str(), 0755), 0);
    const std::string inside = media + "/keep";
    const uint8_t one = 1;
    ASSERT_EQ(WriteFileAtomically(inside, &one, 1), FileWriteResult::kOk);
    EXPECT_EQ(SaveDeskStore(media, Sample(1, "a")), FileWriteResult::kCannotReplace);
    EXPECT_FALSE(Exists(media + ".tmp"));
    EXPECT_TRUE(Exists(inside));
}

TEST_F(DeskStoreSave, ReplacesAtomically) {
    const std::string media = dir_ + "/Media";
    ASSERT_EQ(SaveDeskStore(media, Sample(1, "old")), FileWriteResult::kOk);
    Bytes oldBytes;
    ASSERT_TRUE(ReadWholeFile(media, &oldBytes));

    // A reader that opened the old file keeps seeing the whole old file: the new one is a
    // different file renamed into place, never the old one rewritten in place.
    int fd = open(media.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    struct stat st0;
    ASSERT_EQ(fstat(fd, &st0), 0);

    DeskCollection next = Sample(4, "new");
    ASSERT_EQ(SaveDeskStore(media, next), FileWriteResult::kOk);

    Bytes seen(oldBytes.size() + 10);
    ssize_t n = pread(fd, seen.data(), seen.size(), 0);
    close(fd);
    ASSERT_EQ(n, ssize_t(oldBytes.size()));
    seen.resize(n);
    EXPECT_EQ(seen, oldBytes);

    struct stat st1;
    ASSERT_EQ(stat(media.c_str(), &st1), 0);
    EXPECT_NE(st0.st_ino, st1.st_ino);
    Bytes now;
    ASSERT_TRUE(ReadWholeFile(media, &now));
    EXPECT_EQ(now, SerializeDeskStore(next));
    EXPECT_FALSE(Exists(media + ".tmp"));
}

TEST_F(DeskStoreSave, StaleTemporaryIsOverwritten) {
    const std::string media = dir_ + "/Media";
    Bytes junk(50000, 0xCC);
    ASSERT_EQ(WriteFileAtomically(media + ".tmp.x", junk.data(), junk.size()), FileWriteResult::kOk);
    ASSERT_EQ(rename((media + ".tmp.x").c_str(), (media + ".tmp").c_str()), 0);
    DeskCollection c = Sample(1, "a");
    ASSERT_EQ(SaveDeskStore(media, c), FileWriteResult::kOk);
    Bytes now;
    ASSERT_TRUE(ReadWholeFile(media, &now));
    EXPECT_EQ(now, SerializeDeskStore(c));
}

}  // namespace
}  // namespace sona
