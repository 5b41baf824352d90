// The debug log, which the window never turns on: numbered lines and their switches;
// and halting on error, which the window does.
#include "support/display_fixture.h"

#include <fstream>
#include <sstream>

namespace {

using DebugLogTest = DisplayTest;

std::string logText(const std::filesystem::path& folder)
{
    std::stringstream text;
    text << std::ifstream(folder / "dddd.debug", std::ios::binary).rdbuf();
    return text.str();
}

TEST_F(DebugLogTest, LinesAreNumberedWithCrLfOnlyWithTheirSwitchOnAndTheFirstStartsTheFileAnew)
{
    std::ofstream(folder / "dddd.debug") << "left from an earlier run\r\n";
    DebugLog("一行目");
    EXPECT_EQ(CheckResult(0, "never"), 0);
    EXPECT_EQ(CheckResult(DDERR_SURFACELOST, "サーフェスを作れませんでした"),
              DDERR_SURFACELOST);  // the code in upper-case hex
    // Lines are written and counted only with their switch on.
    dddd.setDebugOption({});
    DebugLog("off");
    EXPECT_EQ(CheckResult(5, "failed"), 5);  // without the halt option the program goes on
    dddd.setDebugOption({ddoDebugMessage});
    DetailLog("hidden");
    dddd.setDebugOption({ddoDebugMessage, ddoDetailedLog});
    DetailLog("shown");
    EXPECT_EQ(logText(folder), "debug#00001 ... 一行目\r\ndebug#00002 ... サーフェスを作れませんでした(Error "
                               "Code(887601C2))\r\ndebug#00003 ... shown\r\n");
}

using DebugLogDeathTest = DisplayTest;

TEST_F(DebugLogDeathTest, HaltOnErrorEndsTheProgramAfterLoggingIfLoggingIsOn)
{
    dddd.setDebugOption({ddoHaltOnError});
    EXPECT_EXIT(CheckResult(7, "halt"), ::testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_FALSE(std::filesystem::exists(folder / "dddd.debug"));
    dddd.setDebugOption({ddoHaltOnError, ddoDebugMessage});
    EXPECT_EXIT(CheckResult(DDERR_GENERIC, "halt"), ::testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EQ(logMessages(), std::vector<std::string>{"halt(Error Code(80004005))"});
}

}  // namespace
