// Full paths from the current folder, and the search for a program's companion file.
#include "platform/file_system.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Runs in a folder of its own, with PATH naming two more folders.
TEST(SearchPathTest, FullPathsComeFromTheCurrentFolderAndTheProgramsFolderIsSearchedFirstThenItThenPath)
{
    const ScratchFolder folder;
    for (const char* sub : {"current", "path1", "path2"}) fs::create_directories(folder / sub);
    const ScopedCurrentFolder current(folder / "current");
    const ScopedVariable path("PATH", (folder / "path1").string() + "::" + (folder / "path2").string());
    EXPECT_EQ(fullPath("a.lzh"), (folder / "current/a.lzh").string());
    EXPECT_EQ(fullPath("./sub/../b.zip"), (folder / "current/b.zip").string());
    EXPECT_EQ(fullPath("/tmp/x/./y.lzh"), "/tmp/x/y.lzh");

    const std::string program = "platform_tests";  // this test program, in the program's folder
    folder.write("current/" + program, "x");
    EXPECT_EQ(searchSystemPath(program), executableFolder() + "/" + program);
    folder.write("current/sfx16.dat", "x");
    folder.write("path1/sfx16.dat", "x");
    EXPECT_EQ(searchSystemPath("sfx16.dat"), (folder / "current/sfx16.dat").string());
    folder.write("path2/sfx32gui.dat", "x");
    EXPECT_EQ(searchSystemPath("sfx32gui.dat"), (folder / "path2/sfx32gui.dat").string());
    fs::create_directories(folder / "path1/kmtarsef.exe");  // a folder is no file
    EXPECT_EQ(searchSystemPath("kmtarsef.exe"), "");
}

}  // namespace
