// The ZIP driver with LMZIP32.DLL alone, and that library without its Zip entry.
#include "archive/zip32.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

namespace {

TEST(ZipWithoutAZipEntryTest, PackingRaisesAndKeepsTheArchive)
{
    CurrentScratchFolder folder;
    folder.write("pkg.zip", "old");
    TZip32 zip;
    std::string output;
    EXPECT_EQ(thrownMessage<EArchiver>([&] { zip.Pack(nullptr, "pkg.zip", {}, "", nullptr, output); }),
              "Zip のエントリが見つかりません。");
    EXPECT_EQ(fileText("pkg.zip"), "old");
}

}  // namespace
