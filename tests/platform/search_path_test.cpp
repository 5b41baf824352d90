#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// Runs in a folder of its own, with PATH naming two more folders.
class SearchPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* sub : {"current", "path1", "path2"}) fs::create_directories(folder / sub);
        fs::current_path(folder / "current");
        setenv("PATH", ((folder / "path1").string() + "::" + (folder / "path2").string()).c_str(), 1);
    }
    void TearDown() override
    {
        setenv("PATH", oldPath.c_str(), 1);
        fs::current_path(oldFolder);
        fs::remove_all(folder);
    }
    void touch(const fs::path& path) { std::ofstream(path) << "x"; }

    const fs::path folder = fs::temp_directory_path() / ("pomelune-search-" + std::to_string(::getpid()));
    const fs::path oldFolder = fs::current_path();
    const std::string oldPath = std::getenv("PATH");
};

TEST_F(SearchPathTest, FullPathsAreTakenFromTheCurrentFolder)
{
    const std::string current = (folder / "current").string();
    EXPECT_EQ(fullPath("a.lzh"), current + "/a.lzh");
    EXPECT_EQ(fullPath("./sub/../b.zip"), current + "/b.zip");
    EXPECT_EQ(fullPath("/tmp/x/./y.lzh"), "/tmp/x/y.lzh");
}

TEST_F(SearchPathTest, TheProgramsFolderComesFirstThenTheCurrentFolderThenPath)
{
    const std::string program = "platform_tests";  // this test program, in the program's folder
    touch(folder / "current" / program);
    EXPECT_EQ(searchSystemPath(program), executableFolder() + "/" + program);

    touch(folder / "current" / "sfx16.dat");
    touch(folder / "path1" / "sfx16.dat");
    EXPECT_EQ(searchSystemPath("sfx16.dat"), (folder / "current" / "sfx16.dat").string());

    touch(folder / "path2" / "sfx32gui.dat");
    EXPECT_EQ(searchSystemPath("sfx32gui.dat"), (folder / "path2" / "sfx32gui.dat").string());
    fs::create_directories(folder / "path1" / "kmtarsef.exe");  // a folder is no file
    EXPECT_EQ(searchSystemPath("kmtarsef.exe"), "");
}

}  // namespace
