// The command line read into modes and settings, and the message of each misuse.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

// The parsed line as "mode 'file' anime frames folder", "-" for no file and an unset number; or
// the message of the CommandLineError the arguments raise.
std::string outcomeOf(const std::vector<std::string>& arguments)
{
    try {
        const CommandLine line = parseCommandLine(arguments);
        const auto number = [](std::optional<int32_t> value) { return value ? std::to_string(*value) : "-"; };
        const char* modes[] = {"window", "info", "render", "help", "version", "export", "check", "open"};
        if (line.mode == RunMode::Export)
            return "export '" + line.file + "' " + std::to_string(line.exporting.anime) + " " +
                   line.exporting.out.string() + " x" + std::to_string(line.exporting.scale) + " " +
                   number(line.exporting.columns);
        const std::string file = line.fileGiven ? "'" + line.file + "'" : "-";
        return std::string(modes[static_cast<int>(line.mode)]) + " " + file + " " + number(line.render.anime) + " " +
               number(line.render.frames) + " " + line.render.folder.string();
    } catch (const CommandLineError& error) {
        return error.what();
    }
}

TEST(CommandLine, ModesAndSettings)
{
    const struct {
        std::vector<std::string> arguments;
        std::string outcome;
    } cases[] = {
        {{}, "window - - - ."},
        {{"chara.chP", "ignored"}, "window 'chara.chP' - - ."},
        {{"--info=a b.chP"}, "info 'a b.chP' - - ."},
        {{"--render", "c.chP"}, "render 'c.chP' - - ."},
        {{"--open", "p.lzh", "--check", "c.chP"}, "give only one of --info, --render, --export, --check and --open"},
        // The last --anime counts.
        {{"--anime", "30", "--render", "c.chP", "--frames=9999", "--out", "out/x", "--anime=0"},
         "render 'c.chP' 0 9999 out/x"},
        {{"--info"}, "--info needs a value"},
        {{"--render", "c.chP", "--anime", "31"}, "--anime needs a whole number from 0 to 30, not '31'"},
        {{"-x", "c.chP"}, "unknown option '-x'"},
        // --help and --version win wherever they stand before "--"; the first one counts.
        {{"--info", "a.chP", "--frames", "x", "--version", "-h"}, "version - - - ."},
        {{"--bogus", "--help"}, "help - - - ."},
        {{"-h=1"}, "-h takes no value"},
        // After "--" every argument is a file.
        {{"--render", "--out", "o", "--", "--help"}, "render '--help' - - o"},
        {{"--info", "a.chP", "--frames", "2"}, "--frames goes with --render only"},
        {{"--export", "a.chP", "--out", "a.gif"}, "export 'a.chP' 1 a.gif x1 -"},
        {{"--scale=3", "--export", "a.chP", "--anime", "6", "--out", "s.png", "--columns", "512"},
         "export 'a.chP' 6 s.png x3 512"},
        {{"--export", "a.chP"}, "--export needs --out NAME.gif or NAME.png"},
        {{"--export", "a.chP", "--out", "a.gif", "--scale", "17"},
         "--scale needs a whole number from 1 to 16, not '17'"},
        {{"--export", "a.chP", "--out", "a.png", "--columns", "0"},
         "--columns needs a whole number from 1 to 512, not '0'"},
        {{"--check", "a.chP", "--anime", "2"}, "--anime goes with --render or --export only"},
        {{"--render", "a.chP", "-"}, "unexpected argument '-'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(outcomeOf(c.arguments), c.outcome);
    }
    for (const std::string bad : {"0", "10000", "3x", " 3", "+3", "0x10", "99999999999"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(outcomeOf({"--render", "c.chP", "--frames", bad}),
                  "--frames needs a whole number from 1 to 9999, not '" + bad + "'");
    }
}

}  // namespace
