// Memory and file streams: short reads, seeks past the end, and files that are refused.
#include "platform/stream.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(MemoryStreamTest, ReadsAreShortAtTheEndSeeksMayPassItAndWritesThereGrowIt)
{
    MemoryStream stream({1, 2, 3});
    uint8_t buffer[8] = {};
    EXPECT_EQ(stream.read(buffer, 2), 2);
    EXPECT_EQ(stream.read(buffer, 8), 1);
    EXPECT_EQ(buffer[0], 3);
    EXPECT_EQ(stream.seek(2, SeekOrigin::Current), 5);
    EXPECT_EQ(stream.read(buffer, 1), 0);
    EXPECT_EQ(stream.seek(-1, SeekOrigin::Begin), -1);
    EXPECT_EQ(stream.position(), 5);
    EXPECT_EQ(stream.seek(INT64_MAX, SeekOrigin::Current), -1);
    stream.write("ab", 2);
    EXPECT_EQ(stream.bytes(), (std::vector<uint8_t>{1, 2, 3, 0, 0, 'a', 'b'}));
}

TEST(FileStreamTest, OpensRegularFilesOnly)
{
    const ScratchFolder folder;
    auto stream = FileStream::openRead(folder.write("file.bin", "hello").string());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->size(), 5);
    char buffer[8] = {};
    EXPECT_EQ(stream->seek(1, SeekOrigin::Begin), 1);
    EXPECT_EQ(stream->read(buffer, 8), 4);
    EXPECT_STREQ(buffer, "ello");

    // Folders, missing files and FIFOs are refused where the character's CG is loaded.
    std::string why;
    EXPECT_EQ(FileStream::openRead("/dev/zero", &why), nullptr);  // endless
    EXPECT_EQ(why, "Not a regular file");
    std::filesystem::create_symlink("loop", folder / "loop");
    EXPECT_EQ(FileStream::openRead((folder / "loop").string(), &why), nullptr);
    EXPECT_EQ(why, "Too many levels of symbolic links");
}

}  // namespace
