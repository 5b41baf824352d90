#include "platform/file_system.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace {

// Runs in a folder of its own, with PATH naming two more folders.
class SearchPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* sub : {"current", "path1", "path2"}) fs::create_directories(folder / sub);
        current.emplace(folder / "current");
    }
    void touch(const fs::path& path) { std::ofstream(path) << "x"; }

    ScratchFolder scratch;
    const fs::path& folder = scratch.path();
    std::optional<ScopedCurrentFolder> current;
    const ScopedVariable path{"PATH", (folder / "path1").string() + "::" + (folder / "path2").string()};
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
