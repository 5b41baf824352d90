#include "platform/window_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(WindowMessagesTest, ARegisteredNumberDependsOnlyOnTheName)
{
    // Fixed by the name alone, so libraries built apart agree on it.
    EXPECT_EQ(registerWindowMessage("wm_arcextract"), 0xE253u);
    EXPECT_EQ(registerWindowMessage("WM_ArcExtract"), 0xE253u);
    EXPECT_EQ(registerWindowMessage("wm_arcprogress"), 0xFDD1u);
}

TEST(WindowMessagesTest, AMessageReachesItsWindowsHandlerAndBringsBackItsReply)
{
    std::vector<std::string> received;
    HWND first = createMessageWindow([&](uint32_t message, uintptr_t wParam, intptr_t lParam) {
        received.push_back(std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam));
        return intptr_t{7};
    });
    HWND second = createMessageWindow([](uint32_t, uintptr_t, intptr_t) { return intptr_t{-1}; });
    EXPECT_TRUE(first && first != second);
    EXPECT_EQ(sendMessage(first, 0xC123, 2, -3), 7);
    EXPECT_EQ(sendMessage(second, 0xC123, 0, 0), -1);
    EXPECT_EQ(received, std::vector<std::string>{"49443 2 -3"});  // 0xC123

    destroyMessageWindow(first);
    EXPECT_EQ(sendMessage(first, 0xC123, 2, -3), 0);
    EXPECT_EQ(received.size(), 1u);
    destroyMessageWindow(second);
    EXPECT_EQ(sendMessage(nullptr, 0xC123, 0, 0), 0);
    // A handler may destroy its own window.
    HWND self = nullptr;
    self = createMessageWindow([&](uint32_t, uintptr_t, intptr_t) {
        destroyMessageWindow(self);
        return intptr_t{1};
    });
    EXPECT_EQ(sendMessage(self, 0xC000, 0, 0), 1);
    EXPECT_EQ(sendMessage(self, 0xC000, 0, 0), 0);
}

}  // namespace
