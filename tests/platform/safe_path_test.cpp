// The stored-path rule, and the walks below a folder that never follow a link.
#include "platform/safe_path.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>

namespace fs = std::filesystem;

namespace {

// The hostile archives' tests cover "/", "\", "C:/" and "../"; here what they do not reach.
TEST(StoredPathTest, SplitsRelativePathsAndRefusesEveryWayOut)
{
    using Parts = std::vector<std::string>;
    // clang-format off
    const struct { std::string stored; Parts parts; StoredPathFault fault; } cases[] = {
        {"./a//b\\.\\c/", {"a", "b", "c"}, StoredPathFault::none},
        {"a..b/..c/c..", {"a..b", "..c", "c.."}, StoredPathFault::none},
        {"sub/C:x", {"sub", "C:x"}, StoredPathFault::none},
        {"", {}, StoredPathFault::absolute},
        {"C:a.chP", {}, StoredPathFault::absolute},
        {std::string("a\0/../b", 7), {}, StoredPathFault::nulByte},
        {"a/..", {}, StoredPathFault::leadsOut},
        {".//.\\", {}, StoredPathFault::noName},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        const StoredPath path = storedPathParts(c.stored);
        EXPECT_EQ(path.parts, c.parts);
        EXPECT_EQ(path.fault, c.fault);
    }
}

class BelowFolderTest : public ::testing::Test {
protected:
    BelowFolderTest()
    {
        folder.write("unpack/sub/a.txt", "x");
        folder.write("outside/c.txt", "x");
        fs::create_directory_symlink(folder / "outside", folder / "unpack/link");
        fs::create_symlink(folder / "outside/c.txt", folder / "unpack/alias");
    }
    ScratchFolder folder;
    const std::string unpack = (folder / "unpack/").string();
};

TEST_F(BelowFolderTest, OnlyRegularFilesReachedWithoutALinkAreSeenAndRemoved)
{
    // regular: a regular file reached without a link, so removed.
    // clang-format off
    const struct { const char* stored; bool regular, remains; } cases[] = {
        {"sub/a.txt", true, false}, {"link/c.txt", false, true},  {"alias", false, true},
        {"sub", false, true},       {"none/a.txt", false, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        const StoredPath path = storedPathParts(c.stored);
        EXPECT_EQ(regularFileBelow(unpack, path.parts), c.regular);
        removeRegularFileBelow(unpack, path.parts);
        EXPECT_EQ(fs::exists(fs::symlink_status(unpack + c.stored)), c.remains);
    }
    EXPECT_TRUE(fs::exists(folder / "outside/c.txt"));
    EXPECT_FALSE(regularFileBelow(unpack, {}));
}

TEST_F(BelowFolderTest, AWalkMakesFoldersWhereAskedAndStopsAtALinkOrAFile)
{
    // blocked: a link or a file was in the way.
    const struct {
        std::vector<std::string> parts;
        MissingFolders missing;
        bool reached;
        size_t stoppedAt;
        bool blocked;
    } cases[] = {
        // clang-format off
        {{"new", "deeper"}, MissingFolders::fail, false, 0, false},
        {{"new", "deeper"}, MissingFolders::make, true, 0, false},
        {{"sub", "link"}, MissingFolders::make, true, 0, false},
        {{"link", "made"}, MissingFolders::make, false, 0, true},
        {{"sub", "a.txt", "x"}, MissingFolders::make, false, 1, true},
        {{"alias"}, MissingFolders::fail, false, 0, true},
        // clang-format on
    };
    const FileDescriptor root(::open(unpack.c_str(), O_RDONLY | O_DIRECTORY));
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.parts));
        WalkStop stop;
        const FileDescriptor reached = walkFolders(root.get(), c.parts, c.missing, stop);
        EXPECT_EQ(reached.valid(), c.reached);
        if (c.reached) continue;
        EXPECT_EQ(stop.part, c.stoppedAt);
        EXPECT_EQ(stop.blocked(), c.blocked);
    }
    EXPECT_TRUE(fs::is_directory(folder / "unpack/new/deeper"));
    EXPECT_FALSE(fs::exists(folder / "outside/made"));
}

TEST(FileDescriptorTest, ClosesOnceWhenMovedAndLeftScope)
{
    ScratchFolder folder;
    FileDescriptor first(::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY));
    const int fd = first.get();
    {
        const FileDescriptor moved = std::move(first);
    }
    EXPECT_FALSE(first.valid());
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
}

}  // namespace
