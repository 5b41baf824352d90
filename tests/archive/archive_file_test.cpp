#include "archive/archive_file.h"
#include "archive/archiver_error.h"
#include "archive/cab32.h"
#include "archive/lha32.h"
#include "archive/rar32.h"
#include "archive/zip32.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const char* const UnknownType = "書庫の形式を判別できません。";
const char* const UnsupportedType = "現在のバージョンではこの形式の書庫をサポートしていません。";

// The ZIP content test goes to the LMZIP32.DLL stand-in first, which opens files
// beginning "Unzip".
// A scratch folder, made the current folder while the test runs, so relative names
// reach the tar stand-in as given (its answer is the number the name begins with).
class ArchiveFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = fs::current_path();
        folder_ = fs::temp_directory_path() / ("archive_file_test_" + std::to_string(getpid()));
        fs::create_directories(folder_);
        fs::current_path(folder_);
    }
    void TearDown() override
    {
        fs::current_path(previous_);
        fs::remove_all(folder_);
    }
    static std::string write(const std::string& name, const std::string& content)
    {
        std::ofstream(name, std::ios::binary) << content;
        return name;
    }

private:
    fs::path previous_;
    fs::path folder_;
};

template <typename Call>
void expectArchiverError(Call call, const std::string& message)
{
    try {
        call();
        ADD_FAILURE() << "no EArchiver";
    } catch (const EArchiver& error) {
        EXPECT_EQ(error.message(), message);
    }
}

TEST_F(ArchiveFileTest, StartsUndecidedWithDefaults)
{
    TArchiveFile file;
    EXPECT_EQ(file.ArchiverType(), atAutoDetect);
    EXPECT_EQ(file.Archiver(), nullptr);
    EXPECT_EQ(file.FileName(), UnsetString);
    EXPECT_EQ(file.OutputSize(), 0);
    EXPECT_EQ(file.ArchiveHandle(), 0u);
    EXPECT_EQ(file.Options().jyc, -1);
    EXPECT_EQ(file.ProgressWindow(), nullptr);
}

TEST_F(ArchiveFileTest, ExtensionSelectsTheDriver)
{
    EXPECT_EQ(DetectArchiverType("pkg/chara.LZH", TDetectMode::ByExtension), atLha);
    EXPECT_EQ(DetectArchiverType("a.tar.gz", TDetectMode::ByExtension), atTgz);
    EXPECT_EQ(DetectArchiverType("a.Z", TDetectMode::ByExtension), atTgz);
    EXPECT_EQ(DetectArchiverType("a.taz", TDetectMode::ByExtension), atTgz);
    EXPECT_EQ(DetectArchiverType("a.tgz", TDetectMode::ByExtension), atTgz);
    EXPECT_EQ(DetectArchiverType("a.tar", TDetectMode::ByExtension), atTar);
    EXPECT_EQ(DetectArchiverType("a.bz2", TDetectMode::ByExtension), atBZ2);
    EXPECT_EQ(DetectArchiverType("a.rar", TDetectMode::ByExtension), atRar);
    EXPECT_EQ(DetectArchiverType("a.arj", TDetectMode::ByExtension), atArj);
    EXPECT_EQ(DetectArchiverType("a.Zip", TDetectMode::ByExtension), atZip);
    EXPECT_EQ(DetectArchiverType("a.cab", TDetectMode::ByExtension), atCab);
    EXPECT_EQ(DetectArchiverType("a.lha", TDetectMode::ByExtension), atNone);
    EXPECT_EQ(DetectArchiverType("folder.zip/name", TDetectMode::ByExtension), atNone);
    EXPECT_EQ(DetectArchiverType("noextension", TDetectMode::ByExtension), atNone);
}

TEST_F(ArchiveFileTest, ExeGoesByContent)
{
    write("cab.exe", "Cab data");
    write("plain.exe", "MZ");
    EXPECT_EQ(DetectArchiverType("cab.exe", TDetectMode::ByExtension), atCab);
    EXPECT_EQ(DetectArchiverType("plain.exe", TDetectMode::ByExtension), atNone);
}

TEST_F(ArchiveFileTest, ContentSelectsEachFormat)
{
    EXPECT_EQ(DetectArchiverType(write("a.dat", "Unrar"), TDetectMode::ByContent), atRar);
    EXPECT_EQ(DetectArchiverType(write("b.dat", "Unarj"), TDetectMode::ByContent), atArj);
    EXPECT_EQ(DetectArchiverType(write("c.dat", "Cab"), TDetectMode::ByContent), atCab);
    EXPECT_EQ(DetectArchiverType(write("d.dat", "Unzip"), TDetectMode::ByContent), atZip);
    EXPECT_EQ(DetectArchiverType(write("e.dat", "nothing"), TDetectMode::ByContent), atNone);
    EXPECT_EQ(DetectArchiverType(write("1.dat", "nothing"), TDetectMode::ByContent), atTar);
    EXPECT_EQ(DetectArchiverType(write("3.dat", "nothing"), TDetectMode::ByContent), atTgz);
    EXPECT_EQ(DetectArchiverType(write("6.dat", "nothing"), TDetectMode::ByContent), atBZ2);
}

