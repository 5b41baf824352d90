// Messages on one line: control characters escaped.
#include "app/console.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(ConsoleTest, MessagesAreWholeAndOnOneLine)
{
    EXPECT_EQ(escapedControls("a\0b\n\t\x7f\x1b"
                              "c ポ"s),
              "a\\x00b\\x0A\\x09\\x7F\\x1Bc ポ");
}

}  // namespace
