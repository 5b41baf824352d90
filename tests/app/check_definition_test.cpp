// The --check mode: one line per finding, in the form editors link to, and its exit status.
#include "support/package_folder.h"

#include <sys/wait.h>

#include <cstdlib>

namespace {

using CheckTest = PackageTest;

TEST_F(CheckTest, PrintsOneLinkableLinePerFindingAndExitsWithOneOnErrors)
{
    // The sample definition holds six lines; the anime lines follow from line 7.
    const auto sample = [&](const char* name, const std::vector<std::string>& lines) {
        std::filesystem::rename(writeSampleDefinition(lines), folder / name);
    };
    sample("warn.chP", {"#PATERN 01 020", "#LOOP 01 5"});
    sample("bad.chP", {"#ANIME fa\x01st", "#PATERN 01 02", "#SIZE x"});
    const struct {
        std::string arguments;
        int status;
        std::string printed;
    } cases[] = {
        {"warn.chP", 0,
         "warn.chP:7: warning: the pattern source list of anime 01 ends in an odd character '0', which is not "
         "read\nwarn.chP:8: warning: anime 01 goes on at frame 6 after its last frame, 1, so it stands still on an "
         "empty frame\n"},
        {"bad.chP", 1,
         "bad.chP:7: error: 'fa\\x01st' は数値ではありません\nbad.chP:9: error: 'x' は数値ではありません\n"},
        {"none.chP", 1, "none.chP: error: ファイル none.chP は開けません: No such file or directory\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const std::string command = "cd '" + folder.string() + "' && timeout 20 '" POMELUNE_EXECUTABLE "' --check " +
                                    c.arguments + " >out.txt 2>err.txt";
        const int result = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(result) ? WEXITSTATUS(result) : -1, c.status);
        EXPECT_EQ(fileText(folder / "out.txt"), c.printed);
    }
}

}  // namespace
