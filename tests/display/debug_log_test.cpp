// Halting on error, the one debug option the window turns on; the log is read by the
// other display tests.
#include "support/display_fixture.h"

namespace {

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
