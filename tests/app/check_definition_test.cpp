// The --check mode: one line per finding, in the form editors link to, and its exit status.
#include "app/check_definition.h"
#include "support/package_folder.h"

#include <sys/wait.h>

#include <cstdlib>

namespace {

using CheckTest = PackageTest;

TEST_F(CheckTest, PrintsOneLinkableLinePerFindingAndFailsOnErrors)
{
    // The sample definition holds six lines; the anime lines follow from line 7.
    struct Case {
        std::vector<std::string> lines;
        std::vector<std::string> printed;  // after "FILE:"
        int status;
    };
    const Case cases[] = {
        {{"#PATERN 01 0203"}, {}, 0},
        {{"#PATERN 01 020", "#LOOP 01 5"},
         {"7: warning: the pattern source list of anime 01 ends in an odd character '0', which is not read",
          "8: warning: anime 01 goes on at frame 6 after its last frame, 1, so it stands still on an empty frame"},
         0},
        {{"#ANIME fa\x01st", "#PATERN 01 02", "#SIZE x"},
         {"7: error: 'fa\\x01st' は数値ではありません", "9: error: 'x' は数値ではありません"},
         1},
    };
    for (const Case& c : cases) {
        const std::string file = writeSampleDefinition(c.lines);
        std::string expected;
        for (const std::string& line : c.printed) expected += file + ":" + line + "\n";
        const CheckOutcome outcome = checkDefinition(file);
        EXPECT_EQ(outcome.text, expected);
        EXPECT_EQ(outcome.status, c.status);
    }

    const std::string missing = (folder / "none.chP").string();
    EXPECT_EQ(checkDefinition(missing).text, missing + ": error: ファイル " + missing + " は開けません: No such file or directory\n");
}

TEST_F(CheckTest, TheProgramExitsWithOneOnErrorsAndTwoOnUsageErrors)
{
    writeFile("bad.chP", "#SIZE\r\n");
    struct Case {
        std::string arguments;
        int status;
        std::string printed;
    };
    const Case cases[] = {{"bad.chP", 1, "bad.chP:1: error: '' は数値ではありません\n"}, {"none.chP", 1, "none.chP: error: ファイル none.chP は開けません: No such file or directory\n"}, {"", 2, ""}, {"a.chP b.chP", 2, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const std::string command = "cd '" + folder.string() + "' && timeout 20 '" POMELUNE_EXECUTABLE "' --check " + c.arguments + " >out.txt 2>err.txt";
        const int result = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(result) ? WEXITSTATUS(result) : -1, c.status);
        EXPECT_EQ(fileText(folder / "out.txt"), c.printed);
    }
}

}  // namespace
