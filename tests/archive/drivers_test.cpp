// The library binding and every format driver, against the stand-in libraries beside
// the test program.
#include "archive/arj32.h"
#include "archive/cab32.h"
#include "archive/lha32.h"
#include "archive/rar32.h"
#include "archive/tar32.h"
#include "archive/zip32.h"
#include "platform/file_system.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

template <class Driver>
std::unique_ptr<TArchiver> make()
{
    return std::make_unique<Driver>();
}
using Make = std::unique_ptr<TArchiver> (*)();

// The command line an unpacking of the archive sends, or the message it raises.
std::string extract(TArchiver& driver, const std::string& archive)
{
    std::string out;
    const std::string raised =
        thrownMessage<EArchiver>([&] { driver.Extract(nullptr, archive, {}, "", nullptr, out); });
    return raised.empty() ? driver.CommandLine : raised;
}

TEST(ArchiverLibraryTest, AMissingLibraryOrEntryIsNamedInTheMessage)
{
    // Found beside the program once, by the platform's name.
    EXPECT_EQ(loadLibrary("unlha32.dll"), loadLibrary("UNLHA32.DLL"));
    EXPECT_EQ(libraryPath(loadLibrary("UNLHA32.DLL")), executableFolder() + "/libunlha32.so");
    ArchiverLibrary missing("NOSUCH32.DLL");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { missing.load("NOSUCH32.DLL が必要です。"); }),
              "NOSUCH32.DLL が必要です。");

    // After FreeDLL a driver's entries are missing; the ZIP one names both its libraries.
    TLha32 lha;
    lha.FreeDLL();
    EXPECT_EQ(thrownMessage<EArchiver>([&] { lha.OpenArchive(nullptr, "a.lzh", 0); }),
              "libunlha32.so に UnlhaOpenArchive のエントリが見つかりません。");
    TZip32 zip;
    zip.FreeDLL();
    EXPECT_EQ(extract(zip, "a.zip"), "ZIP 形式書庫の解凍には UNZIP32.DLL または LMZIP32.DLL が必要です。");
    zip.LoadDLL();
    EXPECT_EQ(extract(zip, "a.zip"), "-x  \"a.zip\" ");
}

// The window unpacks with a0 m1 n1 x1 ga1 into its folder.
TEST(DriversTest, UnpackingLinesReachEachLibraryWithTheWindow)
{
    const TArchiverOptions unpacking{.a = 0, .m = 1, .n = 1, .x = 1, .ga = 1};
    const std::string tail = "\" \"/tmp/qptemp/\" ";
    const std::string tarTail = "  -f \"a.tar\" -o \"/tmp/qptemp/\" ";
    // clang-format off
    const struct { Make make; const char* archive; TArchiverOptions options; const char* library; const char* prefix;
                   std::string line; HWND received; } cases[] = {
        {make<TLha32>, "a.lzh", unpacking, "UNLHA32.DLL", "Unlha", "x -+ -a0 -m1 -n1 -x1 -ga1  \"a.lzh" + tail, window(3)},
        {make<TArj32>, "a.arj", unpacking, "UNARJ32J.DLL", "Unarj", "x -+ -a0 -m1 -n1 -x1 -ga1  \"a.arj" + tail, nullptr},
        {make<TZip32>, "a.zip", unpacking, "UNZIP32.DLL", "UnZip", "-x --i  \"a.zip" + tail, window(3)},
        {make<TCab32>, "a.cab", unpacking, "CAB32.DLL", "Cab", "-x -i  \"" + fullPath("a.cab") + tail, window(3)},
        {make<TRar32>, "a.rar", unpacking, "UNRAR32.DLL", "Unrar", "-x -u -y  \"a.rar" + tail, window(3)},
        {make<TTgz32>, "a.tar", unpacking, "tar32.dll", "Tar", "x -I --display-dialog=0 --use-directory=1 -z" + tarTail, window(3)},
        {make<TTar32>, "a.tar", {.jm = 9}, "tar32.dll", "Tar", "x" + tarTail, window(3)},
        {make<TBZ232>, "a.tar", {.jm = 0}, "tar32.dll", "Tar", "x -B" + tarTail, window(3)},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string output(8192, '\0');
        EXPECT_EQ(c.make()->Extract(window(3), c.archive, c.options, "/tmp/qptemp", nullptr, output), 0);
        EXPECT_EQ(lastCommand(c.library, c.prefix).commandLine, c.line);
        EXPECT_EQ(lastCommand(c.library, c.prefix).window, c.received);
    }
}

// The content tests open by full path with no window and the check mode, and close
// whatever they opened.
TEST(DriversTest, ContentTestsOpenByFullPathAndCloseWhatTheyOpened)
{
    CurrentScratchFolder folder;
    const std::string archive = folder.write("a.cab", "Cab").string();
    EXPECT_TRUE(IsCabArchive((folder / "sub/../a.cab").string()));
    const RecordedCalls& cab = calls("CAB32.DLL", "Cab");
    EXPECT_EQ(cab.openArchive, archive);
    EXPECT_EQ(cab.openWindow, nullptr);
    EXPECT_EQ(cab.openMode, 0x800002u);
    const int closed = calls("UNRAR32.DLL", "Unrar").closeCount;
    EXPECT_FALSE(IsRarArchive(archive));
    EXPECT_EQ(calls("UNRAR32.DLL", "Unrar").closeCount, closed + 1);
}

}  // namespace
