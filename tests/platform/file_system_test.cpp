#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <sys/time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("pomelune-fs-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder / "Sub Folder");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string touch(const std::string& name)
    {
        const auto path = folder / name;
        std::ofstream(path) << "x";
        return path.string();
    }
    std::filesystem::path folder;
};

TEST_F(FileSystemTest, PackagePathsResolveByCaseAndEncoding)
{
    const std::string exact = touch("Sub Folder/Chara.BMP");
    const std::string utf8 = touch("Sub Folder/\xe7\x94\xbb.bmp");  // "画"
    const std::string base = folder.string();
    EXPECT_EQ(resolvePackagePath(exact), exact);
    EXPECT_EQ(resolvePackagePath(base + "/sub folder/chara.bmp"), exact);
    EXPECT_EQ(resolvePackagePath(base + "/Sub Folder/\x89\xe6.bmp"), utf8);  // "画" in Shift-JIS
    EXPECT_EQ(resolvePackagePath(base + "/SUB FOLDER/\x89\xe6.BMP"), utf8);
    EXPECT_EQ(resolvePackagePath(base + "/none/chara.bmp"), base + "/none/chara.bmp");
}

TEST_F(FileSystemTest, FileAgeIsThePackedLocalTimeOrMinusOne)
{
    const std::string file = touch("aged.txt");
    struct tm when {};
    when.tm_year = 2024 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 15;
    when.tm_hour = 13;
    when.tm_min = 45;
    when.tm_sec = 31;
    when.tm_isdst = -1;
    const struct timeval times[2] = {{mktime(&when), 0}, {mktime(&when), 0}};
    ASSERT_EQ(utimes(file.c_str(), times), 0);
    EXPECT_EQ(fileAge(file), (44 << 25) | (3 << 21) | (15 << 16) | (13 << 11) | (45 << 5) | 15);
    EXPECT_EQ(fileAge((folder / "missing").string()), -1);
}

TEST(FolderOfTest, CutsAtTheLastSlash)
{
    EXPECT_EQ(folderOf("/a/b/c.chP"), "/a/b");
    EXPECT_EQ(folderOf("/c.chP"), "/");
    EXPECT_EQ(folderOf("c.chP"), "");
}

}  // namespace
