#include "support/fake_window_host.h"

#include <gtest/gtest.h>

namespace {

TEST(FakeWindowHostTest, AMessageGoesThroughTheCurrentProcedureAndItsResultComesBack)
{
    FakeWindowHost window;
    window.ownResult = 7;
    EXPECT_EQ(window.deliver(WM_MOVE, 0, 0x00200010), 7);
    // A procedure put in front, passing every message on.
    const WindowProcedure old = window.windowProcedure();
    std::vector<uint32_t> seen;
    window.setWindowProcedure([&](uint32_t message, uintptr_t wParam, intptr_t lParam) {
        seen.push_back(message);
        if (message == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(lParam)->ptMaxSize = {640, 480};
        return old(message, wParam, lParam) + 1;
    });
    MINMAXINFO info;
    EXPECT_EQ(window.deliver(WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info)), 8);
    EXPECT_EQ(info.ptMaxSize, (POINT{640, 480}));
    EXPECT_EQ(seen, (std::vector<uint32_t>{WM_GETMINMAXINFO}));
    ASSERT_EQ(window.ownMessages.size(), 2u);
    EXPECT_EQ(window.ownMessages[0].lParam, 0x00200010);
    EXPECT_EQ(window.ownMessages[1].message, WM_GETMINMAXINFO);
}

TEST(FakeWindowHostTest, CallsAreRecordedInOrderAndHandlesNameTheWindow)
{
    FakeWindowHost window;
    window.isMaximized = true;
    window.show();
    window.bringToFront();
    window.setNormalState();
    window.setBounds({0, 0, 640, 480});
    window.bringToTop();
    EXPECT_EQ(window.calls, (std::vector<std::string>{"show", "bringToFront", "setNormalState", "setBounds 0 0 640 480", "bringToTop"}));
    EXPECT_FALSE(window.maximized());
    EXPECT_EQ(window.clientOrigin(), (POINT{0, 0}));
    EXPECT_EQ(window.clientWidth(), 640);

    const HWND first = window.handle();
    EXPECT_EQ(windowFromHandle(first), &window);
    window.recreate();
    EXPECT_NE(window.handle(), first);
    EXPECT_EQ(windowFromHandle(first), nullptr);
    EXPECT_EQ(windowFromHandle(window.handle()), &window);

    int painted = 0;
    window.setPaintHandler([&](void* sender) { painted += sender == &window; });
    window.paint();
    EXPECT_EQ(painted, 1);
}

}  // namespace
