// Memory streams: short reads and seeks past the end; an endless device refused as a file.
#include "platform/stream.h"

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

// Files are read, and folders, missing files and FIFOs refused, where the character's CG is loaded.
TEST(FileStreamTest, AnEndlessDeviceIsRefused)
{
    std::string why;
    EXPECT_EQ(FileStream::openRead("/dev/zero", &why), nullptr);
    EXPECT_EQ(why, "Not a regular file");
}

}  // namespace
