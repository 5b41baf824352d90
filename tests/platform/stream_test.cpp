// Memory and file streams: short reads, seeks past the end, and files that are refused.
#include "platform/stream.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

TEST(FileStreamTest, OpensRegularFilesOnlyAndNeverWaitsOnOthers)
{
    const ScratchFolder folder;
    auto stream = FileStream::openRead(folder.write("file.bin", "hello").string());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->size(), 5);
    char buffer[8] = {};
    EXPECT_EQ(stream->seek(1, SeekOrigin::Begin), 1);
    EXPECT_EQ(stream->read(buffer, 8), 4);
    EXPECT_STREQ(buffer, "ello");

    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink("loop", folder / "loop");
    // clang-format off
    const struct { std::string path; const char* reason; } refusals[] = {
        {folder.path().string(), "Is a directory"},
        {(folder / "missing").string(), "No such file or directory"},
        {(folder / "fifo").string(), "Not a regular file"},  // no writer: a blocking open would wait for ever
        {"/dev/zero", "Not a regular file"},  // endless
        {(folder / "loop").string(), "Too many levels of symbolic links"},
        // clang-format on
    };
    alarm(10);  // a regression ends the test program instead of hanging it
    for (const auto& c : refusals) {
        SCOPED_TRACE(c.path);
        std::string why;
        EXPECT_EQ(FileStream::openRead(c.path, &why), nullptr);
        EXPECT_EQ(why, c.reason);
    }
    alarm(0);
}

}  // namespace
