// The drivers and the archive component with no archiver library to be found.
#include "archive/archive_file.h"
#include "archive/arj32.h"
#include "archive/cab32.h"
#include "archive/lha32.h"
#include "archive/rar32.h"
#include "archive/tar32.h"
#include "archive/zip32.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

namespace {

TEST(NoLibraryTest, NoDriverComesIntoBeingAndEveryContentTestAnswersNo)
{
    EXPECT_EQ(thrownMessage<EArchiver>([] { TLha32 lha; }), "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。");
    EXPECT_EQ(thrownMessage<EArchiver>([] { TArj32 arj; }), "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。");
    EXPECT_EQ(thrownMessage<EArchiver>([] { TCab32 cab; }), "CAB 形式書庫を扱うには CAB32.DLL が 必要です。");
    EXPECT_EQ(thrownMessage<EArchiver>([] { TRar32 rar; }), "この機能の使用には UNRAR32.DLL が 必要です。");
    EXPECT_EQ(thrownMessage<EArchiver>([] { TZip32 zip; }),
              "ZIP 形式書庫を解凍するには UNZIP32.DLL が、作成するには ZIP32J.DLL が必要です。");
    EXPECT_EQ(thrownMessage<EArchiver>([] { TBZ232 bz2; }),
              "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。");

    CurrentScratchFolder folder;
    // Each stand-in library would accept this file, and the tar one would call it a tar.
    folder.write("1.dat", "Unlha Unzip UnZip Cab Unarj Unrar");
    EXPECT_EQ(DetectArchiverType("1.dat", TDetectMode::ByContent), atNone);
    TArchiveFile file;
    file.SetFileName("1.dat");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { file.OpenArchive(nullptr, 0); }), "書庫の形式を判別できません。");
    // A path is not stored when its library is missing.
    EXPECT_EQ(thrownMessage<EArchiver>([&] { file.SetFileName("pkg.lzh"); }),
              "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。");
    EXPECT_EQ(file.FileName(), "1.dat");
}

}  // namespace
