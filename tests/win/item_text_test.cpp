// An item's path and a note's text in its record: a field that never names another file, the
// whole text beside it in the store's extension, and the wide file calls that open them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/FileNames.h"
#include "platform/Text.h"
#include "store/ItemText.h"

using namespace sona;

namespace {

// A fresh folder under the temporary folder, UTF-8, ending in a backslash.
std::string TempFolder(const char* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::string folder = WideToUtf8(temp) + name + "\\";
    MakeFolder(folder);
    return folder;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE h = OpenFileHandle(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    BOOL ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &put, nullptr);
    CloseHandle(h);
    return ok && put == bytes.size();
}

std::string ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes)) return "<unreadable>";
    return std::string(bytes.begin(), bytes.end());
}

const std::string kPolish = "Zdj\xC4\x99" "cie.jpg";  // Zdjęcie.jpg
const std::string kChinese = "\xE5\x86\x99\xE7\x9C\x9F.jpg";  // 写真.jpg

}  // namespace

TEST(ItemText, ANameOutsideTheCodePageNeverBecomesItsLookAlike) {
    std::string folder = TempFolder("sona-names-lookalike");
    ASSERT_TRUE(WriteBytes(folder + kPolish, "right"));
    ASSERT_TRUE(WriteBytes(folder + "Zdjecie.jpg", "wrong"));
    // Through the wide calls each name opens its own file.
    EXPECT_EQ(ReadBytes(folder + kPolish), "right");
    EXPECT_EQ(ReadBytes(folder + "Zdjecie.jpg"), "wrong");
    bool exact = true;
    std::string field = AnsiPathField(folder + kPolish, &exact);
    std::string spelt;
    if (!Utf8ToAnsiExact(folder + kPolish, &spelt)) {
        EXPECT_FALSE(exact);
        // Whatever the field holds, it is not the look-alike, and if it opens anything it is
        // the right file (an 8.3 short name), never the other one.
        EXPECT_EQ(field.find("Zdjecie"), std::string::npos) << field;
        HANDLE h = CreateFileA(field.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            char got[16] = {};
            DWORD n = 0;
            ReadFile(h, got, sizeof got, &n, nullptr);
            CloseHandle(h);
            EXPECT_EQ(std::string(got, n), "right");
        }
    }
    RemoveFile(folder + kPolish);
    RemoveFile(folder + "Zdjecie.jpg");
}

TEST(ItemText, PathFieldsCannotMislead) {
    struct Case {
        const char* name;
        std::string path;
        bool exact;
    } cases[] = {
        {"plain", "C:\\Photos\\a.jpg", true},
        {"chinese, no such file", "C:\\Photos\\" + kChinese, false},
        {"ascii but too long", "C:\\" + std::string(300, 'a') + ".jpg", false},
        {"exactly 259", "C:\\" + std::string(252, 'b') + ".jpg", true},
    };
    for (const Case& c : cases) {
        bool exact = false;
        std::string field = AnsiPathField(c.path, &exact);
        EXPECT_EQ(exact, c.exact) << c.name;
        EXPECT_LT(field.size(), kPathField) << c.name;
        if (c.exact)
            EXPECT_EQ(field, c.path) << c.name;
        else
            EXPECT_NE(field.find('?'), std::string::npos) << c.name << ": " << field;
    }
}

TEST(ItemText, RecordsKeepTheWholePathAndNoteText) {
    DeskCollection store;
    PictureItemRecord picture{};
    RecordView view(&picture);
    const std::string longPath = "C:\\" + std::string(280, 'p') + "\\" + kChinese;
    ASSERT_TRUE(SetItemPath(&store, view, longPath));
    EXPECT_EQ(ItemPath(store, view), longPath);
    ASSERT_TRUE(SetItemPath(&store, view, "C:\\plain.jpg"));
    EXPECT_STREQ(picture.path, "C:\\plain.jpg");
    EXPECT_EQ(ItemPath(store, view), "C:\\plain.jpg");

    TextItemRecord note{};
    RecordView noteView(&note);
    const std::string greek = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1 \xCE\xB1\xCE\xB2\xCE\xB3 \xF0\x9F\x98\x80";
    ASSERT_TRUE(SetItemNoteText(&store, noteView, greek));
    EXPECT_EQ(ItemText(store, noteView), greek);
    // The field: no look-alikes ("a" for alpha, "\xDF" for beta).
    EXPECT_EQ(std::string(note.text).find('\xDF'), std::string::npos) << note.text;
    EXPECT_EQ(std::string(note.text).substr(0, 6), "??????");
}

TEST(ItemText, LongPathsWorkThroughTheWideCalls) {
    std::string folder = TempFolder("sona-names-long");
    std::string path = folder;
    for (int i = 0; i < 5; i++) {
        path += std::string(50, (char)('a' + i)) + "\\";
        ASSERT_TRUE(MakeFolder(path) || PathExists(path)) << path;
    }
    path += kChinese;
    ASSERT_GT(Utf8ToWide(path).size(), (size_t)MAX_PATH);
    ASSERT_TRUE(WriteBytes(path, "long"));
    EXPECT_TRUE(PathExists(path));
    EXPECT_EQ(ReadBytes(path), "long");
    EXPECT_EQ(WriteFileAtomically(path, "again", 5), FileWriteResult::kOk);
    EXPECT_EQ(ReadBytes(path), "again");
    EXPECT_TRUE(RemoveFile(path));
}
