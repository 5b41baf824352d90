// The private unpack folder and the paths a listing names inside it.
#include "app/unpack_folder.h"

#include "app/package_folder.h"

#include <sys/stat.h>

#include <fstream>

namespace {

TEST(InsidePath, KeepsRelativePathsAndRefusesWaysOut)
{
    const struct {
        const char* stored;
        std::optional<std::string> inside;
    } cases[] = {
        {"a.chP", "a.chP"},
        {"sub\\a.chP", "sub/a.chP"},
        {"sub/./a.chP", "sub/./a.chP"},
        {"a..b/c..", "a..b/c.."},
        {"", std::nullopt},
        {"/etc/passwd", std::nullopt},
        {"\\a.chP", std::nullopt},
        {"C:a.chP", std::nullopt},
        {"..", std::nullopt},
        {"../a.chP", std::nullopt},
        {"sub\\..\\..\\a.chP", std::nullopt},
        {"sub/../a.chP", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(insidePath(c.stored), c.inside) << c.stored;
    EXPECT_EQ(insidePath(std::string("sub\0x", 5)), std::nullopt);
}

class UnpackFolderTest : public PackageTest {
protected:
    std::string path(const std::string& name) const { return (folder / name).string(); }
    mode_t modeOf(const std::string& name) const
    {
        struct stat status;
        return lstat(path(name).c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
    }
};

TEST_F(UnpackFolderTest, LiesInTheRuntimeFolderOrElseInTheTemporaryFolder)
{
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    EXPECT_EQ(unpackFolderPath(), path("pomelune-qptemp/"));
    setenv("XDG_RUNTIME_DIR", "relative", 1);
    const std::string inTemp = std::filesystem::temp_directory_path().string();
    EXPECT_EQ(unpackFolderPath().rfind(inTemp, 0), 0u);
    EXPECT_EQ(unpackFolderPath().back(), '/');
    EXPECT_NE(unpackFolderPath().find("pomelune-qptemp-" + std::to_string(getuid())), std::string::npos);
    unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(UnpackFolderTest, IsMadePrivateAndClosedAgainWhenOpen)
{
    preparePrivateFolder(path("made/"));
    EXPECT_EQ(modeOf("made"), 0700u);
    std::filesystem::create_directory(path("open"));
    chmod(path("open").c_str(), 0777);
    preparePrivateFolder(path("open/"));
    EXPECT_EQ(modeOf("open"), 0700u);
}

TEST_F(UnpackFolderTest, RefusesALinkAFileAndAMissingParent)
{
    std::filesystem::create_directory(path("real"));
    chmod(path("real").c_str(), 0755);
    std::filesystem::create_directory_symlink(path("real"), path("link"));
    writeFile("file", "x");
    for (const std::string name : {"link/", "file/", "missing/deeper/"})
        EXPECT_THROW(preparePrivateFolder(path(name)), std::exception) << name;
    EXPECT_EQ(modeOf("real"), 0755u);  // not closed through the link
}

TEST_F(UnpackFolderTest, RemovesOnlyRegularFilesReachedWithoutALink)
{
    std::filesystem::create_directories(path("unpack/sub"));
    std::filesystem::create_directories(path("outside"));
    writeFile("unpack/sub/a.txt", "x");
    writeFile("unpack/b.txt", "x");
    writeFile("outside/c.txt", "x");
    std::filesystem::create_directory_symlink(path("outside"), path("unpack/link"));
    std::filesystem::create_symlink(path("outside/c.txt"), path("unpack/alias"));
    const std::string unpack = path("unpack/");

    for (const char* name : {"sub/a.txt", "link/c.txt", "alias", "sub", "none"})
        EXPECT_EQ(regularFileInside(unpack, name), name == std::string("sub/a.txt")) << name;

    for (const char* name : {"sub/a.txt", "b.txt", "link/c.txt", "alias", "sub", "link", "none"}) removeRegularFileInside(unpack, name);
    EXPECT_FALSE(std::filesystem::exists(path("unpack/sub/a.txt")) || std::filesystem::exists(path("unpack/b.txt")));
    EXPECT_TRUE(std::filesystem::exists(path("outside/c.txt")) && std::filesystem::is_directory(path("unpack/sub")));
    EXPECT_TRUE(std::filesystem::is_symlink(path("unpack/alias")) && std::filesystem::is_symlink(path("unpack/link")));
}

}  // namespace
