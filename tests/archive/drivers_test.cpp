// The library binding and every format driver, against the stand-in libraries beside
// the test program.
#include "archive/arj32.h"
#include "archive/cab32.h"
#include "archive/lha32.h"
#include "archive/rar32.h"
#include "archive/self_extractor.h"
#include "archive/tar32.h"
#include "archive/zip32.h"
#include "platform/file_system.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

namespace fs = std::filesystem;

template <class Driver>
std::unique_ptr<TArchiver> make()
{
    return std::make_unique<Driver>();
}
using Make = std::unique_ptr<TArchiver> (*)();
using Operation = int (TArchiver::*)(HWND, const std::string&, const TArchiverOptions&, const std::string&,
                                     const std::vector<std::string>*, std::string&);

// The command line the operation sends, or the message it raises.
std::string run(TArchiver& driver, Operation operation, const TArchiverOptions& options, const std::string& archive,
                const std::string& folder = "", const std::vector<std::string>* files = nullptr)
{
    std::string out;
    const std::string raised =
        thrownMessage<EArchiver>([&] { (driver.*operation)(nullptr, archive, options, folder, files, out); });
    return raised.empty() ? driver.CommandLine : raised;
}

// The command line MakeSFX sends, or the message it raises.
std::string makeSfx(TArchiver& driver, const TArchiverOptions& options, const std::string& archive,
                    const std::string& folder)
{
    std::string out;
    const std::string raised =
        thrownMessage<EArchiver>([&] { driver.MakeSFX(window(4), archive, options, folder, out); });
    return raised.empty() ? driver.CommandLine : raised;
}

TEST(ArchiverLibraryTest, AMissingLibraryOrEntryIsNamedInTheMessage)
{
    // Found beside the program once, by the platform's name; else by the system loader.
    EXPECT_EQ(loadLibrary("unlha32.dll"), loadLibrary("UNLHA32.DLL"));
    EXPECT_EQ(libraryPath(loadLibrary("UNLHA32.DLL")), executableFolder() + "/libunlha32.so");
    ArchiverLibrary sysarc("SYSARC32.DLL");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { sysarc.entry<ArchiverCommandProc>("Sysarc"); }),
              "libsysarc32.so に Sysarc のエントリが見つかりません。");
    sysarc.load("");
    EXPECT_NE(sysarc.entry<ArchiverCommandProc>("Sysarc"), nullptr);
    EXPECT_EQ(thrownMessage<EArchiver>([&] { sysarc.entry<ArchiverOpenArchiveProc>("SysarcOpenArchive"); }),
              executableFolder() + "/system/libsysarc32.so に SysarcOpenArchive のエントリが見つかりません。");
    ArchiverLibrary missing("NOSUCH32.DLL");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { missing.load("NOSUCH32.DLL が必要です。"); }),
              "NOSUCH32.DLL が必要です。");

    // After FreeDLL a driver's entries are missing until a command loads the library.
    TLha32 lha;
    lha.FreeDLL();
    EXPECT_EQ(thrownMessage<EArchiver>([&] { lha.OpenArchive(nullptr, "a.lzh", 0); }),
              "libunlha32.so に UnlhaOpenArchive のエントリが見つかりません。");
    EXPECT_EQ(run(lha, &TArchiver::Extract, {}, "a.lzh"), "x -+  \"a.lzh\" ");
    TZip32 zip;
    zip.FreeDLL();
    EXPECT_EQ(run(zip, &TArchiver::Extract, {}, "a.zip"),
              "ZIP 形式書庫の解凍には UNZIP32.DLL または LMZIP32.DLL が必要です。");
    EXPECT_EQ(run(zip, &TArchiver::Pack, {}, "a.zip"),
              "ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { zip.OpenArchive(nullptr, "a.zip", 0); }),
              "UnZipOpenArchive のエントリが見つかりません。");
    zip.LoadDLL();
    EXPECT_EQ(run(zip, &TArchiver::Extract, {}, "a.zip"), "-x  \"a.zip\" ");
}

