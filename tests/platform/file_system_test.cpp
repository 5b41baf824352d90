// Package path listings, the folder of a path, replacing a file and a file's packed age.
#include "platform/file_system.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

time_t localTime(const char* text)
{
    std::tm when{};
    strptime(text, "%Y-%m-%d %H:%M:%S", &when);
    when.tm_isdst = -1;
    return mktime(&when);
}

// Case and encoding are checked where the definition names its CG; here the listing's lifetime.
TEST(FileSystemTest, AResolverReadsAFolderOnceAndFolderOfKeepsTheRoot)
{
    const ScratchFolder scratch;
    const std::string base = scratch.path().string();
    PackagePathResolver resolver;
    EXPECT_EQ(resolver.resolve(base + "/late.bmp"), base + "/late.bmp");
    const std::string late = scratch.write("Late.bmp", "x").string();
    // The listing read for the first look-up still serves; a new resolver sees the file.
    EXPECT_EQ(resolver.resolve(base + "/late.bmp"), base + "/late.bmp");
    EXPECT_EQ(PackagePathResolver().resolve(base + "/late.bmp"), late);
    EXPECT_EQ(folderOf("late.bmp"), ".");
    EXPECT_EQ(folderOf("/a/b/c.chP"), "/a/b");
    EXPECT_EQ(folderOf("/c.chP"), "/");
}

TEST(FileSystemTest, ReplacingAFileNeverFollowsOrOpensWhatWasThere)
{
    const ScratchFolder folder;
    folder.write("target", "kept");
    fs::create_symlink(folder / "target", folder / "link.png");
    ASSERT_EQ(mkfifo((folder / "fifo.png").c_str(), 0600), 0);
    alarm(10);  // opening the FIFO would wait for a reader for ever
    for (const char* name : {"new.png", "link.png", "fifo.png"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(replaceFile((folder / name).string(), "png"), 0);
        EXPECT_EQ(readFile(folder / name), "png");
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / name)));
    }
    alarm(0);
    EXPECT_EQ(readFile(folder / "target"), "kept");
    EXPECT_EQ(replaceFile((folder / "none" / "x.png").string(), "png"), ENOENT);
    // No new file is left behind beside them.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 4);
}

TEST(FileSystemTest, FileAgeIsThePackedLocalTimeAndMinusOneOnlyForAMissingFile)
{
    const struct {
        time_t written;
        std::string packed;  // the stamp's fields as a local time; "" when the packing cannot hold it
    } cases[] = {
        {localTime("1979-12-31 23:59:58"), ""},
        {localTime("1980-01-01 00:00:00"), "1980-01-01 00:00:00"},
        {localTime("2024-03-15 13:45:31"), "2024-03-15 13:45:30"},
        {localTime("2108-01-01 00:00:00"), ""},
    };
    const ScratchFolder folder;
    const std::string file = folder.write("aged.txt", "x").string();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        const timespec times[2] = {{c.written, 0}, {c.written, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
        const auto stamp = static_cast<uint32_t>(fileAge(file));
        char fields[32] = "";
        if (const uint32_t month = stamp >> 21 & 15; month != 0)
            snprintf(fields, sizeof fields, "%04u-%02u-%02u %02u:%02u:%02u", (stamp >> 25) + 1980, month,
                     stamp >> 16 & 31, stamp >> 11 & 31, stamp >> 5 & 63, (stamp & 31) * 2);
        EXPECT_EQ(fields, c.packed);
    }
    EXPECT_EQ(fileAge((folder / "missing").string()), -1);
}

}  // namespace
