// Reading the drivers' command lines, matching wildcards and refusing stored names.
#include "arclib/archive_error.h"
#include "arclib/command_line.h"
#include "arclib/entry_name.h"
#include "support/scratch_folder.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

namespace {

const CommandSyntax LhaSyntax{{{{"x", true}, {"e", false}}}, "-x", nullptr, nullptr, nullptr};
const CommandSyntax ZipSyntax{{{{"-x", true}, {nullptr, false}}}, nullptr, "-j", nullptr, nullptr};
const CommandSyntax RarSyntax{{{{"-x", true}, {"-e", false}}}, nullptr, nullptr, nullptr, nullptr};
const CommandSyntax TarSyntax{{{{"x", true}, {nullptr, false}}}, "--use-directory=", nullptr, "-f", "-o"};

TEST(CommandTest, TheDriversLinesGiveArchiveFolderFilesAndFolderChoice)
{
    ScratchFolder folder;
    const std::string list = folder.write("list", "\"a.chP\"\r\n\"sub dir/b.bmp\"\r\n\r\nplain\n").string();
    // clang-format off
    const struct { const CommandSyntax& syntax; std::string line; Command expected; } cases[] = {
        {LhaSyntax, "x -+ -a0 -m1 -n1 -x1 -ga1  \"/a b/p.lzh\" \"/tmp/q/\" ", {true, "/a b/p.lzh", "/tmp/q/", {}}},
        {LhaSyntax, "x -+ -x0  \"p.lzh\" \"out\\\" \"a.chP\" \"b c.bmp\" ", {false, "p.lzh", "out\\", {"a.chP", "b c.bmp"}}},
        {LhaSyntax, "x -+  \"p.lzh\" \"o/\" \"@" + list + "\" ", {true, "p.lzh", "o/", {"a.chP", "sub dir/b.bmp", "plain"}}},
        {ZipSyntax, "-x -o -j  \"p.zip\" \"/tmp/q/\" \"sub/[[]1].chP\" ", {false, "p.zip", "/tmp/q/", {"sub/[[]1].chP"}}},
        {RarSyntax, "-e -u -y  \"p.rar\" \"o/\" ", {false, "p.rar", "o/", {}}},
        {RarSyntax, "-x -u  \"p.rar\"", {true, "p.rar", "", {}}},
        {TarSyntax, "x -I --display-dialog=0 --use-directory=0 -z -f \"p.tgz\" -o \"o/\" \"a\" ", {false, "p.tgz", "o/", {"a"}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Command command = parseCommand(c.line, c.syntax);
        EXPECT_EQ(command.keepFolders, c.expected.keepFolders);
        EXPECT_EQ(command.archive, c.expected.archive);
        EXPECT_EQ(command.folder, c.expected.folder);
        EXPECT_EQ(command.files, c.expected.files);
    }
}

TEST(CommandTest, LinesThatDoNotUnpackAreRefused)
{
    // clang-format off
    const struct { const CommandSyntax& syntax; const char* line; ArcResult result; } cases[] = {
        {LhaSyntax, "u -+  \"p.lzh\" \"base/\" ", arcUnsupportedCommand},
        {ZipSyntax, "-a  \"p.zip\" ", arcUnsupportedCommand},
        {TarSyntax, "c -f \"p.tar\" ", arcUnsupportedCommand},
        {LhaSyntax, "", arcBadCommand},
        {LhaSyntax, "x -+ -x1 ", arcBadCommand},
        {LhaSyntax, "x \"p.lzh\" \"@/no/such/list\" ", arcBadCommand},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        try {
            parseCommand(c.line, c.syntax);
            ADD_FAILURE() << "not refused";
        } catch (const ArchiveError& error) {
            EXPECT_EQ(error.result(), c.result);
            EXPECT_NE(std::string(error.what()), "");
        }
    }
}

TEST(WildcardTest, MatchesLikeTheArchiversDo)
{
    // clang-format off
    const struct { const char* wildcard; const char* name; bool brackets; bool matches; } cases[] = {
        {"*.*", "noextension", false, true}, {"*.chp", "sub/A.CHP", false, true},  {"sub\\*", "sub/a", false, true},
        {"a?c", "ac", false, false},         {"[[]1].chP", "[1].chP", true, true}, {"[!ab]*", "b.txt", true, false},
        {"[a-c]x", "Bx", true, true},        {"[ab]x", "[ab]x", false, true},      {"a*b*c", "aXbYbZc", false, true},
        {"a*b*c", "aXbYbZ", false, false},   {"[abc", "[abc", true, true},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.wildcard) + " " + c.name);
        EXPECT_EQ(matchesWildcard(c.wildcard, c.name, c.brackets), c.matches);
    }
}

// Absolute and outward paths are refused with their messages in the hostile archives;
// here what no archive writer stores.
TEST(EntryNameTest, RefusedNamesSayWhy)
{
    // clang-format off
    const struct { std::string name; std::string message; } cases[] = {
        {std::string("a\0b", 3), "a: refused, the path holds a NUL byte"},
        {"./", "./: refused, the path names no file"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(thrownMessage<ArchiveError>([&] { relativeParts(c.name); }), c.message);
    }
}

}  // namespace
