// The built archiver libraries through their entries and through TArchiveFile, which
// finds them beside this program: listing, the output buffer and progress.
#include "archive/archive_file.h"
#include "arclib/progress.h"
#include "platform/dynamic_library.h"
#include "platform/window_messages.h"
#include "support/test_archives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace fs = std::filesystem;

namespace {

// Each library with an archive of its kind and the command word its driver sends.
struct Library {
    const char* windowsName;
    std::string prefix;
    const char* fixture;
    const char* driverCommand;
};
const Library Libraries[] = {
    {"UNLHA32.DLL", "Unlha", "lh5_level1.lzh", "x"}, {"UNZIP32.DLL", "UnZip", "deflated.zip", "-x"},
    {"CAB32.DLL", "Cab", "mszip.cab", "-x"},         {"UNARJ32J.DLL", "Unarj", "method1.arj", "x"},
    {"tar32.dll", "Tar", "gzip.tgz", "x"},           {"UNRAR32.DLL", "Unrar", "a.rar", "-x"},
};

template <typename Proc>
Proc entry(const Library& library, const std::string& name)
{
    const auto found = findLibraryEntry(loadLibrary(library.windowsName), (library.prefix + name).c_str());
    if (!found) throw std::runtime_error(library.prefix + name + " missing");
    return reinterpret_cast<Proc>(found);
}

int run(const Library& library, const std::string& line, char* output = nullptr, uint32_t size = 0)
{
    return entry<ArchiverCommandProc>(library, "")(nullptr, line.c_str(), output, size);
}

// The fixtures, and a RAR of the package built in the folder.
fs::path archive(const ScratchFolder& folder, const Library& library)
{
    if (library.fixture != std::string("a.rar")) return fixtureFolder() / library.fixture;
    if (!fs::exists(folder / "a.rar"))
        folder.write("a.rar", storedRar({{"readme.txt", readFile(fixtureFolder() / "package/readme.txt")},
                                         {"sub\\chara.chP", readFile(fixtureFolder() / "package/sub/chara.chP")}}));
    return folder / "a.rar";
}

// Each library applies a wildcard, refuses the others' archives and what is no unpacking.
TEST(LibraryTest, EachListsItsOwnKindOnlyAndRefusesOtherCommands)
{
    ScratchFolder folder;
    for (const Library& library : Libraries) {
        SCOPED_TRACE(library.windowsName);
        const auto open = entry<ArchiverOpenArchiveProc>(library, "OpenArchive");
        const auto close = entry<ArchiverCloseArchiveProc>(library, "CloseArchive");
        const auto findNext = entry<ArchiverFindNextProc>(library, "FindNext");
        const auto check = entry<ArchiverCheckArchiveProc>(library, "CheckArchive");
        const HARC handle = open(nullptr, archive(folder, library).c_str(), ARCHIVER_MODE_LIST);
        ASSERT_NE(handle, 0u);
        std::vector<std::string> names;
        INDIVIDUALINFO record{};
        for (int found = entry<ArchiverFindFirstProc>(library, "FindFirst")(handle, "*.chp", &record); found == 0;
             found = findNext(handle, &record)) {
            names.push_back(record.szFileName);
            std::replace(names.back().begin(), names.back().end(), '\\', '/');
        }
        EXPECT_EQ(names, std::vector<std::string>{"sub/chara.chP"});
        EXPECT_EQ(close(handle), 0);
        EXPECT_NE(close(handle), 0);
        EXPECT_NE(findNext(handle, nullptr), 0);
        EXPECT_EQ(check(archive(folder, library).c_str(), 0), 1);
        for (const Library& other : Libraries) {
            if (other.prefix == library.prefix) continue;
            EXPECT_EQ(open(nullptr, archive(folder, other).c_str(), ARCHIVER_MODE_CHECK), 0u) << other.fixture;
            EXPECT_EQ(check(archive(folder, other).c_str(), 0), 0) << other.fixture;
        }

        char output[16];
        std::memset(output, 'X', sizeof output);
        EXPECT_NE(run(library, "u -+  \"a\" \"b/\" ", output, 8), 0);
        EXPECT_EQ(std::strlen(output), 7u);
        EXPECT_EQ(output[8], 'X');
        std::string message(512, '\0');
        EXPECT_NE(run(library, "d  \"a\" ", message.data(), 512), 0);
        EXPECT_NE(message.find("only unpacks"), std::string::npos) << message.c_str();
        EXPECT_NE(run(library,
                      std::string(library.driverCommand) + " \"/no/such/archive\" \"" + folder.path().string() + "/\""),
                  0);
    }
}

// The owner window hears begin, each file and end; a nonzero reply stops the library first.
TEST(LibraryTest, ProgressGoesToTheOwnerWindowWhichMayStopIt)
{
    ScratchFolder folder;
    const Library& library = Libraries[0];
    const uint32_t message = registerWindowMessage("wm_arcextract");
    std::vector<std::string> seen;
    int stopAt = -1;  // the state whose message is answered "stop"
    HWND window = createMessageWindow([&](uint32_t number, uintptr_t state, intptr_t record) -> intptr_t {
        if (number != message) return 0;
        seen.push_back(std::to_string(state) + ":" + reinterpret_cast<const ExtractingInfo*>(record)->szDestFileName);
        return static_cast<int>(state) == stopAt;
    });
    const std::string line = "x \"" + archive(folder, library).string() + "\" \"" + (folder / "out").string() + "/\" ";
    EXPECT_EQ(entry<ArchiverSetOwnerWindowExProc>(library, "SetOwnerWindowEx")(window, nullptr), 1);
    EXPECT_EQ(run(library, line), 0);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"0:", "1:readme.txt", "1:long.txt", "1:sub/chara.chP", "2:sub/chara.chP"}));

    for (const int state : {progressBegin, progressFile}) {  // stopped before any file is written
        SCOPED_TRACE(state);
        seen.clear();
        stopAt = state;
        fs::remove_all(folder / "out");
        EXPECT_NE(run(library, line), 0);
        EXPECT_EQ(seen.size(), static_cast<size_t>(state + 1));
        EXPECT_FALSE(fs::exists(folder / "out/readme.txt"));
    }
    stopAt = -1;
    EXPECT_EQ(entry<ArchiverKillOwnerWindowExProc>(library, "KillOwnerWindowEx")(window), 1);
    seen.clear();
    EXPECT_EQ(run(library, line), 0);
    EXPECT_TRUE(seen.empty());
    destroyMessageWindow(window);
}

// Dropping stored folders is the core's; here that a driver asks for it and passes the
// file list through a response file.
TEST(ComponentTest, DroppedFoldersAndResponseFilesReachTheLibrary)
{
    ScratchFolder folder;
    TArchiveFile component;
    component.SetFileName((fixtureFolder() / "deflated.zip").string());
    component.Options().x = 0;
    component.Options().ResFileName = (folder / "list.txt").string();
    const std::vector<std::string> files{"sub/chara.chP"};
    EXPECT_EQ(component.Extract(nullptr, nullptr, (folder / "out").string(), &files), 0) << component.LastCommandLine;
    EXPECT_EQ(readFile(folder / "out/chara.chP"), readFile(fixtureFolder() / "package/sub/chara.chP"));
    EXPECT_FALSE(fs::exists(folder / "out/readme.txt"));
}

}  // namespace
