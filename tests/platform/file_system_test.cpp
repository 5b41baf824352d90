// Package paths by case and encoding, the folder of a path, replacing a file and a
// file's packed age.
#include "platform/file_system.h"

#include "support/scoped_environment.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <set>

namespace {

namespace fs = std::filesystem;

class FileSystemTest : public ::testing::Test {
protected:
    std::string touch(const std::string& name, const std::string& text = "x") { return scratch.write(name, text).string(); }
    std::string contents(const std::string& name) const
    {
        std::ifstream file(folder / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    ScratchFolder scratch;
    const fs::path& folder = scratch.path();
};

TEST_F(FileSystemTest, PackagePathsResolveByCaseAndEncoding)
{
    const std::string exact = touch("Sub Folder/Chara.BMP");
    const std::string utf8 = touch("Sub Folder/\xe7\x94\xbb.bmp");  // "画"
    const std::string base = folder.string();
    EXPECT_EQ(resolvePackagePath(exact), exact);
    EXPECT_EQ(resolvePackagePath(base + "/sub folder/chara.bmp"), exact);
    EXPECT_EQ(resolvePackagePath(base + "/Sub Folder/\x89\xe6.bmp"), utf8);  // "画" in Shift-JIS
    EXPECT_EQ(resolvePackagePath(base + "/SUB FOLDER/\x89\xe6.BMP"), utf8);
    EXPECT_EQ(resolvePackagePath(base + "/none/chara.bmp"), base + "/none/chara.bmp");
}

TEST_F(FileSystemTest, AResolverReadsAFolderOnceAndBareNamesLieInTheCurrentFolder)
{
    fs::create_directories(folder / "Sub Folder");
    PackagePathResolver resolver;
    const std::string base = folder.string();
    EXPECT_EQ(resolver.resolve(base + "/SUB FOLDER/a.bmp"), base + "/SUB FOLDER/a.bmp");
    const std::string late = touch("Sub Folder/Late.bmp");
    // The listing read for the first look-up still serves; a new resolver sees the file.
    EXPECT_EQ(resolver.resolve(base + "/sub folder/late.bmp"), base + "/sub folder/late.bmp");
    EXPECT_EQ(PackagePathResolver().resolve(base + "/sub folder/late.bmp"), late);

    {
        const ScopedCurrentFolder current(folder / "Sub Folder");
        EXPECT_EQ(folderOf("late.bmp"), ".");
        EXPECT_EQ(resolvePackagePath(folderOf("chara.chP") + "/LATE.BMP"), "./Late.bmp");
    }
    EXPECT_EQ(folderOf("/a/b/c.chP"), "/a/b");
    EXPECT_EQ(folderOf("/c.chP"), "/");
}

TEST_F(FileSystemTest, ReplacingAFileNeverFollowsOrOpensWhatWasThere)
{
    touch("target", "kept");
    fs::create_symlink(folder / "target", folder / "link.png");
    ASSERT_EQ(mkfifo((folder / "fifo.png").c_str(), 0600), 0);
    alarm(10);  // opening the FIFO would wait for a reader for ever
    for (const char* name : {"new.png", "link.png", "fifo.png"}) {
        EXPECT_EQ(replaceFile((folder / name).string(), "png"), 0) << name;
        EXPECT_EQ(contents(name), "png") << name;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / name))) << name;
    }
    alarm(0);
    EXPECT_EQ(contents("target"), "kept");
    EXPECT_EQ(replaceFile((folder / "none" / "x.png").string(), "png"), ENOENT);
    // No new file is left behind beside them.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4);
}

// A local time as "YYYY-MM-DD HH:MM:SS".
std::string localText(time_t when)
{
    std::tm local{};
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", localtime_r(&when, &local));
    return text;
}

time_t localTime(const char* text)
{
    std::tm when{};
    strptime(text, "%Y-%m-%d %H:%M:%S", &when);
    when.tm_isdst = -1;
    return mktime(&when);
}

TEST_F(FileSystemTest, FileAgeIsThePackedLocalTimeAndMinusOneOnlyForAMissingFile)
{
    const time_t now = time(nullptr) / 2 * 2;
    const struct {
        time_t written;
        std::string packed;  // the stamp's fields as a local time; "" when the packing cannot hold it
    } cases[] = {
        {0, ""},
        {localTime("1979-12-31 23:59:58"), ""},
        {localTime("1980-01-01 00:00:00"), "1980-01-01 00:00:00"},
        {localTime("2024-03-15 13:45:31"), "2024-03-15 13:45:30"},
        {now, localText(now)},
        {localTime("2108-01-01 00:00:00"), ""},
    };
    const std::string file = touch("aged.txt");
    std::set<int32_t> stamps;
    for (const auto& c : cases) {
        SCOPED_TRACE(localText(c.written));
        const timespec times[2] = {{c.written, 0}, {c.written, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
        const auto stamp = static_cast<uint32_t>(fileAge(file));
        EXPECT_NE(stamp, 0xFFFFFFFFu);
        EXPECT_TRUE(stamps.insert(static_cast<int32_t>(stamp)).second);
        char fields[32] = "";
        if (const uint32_t month = stamp >> 21 & 15; month != 0)
            snprintf(fields, sizeof fields, "%04u-%02u-%02u %02u:%02u:%02u", (stamp >> 25) + 1980, month, stamp >> 16 & 31,
                     stamp >> 11 & 31, stamp >> 5 & 63, (stamp & 31) * 2);
        EXPECT_EQ(fields, c.packed);
    }
    EXPECT_EQ(fileAge((folder / "missing").string()), -1);
}

}  // namespace
