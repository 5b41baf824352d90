// The private unpack folder, and the listing's paths taken inside it.
#include "app/unpack_folder.h"

#include "support/scoped_environment.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class UnpackFolderTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (scratch / name).string(); }
    mode_t modeOf(const std::string& name) const
    {
        struct stat status;
        return lstat(path(name).c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
    }
    ScratchFolder scratch;
};

// The stored-path rule itself is tested in platform; here its use by the listing.
TEST(InsidePathTest, TurnsBackslashesIntoSlashesAndRefusesWhatTheRuleRefuses)
{
    EXPECT_EQ(insidePath("sub\\./a.chP"), "sub/./a.chP");
    EXPECT_EQ(insidePath("sub\\..\\..\\a.chP"), std::nullopt);
    EXPECT_EQ(insidePath(std::string("a\0b", 3)), std::nullopt);  // not cut at the NUL byte
}

TEST_F(UnpackFolderTest, IsTheProgramsOwnInTheRuntimeFolderWhenThatIsOursElseInTheTemporaryFolder)
{
    fs::create_directories(path("tmp"));
    fs::create_directories(path("ours"));
    fs::create_directories(path("others"));
    fs::create_directory_symlink(path("ours"), path("link"));
    scratch.write("file", "x");
    if (chown(path("others").c_str(), 65534, 65534) != 0) GTEST_SKIP() << "no other user's folder can be made";
    const ScopedVariable temp("TMPDIR", path("tmp"));
    const std::string own = std::to_string(getpid()) + "/";
    const std::string inTemp = path("tmp/pomelune-qptemp-" + std::to_string(getuid()) + "/" + own);
    const struct {
        std::optional<std::string> runtime;
        std::string unpack;
    } cases[] = {
        // $XDG_RUNTIME_DIR, or unset
        {path("ours"), path("ours/pomelune-qptemp/" + own)},
        {"ours", inTemp},
        {path("link"), inTemp},
        {path("file"), inTemp},
        {path("others"), inTemp},
        {std::nullopt, inTemp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.runtime.value_or("unset"));
        const ScopedVariable runtime("XDG_RUNTIME_DIR", c.runtime);
        EXPECT_EQ(unpackFolderPath(), c.unpack);
        EXPECT_NO_THROW(preparePrivateFolder(unpackFolderPath()));
    }
    EXPECT_THROW(preparePrivateFolder(path("others/own/")), std::exception);
}

// Both levels are made private or closed again; a link, a file or a missing parent at
// either level is refused, and nothing is closed or made through a link.
TEST_F(UnpackFolderTest, BothLevelsAreMadePrivateAndALinkAFileOrAMissingParentRefused)
{
    preparePrivateFolder(path("made/own/"));
    fs::create_directories(path("open/own"));
    chmod(path("open").c_str(), 0777);
    chmod(path("open/own").c_str(), 0777);
    preparePrivateFolder(path("open/own/"));
    for (const char* name : {"made", "made/own", "open", "open/own"}) EXPECT_EQ(modeOf(name), 0700u) << name;

    fs::create_directory(path("real"));
    chmod(path("real").c_str(), 0755);
    fs::create_directory_symlink(path("real"), path("link"));
    scratch.write("file", "x");
    fs::create_directory_symlink(path("real"), path("made/link"));
    scratch.write("made/file", "x");
    for (const std::string name : {"link/own/", "file/own/", "made/link/", "made/file/", "missing/deeper/own/"})
        EXPECT_THROW(preparePrivateFolder(path(name)), std::exception) << name;
    EXPECT_EQ(modeOf("real"), 0755u);
    EXPECT_FALSE(fs::exists(path("real/own")));
}

}  // namespace
