// The LHA, ARJ, CAB and RAR drivers with none of their libraries to be found.
#include "archive/arj32.h"
#include "archive/cab32.h"
#include "archive/lha32.h"
#include "archive/rar32.h"
#include "tests/archive/zip_tar_test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(LhaFamilyWithoutLibrariesTest, NoDriverComesIntoBeing)
{
    EXPECT_EQ(archiverError([] { TLha32 lha; }), "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。");
    EXPECT_EQ(archiverError([] { TArj32 arj; }), "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。");
    EXPECT_EQ(archiverError([] { TCab32 cab; }), "CAB 形式書庫を扱うには CAB32.DLL が 必要です。");
    EXPECT_EQ(archiverError([] { TRar32 rar; }), "この機能の使用には UNRAR32.DLL が 必要です。");
}

}  // namespace
