// The ZIP and TAR drivers with all their libraries beside the test program.
#include "archive/tar32.h"
#include "archive/self_extractor.h"
#include "archive/zip32.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const char* const Unzip32 = "UNZIP32.DLL";
const char* const Zip32j = "ZIP32J.DLL";
const char* const Lmzip32 = "LMZIP32.DLL";
const char* const Tar32 = "tar32.dll";

std::string zipPackLine(int8_t a, int8_t n)
{
    TArchiverOptions options;
    options.a = a;
    options.n = n;
    TZip32 zip;
    std::string output;
    zip.Pack(nullptr, "a.zip", options, "base", nullptr, output);
    return zip.CommandLine;
}

// The line an extract of "a.tar" to "out" sends.
std::string tarLine(TTar32& tar, int8_t jm, int8_t n = -1)
{
    TArchiverOptions options;
    options.jm = jm;
    options.n = n;
    std::string output;
    tar.Extract(nullptr, "a.tar", options, "out", nullptr, output);
    return tar.CommandLine;
}

// Sets PATH for the life of the object.
class SearchPath {
public:
    explicit SearchPath(const std::string& path) { setenv("PATH", path.c_str(), 1); }
    ~SearchPath() { setenv("PATH", previous_.c_str(), 1); }

private:
    std::string previous_ = std::getenv("PATH");
};

TEST(ZipDriverTest, TheApplicationsUnpackingLineGoesToUNZIP32)
{
    TArchiverOptions options;
    options.ga = options.m = options.x = options.n = 1;
    options.a = 0;
    TZip32 zip;
    std::string output(8192, '\0');
    EXPECT_EQ(zip.Extract(window(3), "pkg/chara.zip", options, "/tmp/qptemp", nullptr, output), 0);
    EXPECT_EQ(zip.CommandLine, "-x --i  \"pkg/chara.zip\" \"/tmp/qptemp/\" ");
    const RecordedCommand& received = lastCommand(Unzip32, "UnZip");
    EXPECT_EQ(received.commandLine, zip.CommandLine);
    EXPECT_EQ(received.window, window(3));
    EXPECT_EQ(received.size, 8192u);
    EXPECT_EQ(lastCommand(Lmzip32, "Unzip").commandLine, "");
}

TEST(ZipDriverTest, PackSwitchesFollowAAndN)
{
    EXPECT_EQ(zipPackLine(-1, -1), " -D  \"a.zip\" \"base/\" ");
    EXPECT_EQ(zipPackLine(1, -1), " -S -D  \"a.zip\" \"base/\" ");
    EXPECT_EQ(zipPackLine(2, -1), " -S  \"a.zip\" \"base/\" ");
    EXPECT_EQ(zipPackLine(0, 1), " -D -q -o  \"a.zip\" \"base/\" ");
    EXPECT_EQ(lastCommand(Zip32j, "Zip").commandLine, " -D -q -o  \"a.zip\" \"base/\" ");
}

TEST(ZipDriverTest, ListedNamesPassTheNameFilter)
{
    EXPECT_EQ(ZipNameFilter("[[\\"), "[[][[]/");
    TZip32 zip;
    const std::vector<std::string> files{"cg\\a[1].bmp"};
    std::string output;
    zip.Extract(nullptr, "a.zip", TArchiverOptions(), "", &files, output);
    EXPECT_EQ(zip.CommandLine, "-x  \"a.zip\" \"cg/a[[]1].bmp\" ");
    zip.Remove(nullptr, "a.zip", TArchiverOptions(), "base", &files, output);
    EXPECT_EQ(zip.CommandLine, "-d -D  \"a.zip\" \"cg/a[[]1].bmp\" ");
}

TEST(ZipDriverTest, WithNoLibraryLoadedCommandsNameTheLibrariesTheyNeed)
{
    TZip32 zip;
    zip.FreeDLL();
    std::string output;
    EXPECT_EQ(thrownMessage<EArchiver>([&] { zip.Extract(nullptr, "a.zip", TArchiverOptions(), "", nullptr, output); }),
              "ZIP 形式書庫の解凍には UNZIP32.DLL または LMZIP32.DLL が必要です。");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { zip.Pack(nullptr, "a.zip", TArchiverOptions(), "", nullptr, output); }),
              "ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { zip.OpenArchive(nullptr, "a.zip", 0); }), "UnZipOpenArchive のエントリが見つかりません。");
    zip.LoadDLL();
    EXPECT_EQ(zip.Extract(nullptr, "a.zip", TArchiverOptions(), "", nullptr, output), 0);
}

