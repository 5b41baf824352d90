// TCmdOpt: the words of a command line and the response file.
#include "archive/archiver_options.h"
#include "archive/cmd_opt.h"
#include "platform/exception.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

// A link or FIFO at the response file's path is replaced, never written through or
// blocked on; so is an older file.
TEST(CmdOptTest, AResponseFileReplacesWhatWasThere)
{
    alarm(20);  // opening a FIFO for writing would block for ever
    const ScratchFolder folder;
    folder.write("old.txt", "old contents that must go");
    folder.write("target.txt", "kept");
    std::filesystem::create_symlink(folder / "target.txt", folder / "link.txt");
    ASSERT_EQ(::mkfifo((folder / "fifo.txt").c_str(), 0600), 0);
    for (const char* name : {"old.txt", "link.txt", "fifo.txt"}) {
        SCOPED_TRACE(name);
        TCmdOpt response;
        response.NameFilter = [](const std::string& file) { return "[" + file + "]"; };
        response.WriteResponseFile({"a.bmp", "b c.chP"}, (folder / name).string());
        EXPECT_EQ(response.CmdLine, " \"@" + (folder / name).string() + "\"");
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(folder / name)));
        EXPECT_EQ(fileText(folder / name), "\"[a.bmp]\"\r\n\"[b c.chP]\"\r\n");
    }
    EXPECT_EQ(fileText(folder / "target.txt"), "kept");
    alarm(0);
    TCmdOpt nowhere;
    EXPECT_THROW(nowhere.WriteResponseFile({"x"}, "/nonexistent-folder/response.txt"), Exception);
}

}  // namespace
