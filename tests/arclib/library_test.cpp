// The built archiver libraries through their entries, found beside this program: each
// opens its own kind only, bounds its output and refuses what is no unpacking.
#include "platform/archiver_contract.h"
#include "platform/dynamic_library.h"
#include "support/test_archives.h"

#include <gtest/gtest.h>

#include <cstring>

namespace fs = std::filesystem;

namespace {

// Each library with an archive of its kind; the RAR one is built in the test's folder.
struct Library {
    const char* windowsName;
    std::string prefix;
    const char* fixture;
};
const Library Libraries[] = {
    {"UNLHA32.DLL", "Unlha", "lh5_level1.lzh"}, {"UNZIP32.DLL", "UnZip", "deflated.zip"},
    {"CAB32.DLL", "Cab", "mszip.cab"},          {"UNARJ32J.DLL", "Unarj", "method1.arj"},
    {"tar32.dll", "Tar", "gzip.tgz"},           {"UNRAR32.DLL", "Unrar", "a.rar"},
};

template <typename Proc>
Proc entry(const Library& library, const std::string& name)
{
    const auto found = findLibraryEntry(loadLibrary(library.windowsName), (library.prefix + name).c_str());
    if (!found) throw std::runtime_error(library.prefix + name + " missing");
    return reinterpret_cast<Proc>(found);
}

// The drops list and unpack through each library; here what they never ask.
TEST(LibraryTest, EachOpensItsOwnKindOnlyAndRefusesOtherCommands)
{
    ScratchFolder folder;
    folder.write("a.rar", storedRar({{"readme.txt", "r"}, {"sub\\chara.chP", "c"}}));
    const auto archive = [&](const Library& library) {
        return (library.fixture == std::string("a.rar") ? folder / "a.rar" : fixtureFolder() / library.fixture)
            .string();
    };
    for (const Library& library : Libraries) {
        SCOPED_TRACE(library.windowsName);
        const auto open = entry<ArchiverOpenArchiveProc>(library, "OpenArchive");
        const auto close = entry<ArchiverCloseArchiveProc>(library, "CloseArchive");
        const HARC handle = open(nullptr, archive(library).c_str(), ARCHIVER_MODE_LIST);
        ASSERT_NE(handle, 0u);
        EXPECT_EQ(close(handle), 0);
        EXPECT_NE(close(handle), 0);
        EXPECT_NE(entry<ArchiverFindNextProc>(library, "FindNext")(handle, nullptr), 0);
        for (const Library& other : Libraries) {
            if (other.prefix == library.prefix) continue;
            EXPECT_EQ(open(nullptr, archive(other).c_str(), ARCHIVER_MODE_CHECK), 0u) << other.fixture;
        }
    }
    // The libraries share the core that answers commands.
    const auto command = entry<ArchiverCommandProc>(Libraries[0], "");
    char output[16];
    std::memset(output, 'X', sizeof output);
    EXPECT_NE(command(nullptr, "u -+  \"a\" \"b/\" ", output, 8), 0);
    EXPECT_EQ(std::strlen(output), 7u);
    EXPECT_EQ(output[8], 'X');
    std::string message(512, '\0');
    EXPECT_NE(command(nullptr, "d  \"a\" ", message.data(), 512), 0);
    EXPECT_NE(message.find("only unpacks"), std::string::npos) << message.c_str();
}

}  // namespace
