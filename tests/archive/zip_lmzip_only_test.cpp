// The ZIP driver with LMZIP32.DLL as its only library beside the test program.
#include "archive/zip32.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

namespace {

TEST(ZipWithOnlyLmzip32Test, ListingUnpackingAndPackingBindTheEntriesLmzip32Offers)
{
    CurrentScratchFolder folder;
    folder.write("pkg.zip", "Unzip");
    TZip32 zip;
    const HARC handle = zip.OpenArchive(nullptr, "pkg.zip", ARCHIVER_MODE_LIST);
    EXPECT_NE(handle, 0u);
    INDIVIDUALINFO record{};
    EXPECT_EQ(zip.FindFirst(handle, record, "*.*"), 0);
    EXPECT_STREQ(record.szFileName, "pomelune.chP");
    EXPECT_EQ(zip.CloseArchive(handle), 0);
    std::string output;
    EXPECT_EQ(zip.Extract(window(1), "pkg.zip", {}, "out", nullptr, output), 0);
    EXPECT_EQ(lastCommand("LMZIP32.DLL", "Unzip").commandLine, "-x  \"pkg.zip\" \"out/\" ");
    // Owner windows go to UNZIP32.DLL alone.
    EXPECT_EQ(thrownMessage<EArchiver>([&] { zip.SetOwnerWindow(window(1), nullptr); }),
              "libunzip32.so に UnZipSetOwnerWindowEx のエントリが見つかりません。");
    EXPECT_EQ(zip.trySetOwnerWindow(window(1), nullptr), std::nullopt);
    // Packing deletes the archive, then sends the short switch set, raw names, no folder.
    const std::vector<std::string> files{"cg\\[a].bmp"};
    EXPECT_EQ(zip.Pack(nullptr, "pkg.zip", {.c = 1, .n = 1, .x = 0}, "base", &files, output), 0);
    EXPECT_EQ(lastCommand("LMZIP32.DLL", "Zip").commandLine, "-ru -o -j  \"pkg.zip\" \"cg\\[a].bmp\" ");
    EXPECT_FALSE(std::filesystem::exists("pkg.zip"));
    EXPECT_EQ(thrownMessage<EArchiver>([&] { zip.MakeSFX(nullptr, "pkg.zip", {}, "", output); }),
              "ZIP 形式書庫からの自己解凍書庫作成には ZIP32J.DLL が必要です。");
}

}  // namespace
