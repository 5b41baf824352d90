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
    const char* fixture;       // an archive of the library's kind
    const char* driverCommand; // the command word its driver sends
    const char* extension;     // the extension its driver is chosen by
    TArchiverType type;        // what the component detects in its content
};

const Library Libraries[] = {
    {"UNLHA32.DLL", "Unlha", "lh6_level1.lzh", "x", ".lzh", atLha}, {"UNZIP32.DLL", "UnZip", "deflated.zip", "-x", ".zip", atZip},
    {"CAB32.DLL", "Cab", "mszip.cab", "-x", ".cab", atCab},         {"UNARJ32J.DLL", "Unarj", "method1.arj", "x", ".arj", atArj},
    {"tar32.dll", "Tar", "gzip.tgz", "x", ".tgz", atTgz},           {"UNRAR32.DLL", "Unrar", "a.rar", "-x", ".rar", atRar},
};

void PrintTo(const Library& library, std::ostream* out) { *out << library.windowsName; }

template <typename Proc>
Proc entry(const Library& library, const std::string& name)
{
    const auto found = findLibraryEntry(loadLibrary(library.windowsName), (library.prefix + name).c_str());
    if (!found) throw std::runtime_error(library.prefix + name + " missing");
    return reinterpret_cast<Proc>(found);
}

class LibraryTest : public testing::TestWithParam<Library> {
protected:
    void SetUp() override
    {
        writeFile(folder_ / "a.rar", storedRar({{"readme.txt", readFile(fixtureFolder() / "package/readme.txt")},
                                                {"sub\\chara.chP", readFile(fixtureFolder() / "package/sub/chara.chP")}}));
    }
    fs::path archive(const Library& library) const
    {
        return library.fixture == std::string("a.rar") ? folder_ / "a.rar" : fixtureFolder() / library.fixture;
    }
    int run(const Library& library, const std::string& line, char* output = nullptr, uint32_t size = 0)
    {
        return entry<ArchiverCommandProc>(library, "")(nullptr, line.c_str(), output, size);
    }

    ScratchFolder folder_;
};

std::vector<std::string> listing(const Library& library, HARC handle, const char* wildcard)
{
    std::vector<std::string> names;
    INDIVIDUALINFO record{};
    for (int found = entry<ArchiverFindFirstProc>(library, "FindFirst")(handle, wildcard, &record); found == 0;
         found = entry<ArchiverFindNextProc>(library, "FindNext")(handle, &record)) {
        EXPECT_LE(std::strlen(reinterpret_cast<const char*>(&record) + 26), FNAME_MAX32);
        std::string name = record.szFileName;
        std::replace(name.begin(), name.end(), '\\', '/');
        names.push_back(name);
    }
    return names;
}

TEST_P(LibraryTest, ListsItsOwnKindAndOpensNoOther)
{
    const Library& library = GetParam();
    const auto open = entry<ArchiverOpenArchiveProc>(library, "OpenArchive");
    const auto close = entry<ArchiverCloseArchiveProc>(library, "CloseArchive");
    const HARC handle = open(nullptr, archive(library).c_str(), ARCHIVER_MODE_LIST);
    ASSERT_NE(handle, 0u);
    const std::vector<std::string> all = listing(library, handle, "*.*");
    EXPECT_NE(std::find(all.begin(), all.end(), "sub/chara.chP"), all.end()) << testing::PrintToString(all);
    EXPECT_EQ(listing(library, handle, "*"), all);
    EXPECT_EQ(listing(library, handle, "*.chp"), std::vector<std::string>{"sub/chara.chP"});
    EXPECT_EQ(close(handle), 0);
    EXPECT_NE(close(handle), 0);
    EXPECT_NE(entry<ArchiverFindNextProc>(library, "FindNext")(handle, nullptr), 0);
    EXPECT_EQ(entry<ArchiverCheckArchiveProc>(library, "CheckArchive")(archive(library).c_str(), 0), 1);

    for (const Library& other : Libraries) {
        if (other.prefix == library.prefix) continue;
        EXPECT_EQ(open(nullptr, archive(other).c_str(), ARCHIVER_MODE_CHECK), 0u) << other.fixture;
        EXPECT_EQ(entry<ArchiverCheckArchiveProc>(library, "CheckArchive")(archive(other).c_str(), 0), 0);
    }
}

