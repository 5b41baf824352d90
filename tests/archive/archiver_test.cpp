#include "archive/archiver.h"
#include "archive/lha32.h"
#include "platform/file_system.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

namespace {

// Only what every driver must supply.
class TBareArchiver : public TArchiver {
public:
    int Extract(HWND, const std::string&, const TArchiverOptions&, const std::string&, const std::vector<std::string>*,
                std::string&) override
    {
        return 0;
    }
};

std::string tail(const TArchiverOptions& options, const std::string& folder, const std::vector<std::string>* files)
{
    TCmdOpt line;
    addCommandTail(line, options, "a.lzh", folder, files, true);
    return line.CmdLine;
}

TEST(ArchiverLibraryTest, AMissingEntryNamesTheLibrarysFile)
{
    ArchiverLibrary sysarc("SYSARC32.DLL");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { sysarc.entry<ArchiverCommandProc>("Sysarc"); }),
              "libsysarc32.so に Sysarc のエントリが見つかりません。");
    sysarc.load("");
    EXPECT_NE(sysarc.entry<ArchiverCommandProc>("Sysarc"), nullptr);
    EXPECT_EQ(thrownMessage<EArchiver>([&] { sysarc.entry<ArchiverOpenArchiveProc>("SysarcOpenArchive"); }),
              executableFolder() + "/system/libsysarc32.so に SysarcOpenArchive のエントリが見つかりません。");

    ArchiverLibrary missing("NOSUCH32.DLL");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { missing.load("NOSUCH32.DLL が必要です。"); }), "NOSUCH32.DLL が必要です。");
    EXPECT_FALSE(missing.loaded());
}

TEST(ArchiverLibraryTest, FreeDLLUnloadsUntilTheNextCommand)
{
    TLha32 lha;
    lha.FreeDLL();
    EXPECT_EQ(thrownMessage<EArchiver>([&] { lha.OpenArchive(nullptr, "a.lzh", 0); }),
              "libunlha32.so に UnlhaOpenArchive のエントリが見つかりません。");
    std::string output;
    EXPECT_EQ(lha.Extract(nullptr, "a.lzh", TArchiverOptions(), "", nullptr, output), 0);
    EXPECT_EQ(lastCommand("UNLHA32.DLL", "Unlha").commandLine, "x -+  \"a.lzh\" ");
}

TEST(ArchiverTest, TheBaseOperations)
{
    TBareArchiver archiver;
    const TArchiverOptions options;
    const std::vector<std::string> files{"a.bmp"};
    std::string output;
    INDIVIDUALINFO record{};
    EXPECT_EQ(thrownMessage<EArchiver>([&] { archiver.LoadDLL(); }), "Abstract method 'TArchiver.LoadDLL' was called");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { archiver.FreeDLL(); }), "Abstract method 'TArchiver.FreeDLL' was called");
    EXPECT_EQ(archiver.OpenArchive(window(1), "a.lzh", 0), 0u);
    EXPECT_EQ(archiver.FindFirst(1, record, "*.*"), -1);
    EXPECT_EQ(archiver.FindNext(1, record), -1);
    EXPECT_EQ(archiver.CloseArchive(1), 0);
    EXPECT_EQ(thrownMessage<EArchiver>([&] { archiver.Pack(nullptr, "a.lzh", options, "", &files, output); }),
              "この形式では書庫ファイルの作成をサポートしておりません。");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { archiver.Remove(nullptr, "a.lzh", options, "", &files, output); }),
              "この形式の書庫ではファイルの削除をサポートしておりません。");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { archiver.Update(nullptr, "a.lzh", options, "", &files, output); }),
              "この形式の書庫では書庫の更新をサポートしておりません。");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { archiver.MakeSFX(nullptr, "a.lzh", options, "", output); }),
              "この形式では自己解凍書庫の作成をサポートしておりません。");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { archiver.CheckArchive("a.lzh", 0x800002, 0); }),
              "この形式では書庫チェック機能をサポートしておりません。");
    EXPECT_FALSE(archiver.SetOwnerWindow(window(1), nullptr));
    EXPECT_FALSE(archiver.KillOwnerWindow(window(1)));
    EXPECT_EQ(archiver.OwnerWindow, nullptr);
}

TEST(CommandTailTest, EmptyWordsLeaveTheirBlanksAndFileListsGoOnTheLineWithoutAResponseFileName)
{
    TArchiverOptions options;
    EXPECT_EQ(tail(options, "", nullptr), "  \"a.lzh\" ");
    const std::vector<std::string> files{"x.bmp", "y z.chP"};
    const std::string onTheLine = "  \"a.lzh\" \"x.bmp\" \"y z.chP\" ";
    EXPECT_EQ(tail(options, "", &files), onTheLine);
    options.ResFileName = UnsetString;
    EXPECT_EQ(tail(options, "", &files), onTheLine);
    options.UserOptions = "-u1";
    options.UserFileList = "*.bmp";
    EXPECT_EQ(tail(options, "out", nullptr), " -u1 \"a.lzh\" \"out/\" *.bmp");
}

}  // namespace
