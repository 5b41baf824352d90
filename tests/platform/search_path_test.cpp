// Full paths from the current folder, as the archivers are given them.
#include "platform/file_system.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(SearchPathTest, FullPathsComeFromTheCurrentFolder)
{
    const ScratchFolder folder;
    std::filesystem::create_directories(folder / "current");
    const ScopedCurrentFolder current(folder / "current");
    EXPECT_EQ(fullPath("a.lzh"), (folder / "current/a.lzh").string());
    EXPECT_EQ(fullPath("./sub/../b.zip"), (folder / "current/b.zip").string());
    EXPECT_EQ(fullPath("/tmp/x/./y.lzh"), "/tmp/x/y.lzh");
}

}  // namespace