// The window unpacks with a0 m1 n1 x1 ga1 into its folder with an 8192-byte buffer; a
// few other options show they become each library's own switches.
TEST(DriversTest, UnpackingLinesReachEachLibraryWithTheWindowAndTheBuffer)
{
    const TArchiverOptions unpacking{.a = 0, .m = 1, .n = 1, .x = 1, .ga = 1};
    const std::string tail = "\" \"/tmp/qptemp/\" ";
    const std::string tarTail = "  -f \"a.tar\" -o \"/tmp/qptemp/\" ";
    const std::string cab = "\"" + fullPath("a.cab") + tail;
    // clang-format off
    const struct { Make make; const char* archive; TArchiverOptions options; const char* library; const char* prefix;
                   std::string line; HWND received; } cases[] = {
        {make<TLha32>, "a.lzh", unpacking, "UNLHA32.DLL", "Unlha", "x -+ -a0 -m1 -n1 -x1 -ga1  \"a.lzh" + tail, window(3)},
        {make<TArj32>, "a.arj", unpacking, "UNARJ32J.DLL", "Unarj", "x -+ -a0 -m1 -n1 -x1 -ga1  \"a.arj" + tail, nullptr},
        {make<TZip32>, "a.zip", unpacking, "UNZIP32.DLL", "UnZip", "-x --i  \"a.zip" + tail, window(3)},
        {make<TCab32>, "a.cab", unpacking, "CAB32.DLL", "Cab", "-x -i  " + cab, window(3)},
        {make<TRar32>, "a.rar", unpacking, "UNRAR32.DLL", "Unrar", "-x -u -y  \"a.rar" + tail, window(3)},
        {make<TTgz32>, "a.tar", unpacking, "tar32.dll", "Tar", "x -I --display-dialog=0 --use-directory=1 -z" + tarTail, window(3)},
        {make<TCab32>, "a.cab", {.c = 1, .n = 1, .r = 1, .x = 0, .ji = 1}, "CAB32.DLL", "Cab", "-x -o -i -r -j -q  " + cab, window(3)},
        {make<TTar32>, "a.tar", {.jm = 9}, "tar32.dll", "Tar", "x" + tarTail, window(3)},
        {make<TBZ232>, "a.tar", {.jm = 0}, "tar32.dll", "Tar", "x -B" + tarTail, window(3)},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string output(8192, '\0');
        EXPECT_EQ(c.make()->Extract(window(3), c.archive, c.options, "/tmp/qptemp", nullptr, output), 0);
        EXPECT_EQ(lastCommand(c.library, c.prefix).commandLine, c.line);
        EXPECT_EQ(lastCommand(c.library, c.prefix).window, c.received);
        EXPECT_EQ(lastCommand(c.library, c.prefix).size, 8192u);
        EXPECT_EQ(output.c_str(), std::string(c.prefix) + ": done");
    }
}

// An owner window (the progress window) tells the library to show no dialog.
TEST(DriversTest, AnOwnerWindowQuietsTheLibraryUntilItIsKilled)
{
    // The stand-ins answer 0 to KillOwnerWindowEx, the ZIP driver true.
    const std::string cab = "\"" + fullPath("a.x") + "\" ";
    // clang-format off
    const struct { Make make; const char* library; const char* prefix; int8_t n; std::string quiet, owned; bool killAnswer; }
        cases[] = {
        {make<TLha32>, "UNLHA32.DLL", "Unlha", 0, "x -+ -n0  \"a.x\" ", "x -+ -n1  \"a.x\" ", false},
        {make<TZip32>, "UNZIP32.DLL", "UnZip", 0, "-x  \"a.x\" ", "-x --i  \"a.x\" ", true},
        {make<TCab32>, "CAB32.DLL", "Cab", 0, "-x  " + cab, "-x -i  " + cab, false},
        {make<TTar32>, "tar32.dll", "Tar", 1, "x --display-dialog=0  -f \"a.x\" ", "x  -f \"a.x\" ", false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.owned);
        const auto driver = c.make();
        EXPECT_TRUE(driver->SetOwnerWindow(window(7), nullptr));
        EXPECT_EQ(calls(c.library, c.prefix).ownerWindow, window(7));
        EXPECT_EQ(run(*driver, &TArchiver::Extract, {.n = c.n}, "a.x"), c.owned);
        EXPECT_EQ(driver->KillOwnerWindow(window(7)), c.killAnswer);
        EXPECT_EQ(driver->OwnerWindow, nullptr);
        EXPECT_EQ(run(*driver, &TArchiver::Extract, {.n = c.n}, "a.x"), c.quiet);
    }
}

// Packing, removing and updating, which the window never does: a file list goes into
// the response file when ResFileUsage holds the operation; some formats refuse.
TEST(DriversTest, PackRemoveAndUpdateLinesAndResponseFiles)
{
    CurrentScratchFolder folder;
    const std::string list = (folder / "list.txt").string();
    const std::vector<std::string> files{"a.chP", "cg\\b[1].bmp"};
    const TArchiverOptions listed{.ResFileName = list};
    const TArchiverOptions none{.ResFileName = list, .ResFileUsage = {}};
    // clang-format off
    const struct { Make make; Operation operation; TArchiverOptions options; std::string line; } cases[] = {
        {make<TLha32>, &TArchiver::Update, listed, "f -+  \"a.x\" \"base/\" \"a.chP\" \"cg\\b[1].bmp\" "},
        {make<TZip32>, &TArchiver::Pack, none, " -D  \"a.x\" \"base/\" \"a.chP\" \"cg/b[[]1].bmp\" "},
        {make<TCab32>, &TArchiver::Remove, listed, "この形式の書庫ではファイルの削除をサポートしておりません。"},
        {make<TRar32>, &TArchiver::Pack, listed, "この形式では書庫ファイルの作成をサポートしておりません。"},
        {make<TRar32>, &TArchiver::Update, listed, "この形式の書庫では書庫の更新をサポートしておりません。"},
        {make<TLha32>, &TArchiver::Pack, listed, "u -+  \"a.x\" \"base/\" \"@" + list + "\" "},  // last: its list is read below
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        fs::remove(list);
        EXPECT_EQ(run(*c.make(), c.operation, c.options, "a.x", "base", &files), c.line);
        EXPECT_EQ(fs::exists(list), c.line.find('@') != std::string::npos);
    }
    EXPECT_EQ(fileText(list), "\"a.chP\"\r\n\"cg\\b[1].bmp\"\r\n");
}

