// The ZIP and TAR drivers with none of their libraries to be found.
#include "archive/tar32.h"
#include "archive/zip32.h"
#include "tests/archive/zip_tar_test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(ZipTarWithoutLibrariesTest, NoDriverAndNoArchive)
{
    EXPECT_EQ(archiverError([] { TZip32 zip; }),
              "ZIP 形式書庫を解凍するには UNZIP32.DLL が、作成するには ZIP32J.DLL が必要です。");
    EXPECT_EQ(archiverError([] { TBZ232 bz2; }), "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。");
    EXPECT_FALSE(IsZipArchive("a.zip"));
    EXPECT_EQ(TarArchiveType("1.tar"), atNone);
}

}  // namespace
