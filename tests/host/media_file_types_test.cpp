// The table of media file types: the dialogs' filters and the extensions import and drop accept.
#include <gtest/gtest.h>

#include <string>

#include "items/MediaFileTypes.h"
#include "store/DeskRecords.h"

using namespace sona;

namespace {

TEST(MediaFileTypes, FiltersAreTheKnownTexts) {
    struct Case {
        uint32_t type;
        const char* filter;
    } cases[] = {
        {kItemMovie,
         "(all movie files)|*.avi;*.wmv;*.asf;*.mpg;*.mpeg|(*.avi)|*.avi|(*.wmv)|*.wmv|(*.asf)|*.asf|(*.mpg)|*.mpg|"
         "(*.mpeg)|*mpeg||"},
        {kItemMusic, "(all music files)|*.mp3;*.wav;*.wma;*.mid|(*.mp3)|*.mp3|(*.wav)|*.wav|(*.wma)|*.wma|(*.mid)|*.mid||"},
        {kItemPicture,
         "(all picture files)|*.jpg;*.bmp;*png;*.wmf|(*.jpg)|*.jpg|(*.bmp)|*.bmp|(*.png)|*.png|(*.wmf)|*.wmf||"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        ASSERT_NE(OpenDialogFilter(c.type), nullptr);
        EXPECT_STREQ(OpenDialogFilter(c.type), c.filter);
    }
    EXPECT_EQ(OpenDialogFilter(kItemText), nullptr);
    EXPECT_EQ(OpenDialogFilter(2), nullptr);
}

// What the dialog offers and what a drop takes stay the same set: every extension of a type has
// its own "(*.ext)" entry in that type's filter, and no filter entry lacks its extension.
TEST(MediaFileTypes, EveryExtensionHasItsFilterEntryAndBack) {
    for (const MediaFileType& t : kMediaFileTypes) {
        std::string filter = t.filter;
        int listed = 0;
        for (const char* const* e = t.extensions; *e; e++, listed++) {
            SCOPED_TRACE(*e);
            EXPECT_NE(filter.find(std::string("(*.") + *e + ")|"), std::string::npos);
            uint32_t type = 99;
            EXPECT_TRUE(ItemTypeOfFile(std::string("C:\\media\\file.") + *e, &type));
            EXPECT_EQ(type, t.itemType);
        }
        size_t entries = 0;
        for (size_t at = filter.find("|(*."); at != std::string::npos; at = filter.find("|(*.", at + 1)) entries++;
        EXPECT_EQ((int)entries, listed) << filter;
    }
}

TEST(MediaFileTypes, TypeOfAFileByItsExtension) {
    struct Case {
        const char* path;
        bool known;
        uint32_t type;
    } cases[] = {
        {"C:\\a\\b.jpg", true, kItemPicture},   {"C:\\a\\b.JPG", true, kItemPicture},
        {"b.Png", true, kItemPicture},          {"C:\\a\\b.wmf", true, kItemPicture},
        {"C:\\a\\b.mp3", true, kItemMusic},     {"C:\\a\\b.MID", true, kItemMusic},
        {"C:\\a\\b.wav", true, kItemMusic},     {"C:\\a\\b.wma", true, kItemMusic},
        {"C:\\a\\b.avi", true, kItemMovie},     {"C:\\a\\b.mpeg", true, kItemMovie},
        {"C:\\a\\b.Mpg", true, kItemMovie},     {"C:\\a\\b.asf", true, kItemMovie},
        {"C:\\a\\b.txt", false, 0},             {"C:\\a\\b", false, 0},
        {"C:\\a.jpg\\b", false, 0},             {"C:/a.mp3/b", false, 0},
        {"C:\\a\\b.jpeg", false, 0},            {"C:\\a\\b.", false, 0},
        {"", false, 0},                         {"C:\\a\\b.jpg.txt", false, 0},
        {"C:\\a\\mpeg", false, 0},              {"C:\\a\\b.txt.png", true, kItemPicture},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        uint32_t type = 99;
        EXPECT_EQ(ItemTypeOfFile(c.path, &type), c.known);
        if (c.known) EXPECT_EQ(type, c.type);
    }
}

}  // namespace