// Self-extractors, which the window never makes: ZIP and TAR write the stub, found on
// PATH by a path of at most 512 characters, and the archive into ARCHIVE.EXE.
TEST(DriversTest, SelfExtractorsPutTheStubBeforeTheArchive)
{
    // clang-format off
    const struct { Make make; const char* stub; int8_t gw; std::string result; const char* target; } cases[] = {
        {make<TZip32>, nullptr, -1, "zip 書庫からのDOS自己解凍書庫の作成には sfx16.dat が必要です。", nullptr},
        {make<TZip32>, "sfx16.dat", 1, "zip 書庫からのWin32自己解凍書庫の作成には sfx32gui.dat が必要です。", nullptr},
        {make<TZip32>, "sfx32gui.dat", 1, "-A pkg.EXE", "pkg.EXE"},
        {make<TBZ232>, "kmtarsef.exe", -1, "BZ2 形式書庫は自己解凍形式にできません。", nullptr},
        {make<TRar32>, nullptr, -1, "この形式では自己解凍書庫の作成をサポートしておりません。", nullptr},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        CurrentScratchFolder folder;
        folder.write("pkg.x", "pkg");
        if (c.stub) folder.write(c.stub, "STUB");
        EXPECT_EQ(makeSfx(*c.make(), {.gw = c.gw}, "pkg.x", c.target ? "" : "out"), c.result);
        EXPECT_EQ(c.target ? fileText(c.target) : "", c.target ? "STUBpkg" : "");
        EXPECT_TRUE(fs::is_empty("out"));
    }
    CurrentScratchFolder folder;
    folder.write("pkg.tgz", "TGZ");
    fs::path deep = folder.path();
    while ((deep / "kmtarsef.exe").string().size() <= MaxStubPathLength) deep /= std::string(100, 'd');
    folder.write(deep / "kmtarsef.exe", "FAR-");
    folder.write("stubs/kmtarsef.exe", "SEF-");
    TTgz32 tgz;
    {
        const ScopedVariable path("PATH", "/nonexistent:" + deep.string());
        EXPECT_EQ(makeSfx(tgz, {}, "pkg.tgz", "out"),
                  "tar/tgz 書庫からの自己解凍書庫の作成には kmtarsef.exe が必要です。");
    }
    const ScopedVariable path("PATH", "/nonexistent:" + (folder / "stubs").string());
    EXPECT_EQ(makeSfx(tgz, {}, "pkg.tgz", "out/"), "");
    EXPECT_EQ(fileText("out/pkg.EXE"), "SEF-TGZ");
}

// Listing goes by the archive's full path; content tests open with no window and the
// check mode and close whatever they opened.
TEST(DriversTest, ListingAndContentTestsOpenByFullPath)
{
    CurrentScratchFolder folder;
    const std::string archive = folder.write("a.arj", "Unarj Cab").string();
    TArj32 arj;
    const HARC handle = arj.OpenArchive(window(2), (folder / "sub/../a.arj").string(), 0);
    const RecordedCalls& unarj = calls("UNARJ32J.DLL", "Unarj");
    EXPECT_EQ(unarj.openArchive, archive);
    EXPECT_EQ(unarj.openWindow, window(2));
    INDIVIDUALINFO record{};
    EXPECT_EQ(arj.FindFirst(handle, record, "*.chP"), 0);
    EXPECT_EQ(unarj.wildcard, "*.chP");
    EXPECT_EQ(arj.CloseArchive(handle), 0);
    EXPECT_EQ(unarj.closedHandle, handle);
    EXPECT_EQ(arj.CheckArchive("a.arj", 0x800000, 2), 1);
    EXPECT_EQ(unarj.checkMode, 0x800002);

    EXPECT_TRUE(IsCabArchive((folder / "sub/../a.arj").string()));
    const RecordedCalls& cab = calls("CAB32.DLL", "Cab");
    EXPECT_EQ(cab.openArchive, archive);
    EXPECT_EQ(cab.openWindow, nullptr);
    EXPECT_EQ(cab.openMode, 0x800002u);
    const int closed = calls("UNRAR32.DLL", "Unrar").closeCount;
    EXPECT_FALSE(IsRarArchive(archive));
    EXPECT_EQ(calls("UNRAR32.DLL", "Unrar").closeCount, closed + 1);
}

}  // namespace
