// Destroying windows: the window goes before its object, with the object whole; WM_NCDESTROY
// unbinds it; an object that dies with its window still alive takes the window along without
// any of its handlers running on what is left of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/Window.h"

using namespace sona;

namespace {

// Records which messages of the end of a window reached it, and whether its own member was still
// there when they did.
class Recorder : public Window {
public:
    explicit Recorder(std::vector<std::string>* log) : log(log) {}
    ~Recorder() override { member.clear(); }

    bool Create(HWND parent = nullptr) {
        const char* cls = RegisterWindowClass(CS_DBLCLKS, LoadCursorA(nullptr, IDC_ARROW));
        DWORD style = parent ? WS_CHILD : WS_POPUP;
        return CreateEx(0, cls, "", style, 0, 0, 50, 50, parent, parent ? 5 : 0);
    }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_DESTROY) log->push_back("destroy:" + member);
        if (msg == WM_NCDESTROY) log->push_back("ncdestroy:" + member);
        return Window::WndProc(msg, wp, lp);
    }

    std::vector<std::string>* log;
    std::string member = "whole";
};

TEST(WindowDestroy, DestroyWindowRunsTheHandlersOnTheWholeObjectAndUnbindsIt) {
    std::vector<std::string> log;
    Recorder w(&log);
    ASSERT_TRUE(w.Create());
    HWND h = w.hwnd;
    w.DestroyWindow();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(w.hwnd, nullptr);
    EXPECT_EQ(Window::FromHandle(h), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"destroy:whole", "ncdestroy:whole"}));
}

TEST(WindowDestroy, ChildrenGoWithTheirParentWhileTheirObjectsAreWhole) {
    std::vector<std::string> log;
    Recorder parent(&log);
    ASSERT_TRUE(parent.Create());
    Recorder child(&log);
    child.member = "child";
    ASSERT_TRUE(child.Create(parent.hwnd));
    HWND c = child.hwnd;
    parent.DestroyWindow();
    EXPECT_FALSE(IsWindow(c));
    EXPECT_EQ(child.hwnd, nullptr);
    EXPECT_EQ(Window::FromHandle(c), nullptr);
    EXPECT_NE(std::find(log.begin(), log.end(), "ncdestroy:child"), log.end());
}

TEST(WindowDestroy, AnObjectThatDiesFirstTakesItsWindowWithoutReachingItsHandlers) {
    std::vector<std::string> log;
    auto w = std::make_unique<Recorder>(&log);
    ASSERT_TRUE(w->Create());
    HWND h = w->hwnd;
    w.reset();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(Window::FromHandle(h), nullptr);
    EXPECT_TRUE(log.empty());
}

}  // namespace
