// Messages between the archivers and their owner window.
#include "platform/window_messages.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowMessagesTest, AMessageReachesItsWindowsHandlerAndBringsBackItsReplyUntilTheWindowIsGone)
{
    std::vector<intptr_t> received;
    HWND window = createMessageWindow([&](uint32_t message, uintptr_t wParam, intptr_t lParam) {
        received.push_back(lParam);
        return static_cast<intptr_t>(message + wParam);
    });
    EXPECT_EQ(sendMessage(window, 0xC123, 2, -3), 0xC125);
    EXPECT_EQ(received, std::vector<intptr_t>{-3});
    destroyMessageWindow(window);
    EXPECT_EQ(sendMessage(window, 0xC123, 2, -3), 0);
    EXPECT_EQ(received.size(), 1u);
    window = createMessageWindow([&](uint32_t, uintptr_t, intptr_t) {
        destroyMessageWindow(window);  // a handler may destroy its own window
        return intptr_t{1};
    });
    EXPECT_EQ(sendMessage(window, 0xC000, 0, 0), 1);
    EXPECT_EQ(sendMessage(window, 0xC000, 0, 0), 0);
}

}  // namespace
