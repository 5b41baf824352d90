// The built archiver libraries through their entries and through the archive
// component TArchiveFile, which finds them beside this program: listing, the drivers'
// command lines, the output buffer, progress messages and content detection.
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

struct Library {
    const char* windowsName;
    std::string prefix;
    const char* fixture;        // an archive of the library's kind
    const char* driverCommand;  // the command word its driver sends
    TArchiverType type;         // what the component detects in its content
};

const Library Libraries[] = {
    {"UNLHA32.DLL", "Unlha", "lh6_level1.lzh", "x", atLha}, {"UNZIP32.DLL", "UnZip", "deflated.zip", "-x", atZip},
    {"CAB32.DLL", "Cab", "mszip.cab", "-x", atCab},         {"UNARJ32J.DLL", "Unarj", "method1.arj", "x", atArj},
    {"tar32.dll", "Tar", "gzip.tgz", "x", atTgz},           {"UNRAR32.DLL", "Unrar", "a.rar", "-x", atRar},
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

// Wildcards themselves are tested with the core; here that the library applies one.
// The component picks the library by content when the extension says nothing; its
// unpacking through each library is tested with the window's drops.
TEST(LibraryTest, EachListsItsOwnKindOnlyRefusesOtherCommandsAndIsDetected)
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
        EXPECT_NE(run(library, std::string(library.driverCommand) + " \"/no/such/archive\" \"" + folder.path().string() + "/\""), 0);

        const fs::path renamed = folder / (library.prefix + ".exe");
        fs::copy_file(archive(folder, library), renamed);
        EXPECT_EQ(DetectArchiverType(renamed.string(), TDetectMode::ByContent), library.type);
    }
    EXPECT_EQ(DetectArchiverType(folder.write("p.exe", "MZ not an archive").string(), TDetectMode::ByContent), atNone);
}

// The owner window hears begin, each file and end; a nonzero reply to a file stops the
// library before it writes that file. The entries are the same code in every library.
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
    EXPECT_EQ(seen, (std::vector<std::string>{"0:", "1:readme.txt", "1:long.txt", "1:sub/chara.chP", "2:sub/chara.chP"}));

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

// Dropping stored folders is the core's, the same for every format; here that the
// drivers ask for it and pass the file list, through a response file.
TEST(ComponentTest, DroppedFoldersAndResponseFilesReachTheLibrary)
{
    ScratchFolder folder;
    for (const char* fixture : {"lh5_level2.lzh", "deflated.zip"}) {
        SCOPED_TRACE(fixture);
        TArchiveFile component;
        component.SetFileName((fixtureFolder() / fixture).string());
        component.Options().x = 0;
        component.Options().ResFileName = (folder / "list.txt").string();
        const std::vector<std::string> files{"sub/chara.chP"};
        const fs::path out = folder / fixture;
        EXPECT_EQ(component.Extract(nullptr, nullptr, out.string(), &files), 0) << component.LastCommandLine;
        EXPECT_EQ(readFile(out / "chara.chP"), readFile(fixtureFolder() / "package/sub/chara.chP"));
        EXPECT_FALSE(fs::exists(out / "readme.txt"));
    }
}

}  // namespace