TEST_P(LibraryTest, CommandsOtherThanUnpackingAreRefusedAndMessagesFitTheBuffer)
{
    const Library& library = GetParam();
    char output[16];
    std::memset(output, 'X', sizeof output);
    EXPECT_NE(run(library, "u -+  \"a\" \"b/\" ", output, 8), 0);
    EXPECT_EQ(std::strlen(output), 7u);
    EXPECT_EQ(output[8], 'X');

    std::string message(512, '\0');
    EXPECT_NE(run(library, "d  \"a\" ", message.data(), 512), 0);
    EXPECT_NE(message.find("only unpacks"), std::string::npos) << message.c_str();
    EXPECT_NE(run(library, std::string(library.driverCommand) + " \"/no/such/archive\" \"" + folder_.path().string() + "/\""), 0);
}

// The owner window hears begin, each file and end; a nonzero reply stops the library.
TEST_P(LibraryTest, ProgressGoesToTheOwnerWindowWhichMayStopIt)
{
    const Library& library = GetParam();
    const uint32_t message = registerWindowMessage("wm_arcextract");
    std::vector<std::string> seen;
    bool stop = false;
    HWND window = createMessageWindow([&](uint32_t number, uintptr_t state, intptr_t record) -> intptr_t {
        if (number != message) return 0;
        seen.push_back(std::to_string(state) + ":" + reinterpret_cast<const ExtractingInfo*>(record)->szDestFileName);
        return stop && state == progressFile;
    });
    const std::string folder = library.prefix == "Tar" ? " -o \"" : " \"";
    const std::string archivePath = library.prefix == "Tar" ? " -f \"" + archive(library).string() + "\"" : " \"" + archive(library).string() + "\"";
    const std::string line = std::string(library.driverCommand) + archivePath + folder + (folder_ / "out").string() + "/\" ";

    EXPECT_EQ(entry<ArchiverSetOwnerWindowExProc>(library, "SetOwnerWindowEx")(window, nullptr), 1);
    EXPECT_EQ(run(library, line), 0);
    EXPECT_EQ(seen.front(), "0:");
    EXPECT_NE(std::find(seen.begin(), seen.end(), "1:sub/chara.chP"), seen.end()) << testing::PrintToString(seen);
    EXPECT_EQ(seen.back().substr(0, 2), "2:");

    seen.clear();
    stop = true;
    fs::remove_all(folder_ / "out");
    EXPECT_NE(run(library, line), 0);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_FALSE(fs::exists(folder_ / "out/readme.txt"));

    EXPECT_EQ(entry<ArchiverKillOwnerWindowExProc>(library, "KillOwnerWindowEx")(window), 1);
    seen.clear();
    EXPECT_EQ(run(library, line), 0);
    EXPECT_TRUE(seen.empty());
    destroyMessageWindow(window);
}

// The component picks the library by content when the extension says nothing; its
// unpacking through each library is tested with the window's drops.
TEST_P(LibraryTest, TheComponentDetectsItsKindByContent)
{
    fs::copy_file(archive(GetParam()), folder_ / "package.exe");
    EXPECT_EQ(DetectArchiverType((folder_ / "package.exe").string(), TDetectMode::ByContent), GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(Libraries, LibraryTest, testing::ValuesIn(Libraries),
                         [](const auto& info) { return info.param.prefix; });

TEST(ComponentTest, DroppedFoldersAndResponseFilesReachTheLibrary)
{
    ScratchFolder folder;
    for (const char* fixture : {"lh5_level2.lzh", "deflated.zip"}) {
        TArchiveFile component;
        component.SetFileName((fixtureFolder() / fixture).string());
        component.Options().x = 0;
        component.Options().ResFileName = (folder / "list.txt").string();
        const std::vector<std::string> files{"sub/chara.chP"};
        const fs::path out = folder / fixture;
        EXPECT_EQ(component.Extract(nullptr, nullptr, out.string(), &files), 0) << component.LastCommandLine;
        EXPECT_EQ(readFile(out / "chara.chP"), readFile(fixtureFolder() / "package/sub/chara.chP")) << fixture;
        EXPECT_FALSE(fs::exists(out / "readme.txt"));
    }
}

// The tar family's other kinds are told by TarGetArchiveType, tested with the core.
TEST(ComponentTest, AFileOfNoKindIsDetectedAsNone)
{
    ScratchFolder folder;
    writeFile(folder / "p.exe", "MZ not an archive");
    EXPECT_EQ(DetectArchiverType((folder / "p.exe").string(), TDetectMode::ByContent), atNone);
}

}  // namespace
