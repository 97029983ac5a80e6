// The note editor's and the picture loader's paths once more in a child run of this test program under Wine's heap
// checker (WINEDEBUG=warn+heap validates the heap and fills freed blocks), where a write into a
// freed block or a second free shows as a crash or a failure instead of passing by luck.
// On Windows the variable means nothing and the child simply runs the tests again.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

constexpr const char* kChildMark = "SONADESK_HEAP_CHILD";

// Runs this program with `filter` and the heap checker; returns its exit code (-1: no start,
// -2: it did not end within four minutes).
long RunCheckedChild(const std::string& filter) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string cmd = std::string("\"") + self + "\" --gtest_filter=" + filter;
    SetEnvironmentVariableA("WINEDEBUG", "-all,warn+heap");
    SetEnvironmentVariableA(kChildMark, "1");
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = nul;
    si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA(kChildMark, nullptr);
    SetEnvironmentVariableA("WINEDEBUG", "-all");
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (!started) return -1;
    long code = -2;
    if (WaitForSingleObject(pi.hProcess, 240000) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(pi.hProcess, &exitCode);
        code = (long)exitCode;
    } else {
        TerminateProcess(pi.hProcess, 99);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

}  // namespace

TEST(HeapChecked, TheNoteEditorPathsPassUnderWinesHeapChecker) {
    if (std::getenv(kChildMark)) GTEST_SKIP() << "already the checked child";
    const char* paths =
        "AddTextDialog.TheFontListHoldsOnlyFacesGdiplusCanDraw:"
        "TextItemTest.EditKeepsTheCornerAndResizesOnlyOnOk:"
        "TextItemTest.ANoteRemovedWhileItsEditorIsOpenIsNotWrittenByOk:"
        "TextItemTest.ANoteDeletedByItsOwnerWhileItsEditorIsOpenSurvivesOk";
    EXPECT_EQ(RunCheckedChild(paths), 0);
}

// A desk left while its pictures load: a result written into a freed item or a request freed
// twice shows as a crash or a failure.
TEST(HeapChecked, SwitchingAwayWhilePicturesLoadPassesUnderWinesHeapChecker) {
    if (std::getenv(kChildMark)) GTEST_SKIP() << "already the checked child";
    EXPECT_EQ(RunCheckedChild("PictureLoaderTest.SwitchingAwayWhileLoadingLeavesNoWindowThreadOrResult"), 0);
}
