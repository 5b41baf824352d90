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
        EXPECT_EQ(std::pair(outcome.text, outcome.status), std::pair(expected, c.status));
    }

    const std::string missing = (folder / "none.chP").string();
    const CheckOutcome outcome = checkDefinition(missing);
    EXPECT_EQ(std::pair(outcome.text, outcome.status),
              std::pair(missing + ": error: ファイル " + missing + " は開けません: No such file or directory\n", 1));
}

// The program's exit status and standard output for --check, run in the test's folder.
std::pair<int, std::string> runCheck(const std::filesystem::path& folder, const std::vector<std::string>& arguments)
{
    std::string command = "cd '" + folder.string() + "' && timeout 20 '" POMELUNE_EXECUTABLE "' --check";
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    const int result = std::system((command + " >out.txt 2>err.txt").c_str());
    return {WIFEXITED(result) ? WEXITSTATUS(result) : -1, fileText(folder / "out.txt")};
}

TEST_F(CheckTest, ExitsWithOneOnErrorsAndTwoOnUsageErrors)
{
    writeSampleDefinition({"#PATERN 01 020"});
    EXPECT_EQ(runCheck(folder, {"chara.chP"}),
              (std::pair<int, std::string>{0, "chara.chP:7: warning: the pattern source list of anime 01 ends in an odd character '0', "
                                              "which is not read\n"}));
    writeFile("bad.chP", "#SIZE\r\n");
    EXPECT_EQ(runCheck(folder, {"bad.chP"}), (std::pair<int, std::string>{1, "bad.chP:1: error: '' は数値ではありません\n"}));
    EXPECT_EQ(runCheck(folder, {"none.chP"}).first, 1);
    EXPECT_EQ(runCheck(folder, {}), (std::pair<int, std::string>{2, ""}));
    EXPECT_EQ(runCheck(folder, {"a.chP", "b.chP"}).first, 2);
}

}  // namespace