TEST_F(ArchiveFileTest, ContentTestsOutrankTheTarFamily)
{
    EXPECT_EQ(DetectArchiverType(write("1r.dat", "Unrar"), TDetectMode::ByContent), atRar);
    EXPECT_EQ(DetectArchiverType(write("6z.dat", "Unzip"), TDetectMode::ByContent), atZip);
    EXPECT_EQ(DetectArchiverType(write("3c.dat", "Cab"), TDetectMode::ByContent), atCab);
}

TEST_F(ArchiveFileTest, MissingEntryAnswersNo)
{
    // The UNLHA32.DLL stand-in has no UnlhaOpenArchive.
    EXPECT_FALSE(IsLhaArchive(write("lha.dat", "Unlha")));
    EXPECT_EQ(DetectArchiverType("lha.dat", TDetectMode::ByContent), atNone);
}

TEST_F(ArchiveFileTest, TypeRules)
{
    TArchiveFile file;
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
    expectArchiverError([&] { file.SetArchiverType(static_cast<TArchiverType>(10)); }, UnsupportedType);
    EXPECT_EQ(file.ArchiverType(), atCab);
    file.Loading = true;
    file.SetArchiverType(static_cast<TArchiverType>(12));
    EXPECT_EQ(static_cast<int>(file.ArchiverType()), 12);
    EXPECT_NE(dynamic_cast<TCab32*>(file.Archiver()), nullptr);
}

TEST_F(ArchiveFileTest, UnknownExtensionKeepsTheDriver)
{
    TArchiveFile file;
    file.SetFileName("pkg.zip");
    TArchiver* zip = file.Archiver();
    EXPECT_EQ(file.ArchiverType(), atZip);
    file.SetFileName(write("pkg.dat", "Cab"));
    EXPECT_EQ(file.FileName(), "pkg.dat");
    EXPECT_EQ(file.ArchiverType(), atZip);
    EXPECT_EQ(file.Archiver(), zip);
    file.OpenArchive(nullptr, 0);
    EXPECT_EQ(file.ArchiverType(), atZip);
    EXPECT_EQ(file.ArchiveHandle(), 0u);  // the ZIP stand-in refuses it, without complaint
    file.CloseArchive();
}

TEST_F(ArchiveFileTest, UndecidedAndRefusedRaisesAtOpen)
{
    TArchiveFile file;
    file.SetFileName(write("pkg.dat", "nothing"));
    EXPECT_EQ(file.ArchiverType(), atAutoDetect);
    expectArchiverError([&] { file.OpenArchive(nullptr, 0); }, UnknownType);
}

TEST_F(ArchiveFileTest, ExtractWithoutDriverRaises)
{
    TArchiveFile file;
    file.SetFileName(write("pkg.dat", "Cab"));
    expectArchiverError([&] { file.Extract(nullptr, nullptr, "out", nullptr); }, UnknownType);
    EXPECT_EQ(file.ArchiverType(), atAutoDetect);
    EXPECT_EQ(file.LastCommandLine, "");
}

TEST_F(ArchiveFileTest, OutputSize)
{
    TArchiveFile file;
    file.SetOutputSize(16);
    EXPECT_EQ(file.OutputSize(), 16);
    EXPECT_EQ(file.Output()[0], '\0');
    file.SetOutputSize(0);
    EXPECT_EQ(file.OutputSize(), 0);
}

TEST_F(ArchiveFileTest, ListsThroughTheDetectedDriver)
{
    TArchiveFile file;
    file.SetFileName(write("pkg.dat", "Unrar"));
    file.OpenArchive(nullptr, 0);
    EXPECT_EQ(file.ArchiverType(), atRar);
    EXPECT_NE(dynamic_cast<TRar32*>(file.Archiver()), nullptr);
    EXPECT_NE(file.ArchiveHandle(), 0u);
    std::vector<std::string> names;
    INDIVIDUALINFO record{};
    for (int found = file.FindFirst("*.*", record); found == 0; found = file.FindNext(record)) {
        names.emplace_back(record.szFileName);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"pomelune.chP", "cg/pomelune.bmp"}));
    file.CloseArchive();
    EXPECT_EQ(file.ArchiveHandle(), 0u);
    // A later path is classified only by its extension.
    file.SetFileName("other.dat");
    EXPECT_EQ(file.ArchiverType(), atRar);
}

TEST_F(ArchiveFileTest, ExtractKeepsTheCommandLine)
{
    TArchiveFile file;
    file.SetFileName("pkg/chara.lzh");
    file.Options().ga = 1;
    file.Options().m = 1;
    file.Options().a = 0;
    file.Options().x = 1;
    file.Options().n = 1;
    file.SetOutputSize(8192);
    EXPECT_EQ(file.Extract(nullptr, nullptr, "/tmp/qptemp", nullptr), 0);
    EXPECT_EQ(file.LastCommandLine, "x -+ -a0 -m1 -n1 -x1 -ga1  \"pkg/chara.lzh\" \"/tmp/qptemp/\" ");
    EXPECT_EQ(std::string(file.Output().c_str()), "unlha: done");

    TArchiverOptions given;
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
    HWND window = file.ProgressWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(file.Archiver()->OwnerWindow, nullptr);  // ended after the command

    abort = true;
    EXPECT_EQ(file.Extract(nullptr, nullptr, "out", nullptr), 1);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(file.ProgressWindow(), window);  // made once per component
}

}  // namespace
