#include "tests/archive/archiver_error_capture.h"
#include "archive/archiver.h"
#include "archive/archiver_error.h"
#include "platform/file_system.h"
#include "platform/window_messages.h"
#include "tests/archive/testlib/recorded_command.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <utility>

namespace {

ArchiverLibrary& unlha()
{
    static ArchiverLibrary library("UNLHA32.DLL");
    return library;
}

// A driver over the test library: the command word x and the common tail.
class TTestArchiver : public TArchiver {
public:
    TTestArchiver() { LoadDLL(); }
    void LoadDLL() override { unlha().load("UNLHA32.DLL が必要です。"); }
    void FreeDLL() override { unlha().free(); }
    int Extract(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                const std::vector<std::string>* files, bool useResponseFile, std::string& output) override
    {
        TCmdOpt line;
        addCommandTail(line, options, archive, folder, files, useResponseFile);
        return runCommand(unlha(), "Unlha", window, "x" + line.CmdLine, output);
    }
};

// Only what every driver must supply.
class TBareArchiver : public TArchiver {
public:
    int Extract(HWND, const std::string&, const TArchiverOptions&, const std::string&, const std::vector<std::string>*, bool,
                std::string&) override
    {
        return 0;
    }
};

const RecordedCommand& lastCommand() { return *unlha().entry<TestLastCommandProc>("UnlhaTestLastCommand")(); }


std::string tail(const TArchiverOptions& options, const std::string& folder, const std::vector<std::string>* files,
                 bool useResponseFile)
{
    TCmdOpt line;
    addCommandTail(line, options, "a.lzh", folder, files, useResponseFile);
    return line.CmdLine;
}

TEST(ArchiverTest, ACommandGetsTheWindowTheLineAndTheOutputBuffer)
{
    TTestArchiver archiver;
    const TArchiverOptions options;
    std::string output;
    EXPECT_EQ(archiver.Extract(window(0x42), "a.lzh", options, "/tmp/out", nullptr, false, output), 0);
    EXPECT_EQ(archiver.CommandLine, "x  \"a.lzh\" \"/tmp/out/\" ");
    EXPECT_EQ(lastCommand().window, window(0x42));
    EXPECT_EQ(lastCommand().commandLine, archiver.CommandLine);
    EXPECT_TRUE(lastCommand().outputNull);
    EXPECT_EQ(lastCommand().size, 0u);

    output.assign(32, '\0');
    EXPECT_EQ(archiver.Extract(nullptr, "b.lzh", options, "", nullptr, false, output), 0);
    EXPECT_EQ(archiver.CommandLine, "x  \"b.lzh\" ");
    EXPECT_FALSE(lastCommand().outputNull);
    EXPECT_EQ(lastCommand().size, 32u);
    EXPECT_STREQ(output.c_str(), "unlha: done");
}

TEST(ArchiverTest, EntriesAreKeptAndAMissingOneNamesTheLibrary)
{
    TTestArchiver archiver;
    const auto command = unlha().entry<ArchiverCommandProc>("Unlha");
    EXPECT_NE(command, nullptr);
    EXPECT_EQ(unlha().entry<ArchiverCommandProc>("Unlha"), command);
    EXPECT_EQ(archiverError([] { unlha().entry<ArchiverOpenArchiveProc>("UnlhaOpenArchive"); }),
              executableFolder() + "/libunlha32.so に UnlhaOpenArchive のエントリが見つかりません。");
}

TEST(ArchiverTest, ALibraryThatCannotBeLoadedRaisesTheDriversMessage)
{
    ArchiverLibrary missing("NOSUCH32.DLL");
    EXPECT_EQ(archiverError([&] { missing.load("NOSUCH32.DLL が必要です。"); }), "NOSUCH32.DLL が必要です。");
    EXPECT_FALSE(missing.loaded());
    EXPECT_FALSE(missing.tryLoad());
}

TEST(ArchiverTest, FreeDLLForgetsTheEntriesAndUnloads)
{
    TTestArchiver archiver;
    archiver.FreeDLL();
    EXPECT_FALSE(unlha().loaded());
    EXPECT_EQ(archiverError([] { unlha().entry<ArchiverCommandProc>("Unlha"); }), " に Unlha のエントリが見つかりません。");

    archiver.LoadDLL();
    std::string output;
    EXPECT_EQ(archiver.Extract(nullptr, "a.lzh", TArchiverOptions(), "", nullptr, false, output), 0);
    EXPECT_EQ(lastCommand().commandLine, "x  \"a.lzh\" ");
}

TEST(ArchiverTest, TheBaseOperations)
{
    TBareArchiver archiver;
    const TArchiverOptions options;
    const std::vector<std::string> files{"a.bmp"};
    std::string output;
    INDIVIDUALINFO record{};
    EXPECT_EQ(archiverError([&] { archiver.LoadDLL(); }), "Abstract method 'TArchiver.LoadDLL' was called");
    EXPECT_EQ(archiverError([&] { archiver.FreeDLL(); }), "Abstract method 'TArchiver.FreeDLL' was called");
    EXPECT_EQ(archiver.OpenArchive(window(1), "a.lzh", 0), 0u);
    EXPECT_EQ(archiver.FindFirst(1, record, "*.*"), -1);
    EXPECT_EQ(archiver.FindNext(1, record), -1);
    EXPECT_EQ(archiver.CloseArchive(1), 0);
    EXPECT_EQ(archiverError([&] { archiver.Pack(nullptr, "a.lzh", options, "", &files, true, output); }),
              "この形式では書庫ファイルの作成をサポートしておりません。");
    EXPECT_EQ(archiverError([&] { archiver.Remove(nullptr, "a.lzh", options, "", &files, true, output); }),
              "この形式の書庫ではファイルの削除をサポートしておりません。");
    EXPECT_EQ(archiverError([&] { archiver.Update(nullptr, "a.lzh", options, "", &files, true, output); }),
              "この形式の書庫では書庫の更新をサポートしておりません。");
    EXPECT_EQ(archiverError([&] { archiver.MakeSFX(nullptr, "a.lzh", options, "", output); }),
              "この形式では自己解凍書庫の作成をサポートしておりません。");
    EXPECT_EQ(archiverError([&] { archiver.CheckArchive("a.lzh", 0x800002, 0); }),
              "この形式では書庫チェック機能をサポートしておりません。");
    EXPECT_FALSE(archiver.SetOwnerWindow(window(1), nullptr));
    EXPECT_FALSE(archiver.KillOwnerWindow(window(1)));
    EXPECT_EQ(archiver.OwnerWindow, nullptr);
    EXPECT_EQ(archiver.CommandLine, "");
}

TEST(CommandTailTest, EmptyWordsLeaveTheirBlanks)
{
    TArchiverOptions options;
    EXPECT_EQ(tail(options, "", nullptr, true), "  \"a.lzh\" ");
    EXPECT_EQ(tail(options, "/tmp/out/", nullptr, true), "  \"a.lzh\" \"/tmp/out/\" ");
    options.UserOptions = "-u1";
    options.UserFileList = "*.bmp";
    EXPECT_EQ(tail(options, "out", nullptr, true), " -u1 \"a.lzh\" \"out/\" *.bmp");
}

TEST(CommandTailTest, AFileListGoesOnTheLineWithoutAResponseFileName)
{
    TArchiverOptions options;
    const std::vector<std::string> files{"x.bmp", "y z.chP"};
    const std::string onTheLine = "  \"a.lzh\" \"x.bmp\" \"y z.chP\" ";
    EXPECT_EQ(tail(options, "", &files, true), onTheLine);
    options.ResFileName = UnsetString;
    EXPECT_EQ(tail(options, "", &files, true), onTheLine);
    options.ResFileName = "/nonexistent-folder/response.txt";
    EXPECT_EQ(tail(options, "", &files, false), onTheLine);
}

TEST(CommandTailTest, AFileListGoesIntoTheResponseFileWhenAsked)
{
    const auto path = std::filesystem::temp_directory_path() / ("pomelune-tail-" + std::to_string(::getpid()) + ".txt");
    TArchiverOptions options;
    options.ResFileName = path.string();
    const std::vector<std::string> files{"x.bmp", "y z.chP"};
    EXPECT_EQ(tail(options, "/out", &files, true), "  \"a.lzh\" \"/out/\" \"@" + path.string() + "\" ");
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_EQ(text.str(), "\"x.bmp\"\r\n\"y z.chP\"\r\n");
    std::filesystem::remove(path);
}

TEST(ArchiverTest, TheLibrarysProgressMessagesReachTheMessageWindow)
{
    TTestArchiver archiver;
    std::vector<std::pair<uint32_t, uintptr_t>> received;
    intptr_t reply = 0;
    HWND progress = createMessageWindow([&](uint32_t message, uintptr_t wParam, intptr_t) {
        received.emplace_back(message, wParam);
        return reply;
    });
    unlha().entry<ArchiverSetOwnerWindowExProc>("UnlhaSetOwnerWindowEx")(progress, nullptr);
    std::string output;
    EXPECT_EQ(archiver.Extract(nullptr, "a.lzh", TArchiverOptions(), "", nullptr, false, output), 0);
    reply = 1;  // asks the library to stop
    EXPECT_EQ(archiver.Extract(nullptr, "a.lzh", TArchiverOptions(), "", nullptr, false, output), 1);
    unlha().entry<ArchiverKillOwnerWindowExProc>("UnlhaKillOwnerWindowEx")(progress);
    destroyMessageWindow(progress);

    const std::pair<uint32_t, uintptr_t> extracting{registerWindowMessage("wm_arcextract"), 1};
    EXPECT_EQ(received, (std::vector{extracting, extracting}));
}

}  // namespace
