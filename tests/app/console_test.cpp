// Messages on one line and the progress line of a long run.
#include "app/console.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using namespace std::string_literals;

TEST(ConsoleTest, MessagesAreWholeAndOnOneLine)
{
    EXPECT_EQ(escapedControls("a\0b\n\t\x7f\x1b"
                              "c ポ"s),
              "a\\x00b\\x0A\\x09\\x7F\\x1Bc ポ");
}

// What a progress line writes for the runs of (milliseconds since the start, done) steps.
std::string progressOf(bool terminal, const std::vector<std::pair<int64_t, int32_t>>& steps)
{
    std::FILE* out = std::tmpfile();
    int64_t now = 5000;
    {
        ProgressLine line(out, terminal, [&now] { return now; });
        for (const auto& [elapsed, done] : steps) {
            now = 5000 + elapsed;
            line.show(done, 3);
        }
    }
    std::string text(static_cast<size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    text.resize(std::fread(text.data(), 1, text.size(), out));
    std::fclose(out);
    return text;
}

TEST(ConsoleTest, ProgressShowsOnATerminalOnceARunTakesMoreThanASecond)
{
    EXPECT_EQ(progressOf(true, {{10, 1}, {1000, 2}, {1001, 3}}), "\rframe 3 of 3\n");
    EXPECT_EQ(progressOf(true, {{2000, 1}, {3000, 2}}), "\rframe 1 of 3\rframe 2 of 3\n");
    EXPECT_EQ(progressOf(true, {{10, 1}, {20, 2}, {30, 3}}), "");
    EXPECT_EQ(progressOf(false, {{2000, 1}, {3000, 2}}), "");
}

}  // namespace
