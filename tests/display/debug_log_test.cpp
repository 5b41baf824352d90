#include "platform/exception.h"
#include "support/display_fixture.h"

#include <fstream>
#include <sstream>

namespace {

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

using DebugLogTest = DisplayTest;

TEST_F(DebugLogTest, LinesAreNumberedWithCrLfAndTheFirstLineStartsTheFileAnew)
{
    std::ofstream(folder / "dddd.debug") << "left from an earlier run\r\n";
    DebugLog("一行目");
    DebugLog("second");
    EXPECT_EQ(fileText(folder / "dddd.debug"), "debug#00001 ... 一行目\r\ndebug#00002 ... second\r\n");
}

TEST_F(DebugLogTest, DetailLogFollowsTheDetailedSwitchAndOnlyWrittenLinesCount)
{
    dddd.setDebugOption({ddoDebugMessage});
    DetailLog("hidden");
    EXPECT_EQ(debugLogLineCount(), 0);
    dddd.setDebugOption({ddoDebugMessage, ddoDetailedLog});
    DetailLog("shown");
    EXPECT_EQ(fileText(folder / "dddd.debug"), "debug#00001 ... shown\r\n");
}

TEST_F(DebugLogTest, NothingIsWrittenWhenLoggingIsOff)
{
    dddd.setDebugOption({});
    DebugLog("x");
    EXPECT_EQ(CheckResult(5, "failed"), 5);
    EXPECT_FALSE(std::filesystem::exists(folder / "dddd.debug"));
}

TEST_F(DebugLogTest, CheckResultLogsTheCodeInUpperCaseHexAndReturnsIt)
{
    EXPECT_EQ(CheckResult(0, "never"), 0);
    EXPECT_EQ(CheckResult(DDERR_SURFACELOST, "サーフェスを作れませんでした"), DDERR_SURFACELOST);
    EXPECT_EQ(CheckResult(1, "one"), 1);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"サーフェスを作れませんでした(Error Code(887601C2))", "one(Error Code(1))"}));
}

TEST_F(DebugLogTest, AnUnwritableLogRaises)
{
    setDebugLogPath((folder / "missing-folder" / "dddd.debug").string());
    EXPECT_THROW(DebugLog("x"), Exception);
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
