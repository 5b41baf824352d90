// TCmdOpt: the words of a command line and the response file.
#include "archive/archiver_options.h"
#include "archive/cmd_opt.h"
#include "platform/exception.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

namespace {

TEST(CmdOptTest, SwitchesWordsQuotedValuesAndFolders)
{
    TCmdOpt line;
    line.AddSwitch("c", -1);
    line.AddQuoted("w", UnsetString);
    line.AddQuoted("jo", "");
    line.AddQuoted(" --dir=", "out");
    line.AddFolder("w", "/tmp/qptemp/");
    line.AddFolder("", "\x83\x5c");  // "ソ": the last byte is "\", which is no folder separator here
    line.AddFolder("w", UnsetString);
    EXPECT_EQ(line.CmdLine, " \"-jo\" \"--dir=out\" \"-w/tmp/qptemp/\" \"\x83\x5c/\"");
}

// What stands at its path is replaced as platform/ replaces files (file_system_test).
TEST(CmdOptTest, AResponseFileListsTheFilteredNamesOrRaises)
{
    const ScratchFolder folder;
    TCmdOpt response;
    response.NameFilter = [](const std::string& file) { return "[" + file + "]"; };
    response.WriteResponseFile({"a.bmp", "b c.chP"}, (folder / "list.txt").string());
    EXPECT_EQ(response.CmdLine, " \"@" + (folder / "list.txt").string() + "\"");
    EXPECT_EQ(fileText(folder / "list.txt"), "\"[a.bmp]\"\r\n\"[b c.chP]\"\r\n");
    EXPECT_EQ(thrownMessage<Exception>([] { TCmdOpt().WriteResponseFile({"x"}, "/nonexistent/list.txt"); }),
              "ファイル /nonexistent/list.txt を作成できません");
}

}  // namespace
