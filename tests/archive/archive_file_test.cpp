// The archive component: choosing the driver, listing and unpacking as the window does.
#include "archive/archive_file.h"
#include "archive/library_driver.h"
#include "archive/rar32.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

namespace {

// The tar stand-in answers the number a name begins with; the others accept a file
// holding their prefix (the ZIP content test goes to LMZIP32.DLL first).
class ArchiveFileTest : public testing::Test {
protected:
    CurrentScratchFolder folder;
    TArchiveFile file;
};

TEST_F(ArchiveFileTest, TheExtensionThenTheContentSelectsTheType)
{
    const auto name = TDetectMode::ByExtension;
    const auto content = TDetectMode::ByContent;
    // content: written when given.
    // clang-format off
    const struct { const char* path; const char* content; TDetectMode mode; TArchiverType type; } cases[] = {
        {"pkg/chara.LZH", nullptr, name, atLha}, {"a.tar.gz", nullptr, name, atTgz}, {"a.Z", nullptr, name, atTgz},
        {"a.tar", nullptr, name, atTar}, {"a.bz2", nullptr, name, atBZ2}, {"a.rar", nullptr, name, atRar},
        {"a.arj", nullptr, name, atArj}, {"a.Zip", nullptr, name, atZip}, {"a.cab", nullptr, name, atCab},
        {"a.lha", nullptr, name, atNone}, {"dir.zip/name", nullptr, name, atNone}, {"noext", nullptr, name, atNone},
        {"missing.exe", nullptr, name, atNone}, {"cab.exe", "Cab", name, atCab},
        {"1.dat", "x", content, atTar}, {"3.dat", "x", content, atTgz}, {"6.dat", "x", content, atBZ2}, {"8.dat", "x", content, atNone},
        // Every content test runs and the later one wins: tar, RAR, ARJ, CAB, ZIP, LHA.
        {"1r.dat", "Unrar", content, atRar}, {"r.dat", "Unrar Unarj", content, atArj}, {"a.dat", "Unarj Cab", content, atCab},
        {"c.dat", "Cab Unzip", content, atZip}, {"z.dat", "Unzip Unlha", content, atLha},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        if (c.content) folder.write(c.path, c.content);
        EXPECT_EQ(DetectArchiverType(c.path, c.mode), c.type);
    }
    // A library without the content test's entries answers no.
    DriverLibrary sysarc{ArchiverLibrary("SYSARC32.DLL"), "Sysarc", ""};
    EXPECT_FALSE(opensArchive(sysarc, folder.write("s.dat", "Sysarc").string()));
}

// The window's path: an archive found by content is listed, then unpacked with the
// window's options through an 8192-byte buffer.
TEST_F(ArchiveFileTest, ListsAndUnpacksAsTheWindowDoes)
{
    folder.write("pkg.dat", "Unrar");
    file.SetFileName("pkg.dat");
    file.OpenArchive(nullptr, ARCHIVER_MODE_LIST);
    EXPECT_NE(dynamic_cast<TRar32*>(file.Archiver()), nullptr);
    std::vector<std::string> names;
    INDIVIDUALINFO record{};
    for (int found = file.FindFirst("*.*", record); found == 0; found = file.FindNext(record))
        names.emplace_back(record.szFileName);
    EXPECT_EQ(names, (std::vector<std::string>{"pomelune.chP", "cg/pomelune.bmp"}));
    file.CloseArchive();
    EXPECT_EQ(file.ArchiveHandle(), 0u);

    file.SetFileName("pkg/chara.lzh");
    file.Options() = {.a = 0, .m = 1, .n = 1, .x = 1, .ga = 1};
    EXPECT_EQ(file.Extract(nullptr, nullptr, "/tmp/qptemp", nullptr), 0);
    EXPECT_TRUE(lastCommand("UNLHA32.DLL", "Unlha").outputNull);
    file.SetOutputSize(8192);
    EXPECT_EQ(file.Extract(nullptr, nullptr, "/tmp/qptemp", nullptr), 0);
    EXPECT_EQ(file.LastCommandLine, "x -+ -a0 -m1 -n1 -x1 -ga1  \"pkg/chara.lzh\" \"/tmp/qptemp/\" ");
    EXPECT_EQ(lastCommand("UNLHA32.DLL", "Unlha").size, 8192u);
    EXPECT_STREQ(file.Output().c_str(), "Unlha: done");
}

}  // namespace
