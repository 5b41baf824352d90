#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <sys/time.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(folder / "Sub Folder"); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string touch(const std::string& name)
    {
        std::ofstream(folder / name) << "x";
        return (folder / name).string();
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("pomelune-fs-" + std::to_string(::getpid()));
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
    std::tm when{};
    ASSERT_TRUE(strptime("2024-03-15 13:45:31", "%Y-%m-%d %H:%M:%S", &when));
    when.tm_isdst = -1;
    const timeval times[2] = {{mktime(&when), 0}, {mktime(&when), 0}};
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
