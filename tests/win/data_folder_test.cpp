// The data folder's parts that run in-process: where it is for a program whose folder can be
// written (beside it), the write test and the folder maker with names the code page cannot spell,
// and the About window's line naming the place.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "dialogs/CDlgAbout.h"
#include "platform/Text.h"
#include "store/DataFolder.h"

namespace sona {
namespace {

std::string ExeFolder() {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 2 - 1);
    std::wstring w = path;
    return WideToUtf8(w.substr(0, w.find_last_of(L'\\') + 1));
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        path = WideToUtf8(base) + "sonadesk-folder-test-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr);
    }
    ~TempFolder() { Remove(Utf8ToWide(path)); }
    std::string path;

private:
    static void Remove(const std::wstring& folder) {
        WIN32_FIND_DATAW f;
        HANDLE find = FindFirstFileW((folder + L"*").c_str(), &f);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = f.cFileName;
                if (name == L"." || name == L"..") continue;
                if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(folder + name + L"\\");
                else
                    DeleteFileW((folder + name).c_str());
            } while (FindNextFileW(find, &f));
            FindClose(find);
        }
        RemoveDirectoryW(folder.c_str());
    }
};

TEST(DataFolder, IsBesideTheProgramWhenItsFolderCanBeWritten) {
    const DataFolderPlace& place = GetDataFolderPlace();
    EXPECT_EQ(place.besideExe, ExeFolder() + "Data\\");
    EXPECT_EQ(GetDataFolder(), place.besideExe);
    EXPECT_FALSE(place.perUser);
    EXPECT_FALSE(DataFolderNeedsNotice());
    EXPECT_NE(GetFileAttributesW(Utf8ToWide(GetDataFolder()).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(DataFolder, TheWriteTestLeavesNothingBehind) {
    TempFolder temp;
    EXPECT_TRUE(FolderIsWritable(temp.path));
    WIN32_FIND_DATAW f;
    HANDLE find = FindFirstFileW(Utf8ToWide(temp.path + "*").c_str(), &f);
    int entries = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do ++entries;
        while (FindNextFileW(find, &f));
        FindClose(find);
    }
    EXPECT_EQ(entries, 2);  // "." and ".."
    // A folder that is not there cannot be written.
    EXPECT_FALSE(FolderIsWritable(temp.path + "missing\\"));
}

TEST(DataFolder, FoldersAreMadeWithNamesTheCodePageCannotSpell) {
    TempFolder temp;
    struct {
        const char* name;
    } const cases[] = {
        {"\xD0\x9F\xD0\xBE\xD0\xBB\xD1\x8C\xD0\xB7\xD0\xBE\xD0\xB2\xD0\xB0\xD1\x82\xD0\xB5\xD0\xBB\xD1\x8C"},  // Пользователь
        {"\xE5\x86\x99\xE7\x9C\x9F\\Zdj\xC4\x99""cie\\Data"},  // 写真\Zdjęcie\Data: three levels at once
        {"plain\\with trailing\\"},
    };
    for (const auto& c : cases) {
        std::string folder = temp.path + c.name;
        EXPECT_TRUE(CreateFolderTree(folder)) << c.name;
        DWORD attributes = GetFileAttributesW(Utf8ToWide(folder).c_str());
        EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << c.name;
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << c.name;
        // Made again: already there is success.
        EXPECT_TRUE(CreateFolderTree(folder)) << c.name;
        std::string slash = folder.back() == '\\' ? folder : folder + "\\";
        EXPECT_TRUE(FolderIsWritable(slash)) << c.name;
    }
}

TEST(AboutPlace, TheAboutWindowNamesTheDataFolderBelowTheCredits) {
    CDlgAbout about;
    ASSERT_TRUE(about.Create(nullptr));
    ASSERT_NE(about.PlaceLine(), nullptr);
    EXPECT_EQ(about.PlaceText(), GetDataFolder());
    wchar_t text[1024] = {};
    GetWindowTextW(about.PlaceLine(), text, 1024);
    EXPECT_EQ(WideToUtf8(text), "Desks: " + GetDataFolder());
    // Inside the card, clear of the close button and the picture's text above it.
    RECT r;
    GetWindowRect(about.PlaceLine(), &r);
    MapWindowPoints(nullptr, about.hwnd, (POINT*)&r, 2);
    EXPECT_GE(r.top, 100);
    EXPECT_LE(r.bottom, CDlgAbout::kHeight - 4);
    EXPECT_GE(r.left, 100);
    EXPECT_LE(r.right, CDlgAbout::kWidth - 12);
    // A click on it still drags the card: the line lets the mouse through.
    POINT inside{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(about.hwnd, &inside);
    EXPECT_EQ(SendMessageA(about.PlaceLine(), WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTTRANSPARENT);
    about.DestroyWindow();
}

}  // namespace
}  // namespace sona