TEST(ZipDriverTest, MakeSFXPutsTheStubBeforeTheArchive)
{
    CurrentScratchFolder folder;
    folder.write("pkg.zip", "ZIP");
    TZip32 zip;
    TArchiverOptions options;
    std::string output;
    const auto makeSFX = [&](const std::string& into) {
        return thrownMessage<EArchiver>([&] { zip.MakeSFX(window(4), "pkg.zip", options, into, output); });
    };
    EXPECT_EQ(makeSFX("out"), "zip 書庫からのDOS自己解凍書庫の作成には sfx16.dat が必要です。");
    options.gw = 1;
    EXPECT_EQ(makeSFX("out"), "zip 書庫からのWin32自己解凍書庫の作成には sfx32gui.dat が必要です。");
    EXPECT_TRUE(std::filesystem::is_empty("out"));

    folder.write("sfx16.dat", "DOS-");
    folder.write("sfx32gui.dat", "WIN-");
    EXPECT_EQ(makeSFX(""), "");
    EXPECT_EQ(lastCommand(Zip32j, "Zip").commandLine, "-A pkg.EXE");
    EXPECT_EQ(lastCommand(Zip32j, "Zip").window, window(4));
    EXPECT_EQ(folder.read("pkg.EXE"), "WIN-ZIP");
    options.gw = -1;
    EXPECT_EQ(makeSFX("out"), "");
    EXPECT_EQ(zip.CommandLine, "-A out/pkg.EXE");
    EXPECT_EQ(folder.read("out/pkg.EXE"), "DOS-ZIP");
}

TEST(TarDriverTest, MakeSFXFindsItsStubOnPathUpTo512Characters)
{
    CurrentScratchFolder folder;
    folder.write("pkg.tgz", "TGZ");
    std::filesystem::path deep = folder.path();
    while ((deep / "kmtarsef.exe").string().size() <= MaxStubPathLength) deep /= std::string(100, 'd');
    std::filesystem::create_directories(deep);
    folder.write((deep / "kmtarsef.exe").string(), "FAR-");
    std::filesystem::create_directories("stubs");
    folder.write("stubs/kmtarsef.exe", "SEF-");
    TTgz32 tgz;
    std::string output;
    {
        SearchPath path("/nonexistent:" + deep.string());
        EXPECT_EQ(thrownMessage<EArchiver>([&] { tgz.MakeSFX(nullptr, "pkg.tgz", TArchiverOptions(), "out", output); }),
                  "tar/tgz 書庫からの自己解凍書庫の作成には kmtarsef.exe が必要です。");
    }
    EXPECT_TRUE(std::filesystem::is_empty("out"));
    SearchPath path("/nonexistent:" + (folder.path() / "stubs").string());
    EXPECT_EQ(tgz.MakeSFX(nullptr, "pkg.tgz", TArchiverOptions(), "out/", output), 0);
    EXPECT_EQ(folder.read("out/pkg.EXE"), "SEF-TGZ");
}

TEST(TarDriverTest, TheCompressionSwitchFollowsTheClassAndJmAndAnOwnerWindowDropsTheDialogSwitch)
{
    TTar32 tar;
    TTgz32 tgz;
    TBZ232 bz2;
    EXPECT_EQ(tarLine(tar, 9), "x  -f \"a.tar\" -o \"out/\" ");
    EXPECT_EQ(tarLine(tgz, 9), "x -z9  -f \"a.tar\" -o \"out/\" ");
    EXPECT_EQ(tarLine(bz2, 9), "x -B9  -f \"a.tar\" -o \"out/\" ");
    for (const int8_t jm : {-1, 0}) {
        EXPECT_EQ(tarLine(tgz, jm), "x -z  -f \"a.tar\" -o \"out/\" ");
        EXPECT_EQ(tarLine(bz2, jm), "x -B  -f \"a.tar\" -o \"out/\" ");
    }
    EXPECT_EQ(lastCommand(Tar32, "Tar").commandLine, "x -B  -f \"a.tar\" -o \"out/\" ");
    // An owner window suppresses the display dialog switch.
    EXPECT_EQ(tarLine(tar, -1, 1), "x --display-dialog=0  -f \"a.tar\" -o \"out/\" ");
    tar.SetOwnerWindow(window(8), nullptr);
    EXPECT_EQ(tarLine(tar, -1, 1), "x  -f \"a.tar\" -o \"out/\" ");
    tar.KillOwnerWindow(window(8));
    EXPECT_EQ(tarLine(tar, -1, 1), "x --display-dialog=0  -f \"a.tar\" -o \"out/\" ");
}

TEST(TarDriverTest, TarArchiveTypeMapsTheLibrarysAnswerForThePathAsGiven)
{
    // The test library answers the number the path begins with.
    EXPECT_EQ(TarArchiveType("1.tar"), atTar);
    EXPECT_EQ(TarArchiveType("5.taz"), atTgz);
    EXPECT_EQ(TarArchiveType("6.bz2"), atBZ2);
    EXPECT_EQ(TarArchiveType("8.tar"), atNone);
}

TEST(TarDriverTest, MakeSFXWorksWithoutTheLibraryButNotForBZ2)
{
    CurrentScratchFolder folder;
    folder.write("pkg.tgz", "TGZ");
    folder.write("kmtarsef.exe", "SEF-");
    TBZ232 bz2;
    std::string output;
    EXPECT_EQ(thrownMessage<EArchiver>([&] { bz2.MakeSFX(nullptr, "pkg.tgz", TArchiverOptions(), "out", output); }),
              "BZ2 形式書庫は自己解凍形式にできません。");
    EXPECT_TRUE(std::filesystem::is_empty("out"));
    TTar32 tar;
    EXPECT_EQ(tar.MakeSFX(nullptr, "pkg.tgz", TArchiverOptions(), "", output), 0);
    EXPECT_EQ(folder.read("pkg.EXE"), "SEF-TGZ");
    EXPECT_EQ(tar.CommandLine, "");
}

}  // namespace
