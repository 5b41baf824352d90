// The ZIP driver with LMZIP32.DLL as its only library beside the test program.
#include "archive/zip32.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

namespace {

const char* const Lmzip32 = "LMZIP32.DLL";

TEST(ZipWithOnlyLmzip32Test, ListingAndUnpackingBindTheEntriesSpelledUnzip)
{
    CurrentScratchFolder folder;
    folder.write("pkg.zip", "Unzip");
    TZip32 zip;
    const HARC handle = zip.OpenArchive(nullptr, "pkg.zip", ARCHIVER_MODE_LIST);
    EXPECT_NE(handle, 0u);
    INDIVIDUALINFO record{};
    EXPECT_EQ(zip.FindFirst(handle, record, "*.*"), 0);
    EXPECT_EQ(zip.FindNext(handle, record), 0);
    EXPECT_STREQ(record.szFileName, "cg/pomelune.bmp");
    EXPECT_EQ(zip.CloseArchive(handle), 0);
    EXPECT_EQ(calls(Lmzip32, "Unzip").closedHandle, handle);

    std::string output;
    EXPECT_EQ(zip.Extract(window(1), "pkg.zip", TArchiverOptions(), "out", nullptr, output), 0);
    EXPECT_EQ(lastCommand(Lmzip32, "Unzip").commandLine, "-x  \"pkg.zip\" \"out/\" ");
    // Owner windows go to UNZIP32.DLL alone.
    EXPECT_EQ(thrownMessage<EArchiver>([&] { zip.SetOwnerWindow(window(1), nullptr); }),
              "libunzip32.so に UnZipSetOwnerWindowEx のエントリが見つかりません。");
}

TEST(ZipWithOnlyLmzip32Test, PackingSendsTheShortSwitchSetAfterDeletingTheArchive)
{
    CurrentScratchFolder folder;
    folder.write("pkg.zip", "old");
    TZip32 zip;
    TArchiverOptions options;
    options.c = options.n = 1;
    options.x = 0;
    const std::vector<std::string> files{"cg\\[a].bmp"};
    std::string output;
    EXPECT_EQ(zip.Pack(nullptr, "pkg.zip", options, "base", &files, output), 0);
    EXPECT_EQ(lastCommand(Lmzip32, "Zip").commandLine, "-ru -o -j  \"pkg.zip\" \"cg\\[a].bmp\" ");
    EXPECT_FALSE(std::filesystem::exists("pkg.zip"));
    EXPECT_EQ(thrownMessage<EArchiver>([&] { zip.MakeSFX(nullptr, "pkg.zip", options, "", output); }),
              "ZIP 形式書庫からの自己解凍書庫作成には ZIP32J.DLL が必要です。");
}

}  // namespace
