#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

// The message of the CommandLineError the arguments raise; "" when they parse.
std::string errorOf(const std::vector<std::string>& arguments)
{
    try {
        parseCommandLine(arguments);
    } catch (const CommandLineError& error) {
        return error.what();
    }
    return "";
}

TEST(CommandLine, WithoutAModeTheWindowTakesTheFirstArgument)
{
    EXPECT_EQ(parseCommandLine({}).mode, RunMode::Window);
    EXPECT_EQ(parseCommandLine({}).file, "");
    const CommandLine line = parseCommandLine({"chara.chP", "ignored"});
    EXPECT_EQ(line.mode, RunMode::Window);
    EXPECT_EQ(line.file, "chara.chP");
}

TEST(CommandLine, HelpAndVersion)
{
    EXPECT_EQ(parseCommandLine({"--help"}).mode, RunMode::Help);
    EXPECT_EQ(parseCommandLine({"-h"}).mode, RunMode::Help);
    EXPECT_EQ(parseCommandLine({"--version"}).mode, RunMode::Version);
    EXPECT_NE(usageText().find("--info FILE.chP"), std::string::npos);
    EXPECT_NE(usageText().find("--render FILE.chP [--anime N] [--frames K] [--out DIR]"), std::string::npos);
    EXPECT_EQ(usageText().back(), '\n');
}

TEST(CommandLine, InfoTakesItsFileAsNextArgumentOrAfterEquals)
{
    for (const auto& arguments : {std::vector<std::string>{"--info", "a b.chP"}, std::vector<std::string>{"--info=a b.chP"}}) {
        const CommandLine line = parseCommandLine(arguments);
        EXPECT_EQ(line.mode, RunMode::Info);
        EXPECT_EQ(line.file, "a b.chP");
    }
}

TEST(CommandLine, RenderWithDefaultsAndWithEveryOption)
{
    const CommandLine plain = parseCommandLine({"--render", "c.chP"});
    EXPECT_EQ(plain.mode, RunMode::Render);
    EXPECT_EQ(plain.file, "c.chP");
    EXPECT_FALSE(plain.render.anime);
    EXPECT_FALSE(plain.render.frames);
    EXPECT_EQ(plain.render.folder, ".");

    const CommandLine full = parseCommandLine({"--anime", "30", "--render", "c.chP", "--frames=9999", "--out", "out/x", "--anime=0"});
    EXPECT_EQ(full.mode, RunMode::Render);
    EXPECT_EQ(full.file, "c.chP");
    EXPECT_EQ(full.render.anime, 0);  // the last one counts
    EXPECT_EQ(full.render.frames, 9999);
    EXPECT_EQ(full.render.folder, "out/x");
}

TEST(CommandLine, MissingValues)
{
    EXPECT_EQ(errorOf({"--info"}), "--info needs a value");
    EXPECT_EQ(errorOf({"--info="}), "--info needs a value");
    EXPECT_EQ(errorOf({"--render", "--anime", "1"}), "--render needs a value");
    EXPECT_EQ(errorOf({"--render", "c.chP", "--frames"}), "--frames needs a value");
    EXPECT_EQ(errorOf({"--render", "c.chP", "--out"}), "--out needs a value");
}

TEST(CommandLine, BadNumbers)
{
    EXPECT_EQ(errorOf({"--render", "c.chP", "--anime", "31"}), "--anime needs a whole number from 0 to 30, not '31'");
    EXPECT_EQ(errorOf({"--render", "c.chP", "--frames", "0"}), "--frames needs a whole number from 1 to 9999, not '0'");
    for (const char* bad : {"-1", "10000", "3x", "x3", " 3", "+3", "0x10", "99999999999"})
        EXPECT_NE(errorOf({"--render", "c.chP", "--frames", bad}), "") << bad;
    EXPECT_EQ(errorOf({"--render", "c.chP", "--frames", "-1"}), "--frames needs a whole number from 1 to 9999, not '-1'");
}

TEST(CommandLine, UnknownOptionsAndMisplacedArguments)
{
    EXPECT_EQ(errorOf({"--bogus"}), "unknown option '--bogus'");
    EXPECT_EQ(errorOf({"-x", "c.chP"}), "unknown option '-x'");
    EXPECT_EQ(errorOf({"--bogus=1"}), "unknown option '--bogus=1'");
    EXPECT_EQ(errorOf({"--version=2"}), "--version takes no value");
    EXPECT_EQ(errorOf({"--info", "a.chP", "--render", "b.chP"}), "give only one of --info, --render, --help and --version");
    EXPECT_EQ(errorOf({"--help", "--version"}), "give only one of --info, --render, --help and --version");
    EXPECT_EQ(errorOf({"--info", "a.chP", "--frames", "2"}), "--frames goes with --render only");
    EXPECT_EQ(errorOf({"--out", "x"}), "--out goes with --render only");
    EXPECT_EQ(errorOf({"--info", "a.chP", "b.chP"}), "unexpected argument 'b.chP'");
    EXPECT_EQ(errorOf({"--render", "a.chP", "-"}), "unexpected argument '-'");
}

}  // namespace
