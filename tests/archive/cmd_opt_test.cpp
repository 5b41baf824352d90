#include "archive/archiver_options.h"
#include "archive/cmd_opt.h"
#include "platform/exception.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string contents(const std::filesystem::path& path)
{
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

TEST(CmdOptTest, SwitchesWordsQuotedValuesAndFolders)
{
    TCmdOpt line;
    line.AddSwitch("a", 0);
    line.AddSwitch("", 5);
    line.AddSwitch("-x", 1);
    line.AddSwitch("c", -1);
    line.Add("");
    line.Add("word");
    EXPECT_EQ(line.CmdLine, " -a0 -5 --x1  word");

    TCmdOpt quoted;
    quoted.AddQuoted("w", UnsetString);
    quoted.AddQuoted("", "archive.lzh");
    quoted.AddQuoted("jo", "");
    quoted.AddQuoted(" --dir=", "out");
    quoted.SeparateValue = true;
    quoted.AddQuoted("d", "x y");
    quoted.AddQuoted(" -o", "z");
    EXPECT_EQ(quoted.CmdLine, " \"archive.lzh\" \"-jo\" \"--dir=out\" -d \"x y\" -o \"z\"");

    TCmdOpt folders;
    folders.AddFolder("w", "/tmp/qptemp");
    folders.AddFolder("w", "/tmp/qptemp/");
    folders.AddFolder("", "\x83\x5c");  // "ソ": the last byte is "\", which is no folder separator here
    folders.AddFolder("w", "");
    folders.AddFolder("w", UnsetString);
    EXPECT_EQ(folders.CmdLine, " \"-w/tmp/qptemp/\" \"-w/tmp/qptemp/\" \"\x83\x5c/\"");
}

TEST(CmdOptTest, FileListsOnTheLineOrInAResponseFile)
{
    TCmdOpt line;
    line.NameFilter = [](const std::string& name) { return "[" + name + "]"; };
    line.AddFileList("", {"a.bmp", "b c.chP"});
    EXPECT_EQ(line.CmdLine, " \"[a.bmp]\" \"[b c.chP]\"");

    const auto path = std::filesystem::temp_directory_path() / ("pomelune-response-" + std::to_string(::getpid()) + ".txt");
    std::ofstream(path) << "old contents that must go";
    TCmdOpt response;
    response.NameFilter = line.NameFilter;
    response.WriteResponseFile({"a.bmp", "b c.chP"}, path.string());
    EXPECT_EQ(response.CmdLine, " \"@" + path.string() + "\"");
    EXPECT_EQ(contents(path), "\"[a.bmp]\"\r\n\"[b c.chP]\"\r\n");
    std::filesystem::remove(path);
    EXPECT_THROW(response.WriteResponseFile({"x"}, "/nonexistent-folder/response.txt"), Exception);
}

// A link or FIFO standing at the response file's path is replaced, never written
// through or blocked on.
TEST(CmdOptTest, AResponseFileReplacesALinkOrFifoAtItsPath)
{
    alarm(20);  // opening the FIFO for writing would block for ever
    const auto folder = std::filesystem::temp_directory_path() / ("pomelune-response-links-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "target.txt") << "kept";
    std::filesystem::create_symlink(folder / "target.txt", folder / "link.txt");
    ASSERT_EQ(::mkfifo((folder / "fifo.txt").c_str(), 0600), 0);
    for (const char* name : {"link.txt", "fifo.txt"}) {
        TCmdOpt line;
        line.WriteResponseFile({"a.bmp"}, (folder / name).string());
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(folder / name))) << name;
        EXPECT_EQ(contents(folder / name), "\"a.bmp\"\r\n") << name;
    }
    EXPECT_EQ(contents(folder / "target.txt"), "kept");
    alarm(0);
    std::filesystem::remove_all(folder);
}

TEST(ArchiverOptionsTest, NothingIsGivenAtFirst)
{
    TArchiverOptions options;
    TCmdOpt line;
    for (int8_t value : {options.a, options.x, options.jyc, options.gw}) line.AddSwitch("s", value);
    for (const std::string* text : {&options.w, &options.jo, &options.job, &options.jz, &options.gr}) line.AddQuoted("q", *text);
    EXPECT_EQ(line.CmdLine, "");
    EXPECT_TRUE(options.ResFileUsage.contains(ruOnUnpack));
    EXPECT_FALSE(options.ResFileUsage.contains(ruOnUpdate));
    EXPECT_EQ(options.PackFilter, pfArchiver);
}

}  // namespace
