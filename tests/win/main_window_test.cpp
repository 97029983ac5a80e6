// The main window's placement rule for restored items and its start-up helpers.
#include <gtest/gtest.h>

#include "app/DeskApplication.h"
#include "app/MainDeskWindow.h"

namespace sona {
namespace {

TEST(KeepOnScreen, RectanglesOffEveryMonitorMoveOntoTheNearestWorkAreaOthersStay) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    struct Case {
        RECT in;
        bool moves;
    } cases[] = {
        {{100, 100, 460, 370}, false},                                                  // on screen
        {{work.right - 10, 100, work.right + 350, 370}, false},                         // partly visible
        {{-300, -200, -10, -20}, true},                                                 // above left
        {{work.right + 5000, work.bottom + 5000, work.right + 5360, work.bottom + 5270}, true},  // far away
        {{work.right + 10, 200, work.right + 370, 470}, true},                          // just right
    };
    for (const Case& c : cases) {
        RECT out = KeepOnScreen(c.in);
        EXPECT_EQ(out.right - out.left, c.in.right - c.in.left);
        EXPECT_EQ(out.bottom - out.top, c.in.bottom - c.in.top);
        if (!c.moves) {
            EXPECT_TRUE(EqualRect(&out, &c.in));
        } else {
            EXPECT_GE(out.left, work.left);
            EXPECT_GE(out.top, work.top);
            EXPECT_LE(out.right, work.right);
            EXPECT_LE(out.bottom, work.bottom);
        }
    }
}

TEST(PifHandOver, TakesThePathAfterTheQuotedProgramOnlyForUpperCasePif) {
    struct Case {
        const char* commandLine;
        bool written;
        const char* path;
    } cases[] = {
        {"\"C:\\Sonadesk\\Sonadesk.exe\" C:\\list.PIF", true, "C:\\list.PIF"},
        {"\"C:\\Sonadesk\\Sonadesk.exe\" C:\\list.pif", false, ""},
        {"\"C:\\Sonadesk\\Sonadesk.exe\" C:\\list.Pif", false, ""},
        {"Sonadesk.exe C:\\a.PIF", true, "onadesk.exe C:\\a.PIF"},  // no quote: all but the first character
        {"\"C:\\S.exe\"PIF", true, "IF"},
        {"PI", false, ""},
    };
    for (const Case& c : cases) {
        char out[MAX_PATH] = "unchanged";
        EXPECT_EQ(PifHandOverPath(c.commandLine, out, sizeof out), c.written) << c.commandLine;
        if (c.written) EXPECT_STREQ(out, c.path) << c.commandLine;
    }
}

}  // namespace
}  // namespace sona
