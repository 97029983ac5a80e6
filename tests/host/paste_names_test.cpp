// What the clipboard commands make of their content: pasted picture names, a note's text, the
// file list handed to other programs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/PasteNames.h"
#include "store/DeskRecords.h"

namespace sona {
namespace {

TEST(PasteNames, PictureNamesCarryTheTimeAndAnAttempt) {
    PasteTime t{2026, 3, 7, 9, 5, 1};
    EXPECT_EQ(PastedPictureName(t), "Pasted-20260307-090501.png");
    EXPECT_EQ(PastedPictureName(t, 1), "Pasted-20260307-090501.png");
    EXPECT_EQ(PastedPictureName(t, 2), "Pasted-20260307-090501-2.png");
    EXPECT_EQ(PastedPictureName(PasteTime{2027, 12, 31, 23, 59, 59}, 11), "Pasted-20271231-235959-11.png");
}

TEST(PasteNames, HugePicturesAreKeptAtASaneSize) {
    struct Case {
        uint32_t w, h, keptW, keptH;
    } cases[] = {
        {300, 200, 300, 200},
        {4096, 4096, 4096, 4096},
        {12000, 9000, 4096, 3072},
        {9000, 12000, 3072, 4096},
        {4097, 10, 4096, 10},
        {100000, 1, 4096, 1},
        {1, 100000, 1, 4096},
    };
    for (const Case& c : cases) {
        uint32_t w = 0, h = 0;
        KeptPictureSize(c.w, c.h, kPastedSideLimit, &w, &h);
        EXPECT_EQ(w, c.keptW) << c.w << "x" << c.h;
        EXPECT_EQ(h, c.keptH) << c.w << "x" << c.h;
    }
}

TEST(PasteNames, PngSignature) {
    const uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0};
    EXPECT_TRUE(LooksLikePng(png, sizeof png));
    EXPECT_TRUE(LooksLikePng(png, 8));
    EXPECT_FALSE(LooksLikePng(png, 7));
    EXPECT_FALSE(LooksLikePng(nullptr, 8));
    const uint8_t bmp[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(LooksLikePng(bmp, sizeof bmp));
}

TEST(PasteNames, NoteTextLineBreaks) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"", ""},
        {"one", "one"},
        {"one\ntwo", "one\r\ntwo"},
        {"one\r\ntwo", "one\r\ntwo"},
        {"one\rtwo", "one\r\ntwo"},
        {"a\n\nb\n", "a\r\n\r\nb\r\n"},
        {"a\r\n\r\nb", "a\r\n\r\nb"},
        {"\n\r", "\r\n\r\n"},
        {std::string("cut\0here", 8), "cut"},
    };
    for (const Case& c : cases) EXPECT_EQ(NoteTextFromClipboard(c.in), c.out) << c.in;
}

TEST(PasteNames, NoteTextIsCutToWhatANoteHolds) {
    std::string longText(kMaxNoteChars + 50, 'x');
    EXPECT_EQ(NoteTextFromClipboard(longText).size(), kMaxNoteChars);
    // A line break that would not fit whole is left out, not cut in half.
    std::string almost(kMaxNoteChars - 1, 'y');
    EXPECT_EQ(NoteTextFromClipboard(almost + "\nz"), almost);
    std::string fits(kMaxNoteChars - 2, 'y');
    EXPECT_EQ(NoteTextFromClipboard(fits + "\nz"), fits + "\r\n");
}

TEST(PasteNames, FileListBlock) {
    std::vector<uint8_t> b = FileListBlock({"C:\\a.jpg", "", "D:\\b c.mp3"});
    ASSERT_GE(b.size(), 20u);
    uint32_t offset, wide;
    std::memcpy(&offset, b.data(), 4);
    std::memcpy(&wide, b.data() + 16, 4);
    EXPECT_EQ(offset, 20u);
    EXPECT_EQ(wide, 0u);
    std::string list(b.begin() + 20, b.end());
    EXPECT_EQ(list, std::string("C:\\a.jpg\0D:\\b c.mp3\0\0", 21));
    std::vector<uint8_t> none = FileListBlock({});
    EXPECT_EQ(none.size(), 22u);
    EXPECT_EQ(none[20], 0);
    EXPECT_EQ(none[21], 0);
}

TEST(PasteNames, NoteTextCountsCharactersNotBytesAndSaysWhatWasLeftOut) {
    // Greek takes two UTF-8 bytes a letter and an emoji four (two UTF-16 units): a note holds
    // 9,999 units whatever their bytes, and no character is cut in half.
    const std::string alpha = "\xCE\xB1", smile = "\xF0\x9F\x98\x80";
    std::string greek;
    for (size_t i = 0; i < kMaxNoteChars + 10; i++) greek += alpha;
    size_t dropped = 0;
    std::string kept = NoteTextFromClipboard(greek, &dropped);
    EXPECT_EQ(kept.size(), kMaxNoteChars * 2);
    EXPECT_EQ(dropped, 10u);
    std::string smiles = std::string(kMaxNoteChars - 1, 'a') + smile + "b";
    kept = NoteTextFromClipboard(smiles, &dropped);
    EXPECT_EQ(kept, std::string(kMaxNoteChars - 1, 'a'));
    EXPECT_EQ(dropped, 2u);
    kept = NoteTextFromClipboard("\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1 " + smile + "\nx", &dropped);
    EXPECT_EQ(kept, "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1 " + smile + "\r\nx");
    EXPECT_EQ(dropped, 0u);
}

TEST(PasteNames, WideFileListBlock) {
    std::vector<uint8_t> b = WideFileListBlock({u"C:\\\u0395.jpg", u"", u"D:\\b"});
    uint32_t offset, wide;
    std::memcpy(&offset, b.data(), 4);
    std::memcpy(&wide, b.data() + 16, 4);
    EXPECT_EQ(offset, 20u);
    EXPECT_EQ(wide, 1u);
    std::u16string list;
    for (size_t i = 20; i + 1 < b.size(); i += 2) list.push_back(char16_t(b[i] | b[i + 1] << 8));
    EXPECT_EQ(list, std::u16string(u"C:\\\u0395.jpg\0D:\\b\0\0", 15));
}

}  // namespace
}  // namespace sona
