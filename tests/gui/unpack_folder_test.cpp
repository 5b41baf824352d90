// The private unpack folder and the paths a listing names inside it.
#include "app/unpack_folder.h"

#include "platform/scope_guard.h"
#include "support/package_folder.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <optional>

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

TEST_F(UnpackFolderTest, IsTheProgramsOwnInTheRuntimeFolderWhenThatIsOursElseInTheTemporaryFolder)
{
    std::filesystem::create_directories(path("tmp"));
    std::filesystem::create_directories(path("ours"));
    std::filesystem::create_directories(path("others"));
    std::filesystem::create_directory_symlink(path("ours"), path("link"));
    writeFile("file", "x");
    if (chown(path("others").c_str(), 65534, 65534) != 0) GTEST_SKIP() << "no other user's folder can be made";
    const std::string temp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    const ScopeGuard restore([temp] {
        temp.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", temp.c_str(), 1);
        unsetenv("XDG_RUNTIME_DIR");
    });
    setenv("TMPDIR", path("tmp").c_str(), 1);
    const std::string own = std::to_string(getpid()) + "/";
    const std::string inTemp = path("tmp/pomelune-qptemp-" + std::to_string(getuid()) + "/" + own);
    const struct {
        std::optional<std::string> runtime;  // $XDG_RUNTIME_DIR; nullopt when unset
        std::string unpack;
    } cases[] = {
        {path("ours"), path("ours/pomelune-qptemp/" + own)},
        {"ours", inTemp},
        {path("link"), inTemp},
        {path("file"), inTemp},
        {path("others"), inTemp},
        {std::nullopt, inTemp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.runtime.value_or("unset"));
        if (c.runtime) setenv("XDG_RUNTIME_DIR", c.runtime->c_str(), 1);
        else unsetenv("XDG_RUNTIME_DIR");
        EXPECT_EQ(unpackFolderPath(), c.unpack);
        EXPECT_NO_THROW(preparePrivateFolder(unpackFolderPath()));
    }
    EXPECT_THROW(preparePrivateFolder(path("others/own/")), std::exception);
}

TEST_F(UnpackFolderTest, BothLevelsAreMadePrivateAndClosedAgainWhenOpen)
{
    preparePrivateFolder(path("made/own/"));
    std::filesystem::create_directories(path("open/own"));
    chmod(path("open").c_str(), 0777);
    chmod(path("open/own").c_str(), 0777);
    preparePrivateFolder(path("open/own/"));
    for (const char* name : {"made", "made/own", "open", "open/own"}) EXPECT_EQ(modeOf(name), 0700u) << name;
}

TEST_F(UnpackFolderTest, RefusesALinkAFileAndAMissingParentAtEitherLevel)
{
    std::filesystem::create_directory(path("real"));
    chmod(path("real").c_str(), 0755);
    std::filesystem::create_directory_symlink(path("real"), path("link"));
    writeFile("file", "x");
    preparePrivateFolder(path("shared/own/"));
    std::filesystem::create_directory_symlink(path("real"), path("shared/link"));
    writeFile("shared/file", "x");
    for (const std::string name : {"link/own/", "file/own/", "shared/link/", "shared/file/", "missing/deeper/own/"})
        EXPECT_THROW(preparePrivateFolder(path(name)), std::exception) << name;
    EXPECT_EQ(modeOf("real"), 0755u);  // not closed through a link
    EXPECT_FALSE(std::filesystem::exists(path("real/own")));
}

TEST_F(UnpackFolderTest, TwoProgramsNeverRemoveEachOthersFiles)
{
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    const std::string mine = unpackFolderPath();
    const std::string other = unpackFolderPath(getpid() + 1);
    unsetenv("XDG_RUNTIME_DIR");
    for (const std::string& unpack : {mine, other}) {
        preparePrivateFolder(unpack);
        std::filesystem::create_directory(unpack + "sub");
        std::ofstream(unpack + "sub/a.chP") << "x";
    }
    removeRegularFileInside(mine, "sub/a.chP");
    EXPECT_FALSE(std::filesystem::exists(mine + "sub/a.chP"));
    EXPECT_TRUE(std::filesystem::exists(other + "sub/a.chP"));
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
