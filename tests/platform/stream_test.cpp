#include "platform/stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
    const auto folder = std::filesystem::temp_directory_path() / "pomelune-stream-test";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "file.bin", std::ios::binary) << "hello";
    auto stream = FileStream::openRead((folder / "file.bin").string());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->size(), 5);
    char buffer[8] = {};
    EXPECT_EQ(stream->seek(1, SeekOrigin::Begin), 1);
    EXPECT_EQ(stream->read(buffer, 8), 4);
    EXPECT_STREQ(buffer, "ello");
    EXPECT_EQ(FileStream::openRead(folder.string()), nullptr);
    EXPECT_EQ(FileStream::openRead((folder / "missing").string()), nullptr);
    std::filesystem::remove_all(folder);
}

}  // namespace
