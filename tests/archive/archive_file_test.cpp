#include "archive/archive_file.h"
#include "archive/cab32.h"
#include "archive/library_driver.h"
#include "archive/rar32.h"
#include "archive/zip32.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

namespace {

const char* const UnknownType = "書庫の形式を判別できません。";

// Runs in a scratch folder, so relative names reach the tar stand-in as given: it
// answers the number the name begins with (1 tar, 3 gzip, 6 bzip2, none otherwise).
// The other stand-ins accept a file holding their prefix: "Unlha", "Unzip" (the ZIP
// content test goes to LMZIP32.DLL first), "Cab", "Unarj", "Unrar".
class ArchiveFileTest : public testing::Test {
protected:
    static TArchiverType byContent(const std::string& name, const std::string& text)
    {
        return DetectArchiverType(CurrentScratchFolder::write(name, text), TDetectMode::ByContent);
    }

    CurrentScratchFolder folder;
};

TEST_F(ArchiveFileTest, TheExtensionSelectsTheType)
{
    const std::pair<const char*, TArchiverType> cases[] = {
        {"pkg/chara.LZH", atLha}, {"a.tar.gz", atTgz}, {"a.Z", atTgz},       {"a.taz", atTgz},
        {"a.tgz", atTgz},         {"a.tar", atTar},    {"a.bz2", atBZ2},     {"a.rar", atRar},
        {"a.arj", atArj},         {"a.Zip", atZip},    {"a.cab", atCab},     {"a.lha", atNone},
        {"dir.zip/name", atNone}, {"noext", atNone},   {"missing.exe", atNone},
    };
    for (const auto& [path, type] : cases) EXPECT_EQ(DetectArchiverType(path, TDetectMode::ByExtension), type) << path;
    folder.write("cab.exe", "Cab");
    EXPECT_EQ(DetectArchiverType("cab.exe", TDetectMode::ByExtension), atCab);
}

TEST_F(ArchiveFileTest, EveryContentTestRunsAndTheLaterOneWins)
{
    EXPECT_EQ(byContent("e.dat", "nothing"), atNone);
    EXPECT_EQ(byContent("1.dat", "nothing"), atTar);
    EXPECT_EQ(byContent("3.dat", "nothing"), atTgz);
    EXPECT_EQ(byContent("6.dat", "nothing"), atBZ2);
    EXPECT_EQ(byContent("1r.dat", "Unrar"), atRar);
    EXPECT_EQ(byContent("r.dat", "Unrar Unarj"), atArj);
    EXPECT_EQ(byContent("a.dat", "Unarj Cab"), atCab);
    EXPECT_EQ(byContent("c.dat", "Cab Unzip"), atZip);
    EXPECT_EQ(byContent("z.dat", "Unzip Unlha"), atLha);
    EXPECT_EQ(byContent("6all.dat", "Unrar Unarj Cab Unzip Unlha"), atLha);
}

TEST_F(ArchiveFileTest, AContentTestWithoutItsEntryAnswersNo)
{
    DriverLibrary sysarc{ArchiverLibrary("SYSARC32.DLL"), "Sysarc", ""};
    EXPECT_FALSE(opensArchive(sysarc, folder.write("s.dat", "Sysarc")));
    EXPECT_TRUE(sysarc.library.loaded());
}

TEST_F(ArchiveFileTest, TypeRules)
{
    TArchiveFile file;
    EXPECT_EQ(file.ArchiverType(), atAutoDetect);
    EXPECT_EQ(file.FileName(), UnsetString);
    file.SetArchiverType(atZip);
    TArchiver* zip = file.Archiver();
    ASSERT_NE(dynamic_cast<TZip32*>(zip), nullptr);
    file.SetArchiverType(atNone);
    EXPECT_EQ(file.ArchiverType(), atZip);
    EXPECT_EQ(file.Archiver(), zip);
    file.SetArchiverType(atAutoDetect);
    EXPECT_EQ(file.ArchiverType(), atAutoDetect);
    EXPECT_EQ(file.Archiver(), zip);
    file.SetArchiverType(atCab);
    EXPECT_NE(dynamic_cast<TCab32*>(file.Archiver()), nullptr);
    EXPECT_EQ(thrownMessage<EArchiver>([&] { file.SetArchiverType(static_cast<TArchiverType>(10)); }),
              "現在のバージョンではこの形式の書庫をサポートしていません。");
    EXPECT_EQ(file.ArchiverType(), atCab);
    file.Loading = true;
    file.SetArchiverType(static_cast<TArchiverType>(12));
    EXPECT_EQ(static_cast<int>(file.ArchiverType()), 12);
    EXPECT_NE(dynamic_cast<TCab32*>(file.Archiver()), nullptr);
}

TEST_F(ArchiveFileTest, AnUnknownExtensionKeepsTheDriver)
{
    TArchiveFile file;
    file.SetFileName("pkg.zip");
    TArchiver* zip = file.Archiver();
    file.SetFileName(folder.write("pkg.dat", "Cab"));
    EXPECT_EQ(file.FileName(), "pkg.dat");
    EXPECT_EQ(file.ArchiverType(), atZip);
    EXPECT_EQ(file.Archiver(), zip);
    file.OpenArchive(nullptr, 0);
    EXPECT_EQ(file.ArchiverType(), atZip);
    EXPECT_EQ(file.ArchiveHandle(), 0u);  // the ZIP stand-in refuses it, without complaint
}

TEST_F(ArchiveFileTest, UndecidedTypesRaiseWhereNoDriverIs)
{
    TArchiveFile file;
    file.SetFileName(folder.write("pkg.dat", "Cab"));
    EXPECT_EQ(file.ArchiverType(), atAutoDetect);
    EXPECT_EQ(thrownMessage<EArchiver>([&] { file.Extract(nullptr, nullptr, "out", nullptr); }), UnknownType);
    EXPECT_EQ(file.ArchiverType(), atAutoDetect);  // Extract detects nothing

    file.SetFileName(folder.write("none.dat", "nothing"));
    EXPECT_EQ(thrownMessage<EArchiver>([&] { file.OpenArchive(nullptr, 0); }), UnknownType);
}

TEST_F(ArchiveFileTest, ListsThroughTheDriverFoundByContent)
{
    TArchiveFile file;
    file.SetFileName(folder.write("pkg.dat", "Unrar"));
    file.OpenArchive(nullptr, ARCHIVER_MODE_LIST);
    EXPECT_EQ(file.ArchiverType(), atRar);
    EXPECT_NE(dynamic_cast<TRar32*>(file.Archiver()), nullptr);
    std::vector<std::string> names;
    INDIVIDUALINFO record{};
    for (int found = file.FindFirst("*.*", record); found == 0; found = file.FindNext(record))
        names.emplace_back(record.szFileName);
    EXPECT_EQ(names, (std::vector<std::string>{"pomelune.chP", "cg/pomelune.bmp"}));
    file.CloseArchive();
    EXPECT_EQ(file.ArchiveHandle(), 0u);
    file.SetFileName("other.dat");  // later paths go by their extension only
    EXPECT_EQ(file.ArchiverType(), atRar);
}

TEST_F(ArchiveFileTest, ExtractSendsTheOutputBufferAndKeepsTheCommandLine)
{
    TArchiveFile file;
    file.SetFileName("pkg/chara.lzh");
    TArchiverOptions& options = file.Options();
    options.ga = options.m = options.x = options.n = 1;
    options.a = 0;
    EXPECT_EQ(file.Extract(nullptr, nullptr, "/tmp/qptemp", nullptr), 0);
    EXPECT_TRUE(lastCommand("UNLHA32.DLL", "Unlha").outputNull);
    EXPECT_EQ(lastCommand("UNLHA32.DLL", "Unlha").size, 0u);

    file.SetOutputSize(8192);
    EXPECT_EQ(file.Output()[0], '\0');
    EXPECT_EQ(file.Extract(nullptr, nullptr, "/tmp/qptemp", nullptr), 0);
    EXPECT_EQ(file.LastCommandLine, "x -+ -a0 -m1 -n1 -x1 -ga1  \"pkg/chara.lzh\" \"/tmp/qptemp/\" ");
    EXPECT_EQ(lastCommand("UNLHA32.DLL", "Unlha").size, 8192u);
    EXPECT_STREQ(file.Output().c_str(), "Unlha: done");

    const TArchiverOptions given;
    EXPECT_EQ(file.Extract(nullptr, &given, "/tmp/qptemp/", nullptr), 0);
    EXPECT_EQ(file.LastCommandLine, "x -+  \"pkg/chara.lzh\" \"/tmp/qptemp/\" ");
}

TEST_F(ArchiveFileTest, ProgressReachesOnProgressAndAbortStops)
{
    TArchiveFile file;
    file.SetFileName("pkg.lzh");
    EXPECT_EQ(file.Extract(nullptr, nullptr, "out", nullptr), 0);
    EXPECT_EQ(file.ProgressWindow(), nullptr);

    int calls = 0;
    bool abort = false;
    file.OnProgress = [&](TArchiveFile* sender, int32_t state, LPEXTRACTINGINFOEX, bool& stop) {
        EXPECT_EQ(sender, &file);
        EXPECT_EQ(state, 1);
        EXPECT_FALSE(stop);
        ++calls;
        stop = abort;
    };
    EXPECT_EQ(file.Extract(nullptr, nullptr, "out", nullptr), 0);
    EXPECT_EQ(calls, 1);
    HWND progress = file.ProgressWindow();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(file.Archiver()->OwnerWindow, nullptr);  // ended after the command

    abort = true;
    EXPECT_EQ(file.Extract(nullptr, nullptr, "out", nullptr), 1);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(file.ProgressWindow(), progress);  // made once per component

    // A command that fails in the driver (its response file cannot be made) still
    // lets the library go of the window.
    TArchiverOptions options;
    options.ResFileUsage = {ruOnUnpack};
    options.ResFileName = "none/list.txt";
    const std::vector<std::string> files = {"a.txt"};
    EXPECT_THROW(file.Extract(nullptr, &options, "out", &files), Exception);
    EXPECT_EQ(file.Archiver()->OwnerWindow, nullptr);
}

}  // namespace
