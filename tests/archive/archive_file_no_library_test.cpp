// The archive component with no archiver library beside the program.
#include "archive/archive_file.h"
#include "archive/archiver_error.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace {

TEST(ArchiveFileNoLibrary, EveryContentTestAnswersNo)
{
    const std::string path = "/tmp/archive_file_no_library_" + std::to_string(getpid()) + ".dat";
    std::ofstream(path) << "UnZip Cab Unrar";
    EXPECT_EQ(DetectArchiverType(path, TDetectMode::ByContent), atNone);
    EXPECT_EQ(DetectArchiverType("1.exe", TDetectMode::ByExtension), atNone);
    TArchiveFile file;
    file.SetFileName(path);
    try {
        file.OpenArchive(nullptr, 0);
        ADD_FAILURE() << "no EArchiver";
    } catch (const EArchiver& error) {
        EXPECT_EQ(error.message(), "書庫の形式を判別できません。");
    }
    std::remove(path.c_str());
}

TEST(ArchiveFileNoLibrary, PathIsNotStoredWhenTheLibraryIsMissing)
{
    TArchiveFile file;
    EXPECT_THROW(file.SetFileName("pkg.lzh"), EArchiver);
    EXPECT_EQ(file.FileName(), UnsetString);
    EXPECT_EQ(file.ArchiverType(), atAutoDetect);
    EXPECT_EQ(file.Archiver(), nullptr);
}

}  // namespace
