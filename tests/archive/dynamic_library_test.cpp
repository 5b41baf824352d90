#include "platform/dynamic_library.h"
#include "platform/file_system.h"

#include <gtest/gtest.h>

namespace {

TEST(DynamicLibraryTest, WindowsNamesMapToPlatformFileNames)
{
    EXPECT_EQ(platformLibraryName("UNLHA32.DLL"), "libunlha32.so");
    EXPECT_EQ(platformLibraryName("tar32.dll"), "libtar32.so");
    EXPECT_EQ(platformLibraryName("UnZip32"), "libunzip32.so");
}

TEST(DynamicLibraryTest, ALibraryBesideTheProgramIsLoadedFromThereOnce)
{
    LoadedLibrary* library = loadLibrary("UNLHA32.DLL");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(loadLibrary("unlha32.dll"), library);
    EXPECT_EQ(libraryPath(library), executableFolder() + "/libunlha32.so");
    EXPECT_NE(findLibraryEntry(library, "Unlha"), nullptr);
}

TEST(DynamicLibraryTest, OtherLibrariesComeFromTheSystemLoader)
{
    // Not beside the program, but in a folder of its run path.
    LoadedLibrary* library = loadLibrary("SYSARC32.DLL");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(libraryPath(library), executableFolder() + "/system/libsysarc32.so");
    EXPECT_NE(findLibraryEntry(library, "Sysarc"), nullptr);
    EXPECT_EQ(findLibraryEntry(library, "SysarcOpenArchive"), nullptr);
    EXPECT_EQ(loadLibrary("NOSUCH32.DLL"), nullptr);
    EXPECT_EQ(findLibraryEntry(nullptr, "Sysarc"), nullptr);
}

}  // namespace
