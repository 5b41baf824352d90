#include "archive/arj32.h"
#include "archive/cab32.h"
#include "archive/lha32.h"
#include "archive/rar32.h"
#include "platform/file_system.h"
#include "support/archiver_fixture.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const char* const Unlha32 = "UNLHA32.DLL";
const char* const Unarj32j = "UNARJ32J.DLL";
const char* const Cab32 = "CAB32.DLL";
const char* const Unrar32 = "UNRAR32.DLL";

// The command line an extract of "a.lzh" with these options sends, with no folder.
std::string lhaLine(const TArchiverOptions& options)
{
    TLha32 lha;
    std::string output;
    lha.Extract(nullptr, "a.lzh", options, "", nullptr, output);
    return lha.CommandLine;
}

// In a scratch folder, with options naming the response file "list.txt" there.
class LhaDriversTest : public testing::Test {
protected:
    void SetUp() override { options.ResFileName = responseFile; }

    CurrentScratchFolder folder;
    const std::string responseFile = (folder.path() / "list.txt").string();
    const std::string atResponseFile = "\"@" + responseFile + "\"";
    const std::vector<std::string> files{"a.chP", "b.bmp"};
    TArchiverOptions options;
    std::string output;
};

TEST_F(LhaDriversTest, LhaTheApplicationsUnpackingByteForByte)
{
    TArchiverOptions unpacking;
    unpacking.a = 0;
    unpacking.m = unpacking.n = unpacking.x = unpacking.ga = 1;
    output.assign(8192, '\0');
    TLha32 lha;
    for (const std::string temp : {"/tmp/qptemp", "/tmp/qptemp/"}) {
        EXPECT_EQ(lha.Extract(window(0x10), "pkg/a.lzh", unpacking, temp, nullptr, output), 0);
        EXPECT_EQ(lha.CommandLine, "x -+ -a0 -m1 -n1 -x1 -ga1  \"pkg/a.lzh\" \"/tmp/qptemp/\" ");
    }
    EXPECT_EQ(lastCommand(Unlha32, "Unlha").commandLine, lha.CommandLine);
    EXPECT_EQ(lastCommand(Unlha32, "Unlha").window, window(0x10));
    EXPECT_EQ(lastCommand(Unlha32, "Unlha").size, 8192u);
    EXPECT_STREQ(output.c_str(), "Unlha: done");
}

TEST_F(LhaDriversTest, LhaEveryFieldInItsOrder)
{
    TArchiverOptions o;
    o.a = 0, o.c = 1, o.e = 2, o.f = 3, o.h = 4, o.i = 5, o.l = 6, o.m = 7, o.n = 8, o.o = 9, o.p = 10, o.r = 11;
    o.s = 12, o.t = 13, o.u = 14, o.w = "dir", o.x = 15, o.y = 16, o.z = 17, o.jc = 18, o.jd = 19, o.je = 20;
    o.jf = 21, o.jh = 22, o.ji = 23, o.jm = 24, o.jn = 25, o.jo = "o t", o.job = "b", o.jp = 26, o.jr = 27;
    o.jss = 28, o.jw = 29, o.jx = {"*.txt", "sub/*.ini"}, o.jyc = 30, o.jyd = 31, o.jyk = 32, o.jyn = 33;
    o.jyo = 34, o.jz = "z", o.ga = 35, o.gd = 36, o.ge = 37, o.gf = 38, o.gj = 39, o.gm = 40, o.gn = 41;
    o.go = 42, o.gp = 43, o.gr = "r", o.gs = 44, o.gu = 45, o.gw = 46, o.UserOptions = "-user";
    o.UserFileList = "*.bmp";
    TLha32 lha;
    lha.Extract(nullptr, "a.lzh", o, "out", &files, output);
    EXPECT_EQ(lha.CommandLine,
              "x -+ -a0 -c1 -e2 -f3 -h4 -i5 -l6 -m7 -n8 -o9 -p10 -r11 -s12 -t13 -u14 \"-wdir/\" -x15 -y16 -z17 -jc18 "
              "-jd19 -je20 -jf21 -jh22 -ji23 -jm24 -jn25 \"-joo t\" \"-jobb\" -jp26 -jr27 -jss28 -jw29 \"-jx*.txt\" "
              "\"-jxsub/*.ini\" -jyc30 -jyd31 -jyk32 -jyn33 -jyo34 \"-jzz\" -ga35 -gd36 -ge37 -gf38 -gj39 -gm40 -gn41 "
              "-go42 -gp43 \"-grr\" -gs44 -gu45 -gw46 -user \"a.lzh\" \"out/\" \"a.chP\" \"b.bmp\" *.bmp");
}

TEST_F(LhaDriversTest, LhaAnOwnerWindowSendsN1)
{
    TLha32 lha;
    EXPECT_TRUE(lha.SetOwnerWindow(window(0x77), nullptr));
    EXPECT_EQ(lha.OwnerWindow, window(0x77));
    for (const int8_t n : {-1, 0}) {
        options.n = n;
        lha.Extract(nullptr, "a.lzh", options, "", nullptr, output);
        EXPECT_EQ(lha.CommandLine, "x -+ -n1  \"a.lzh\" ") << int{n};
    }
    EXPECT_FALSE(lha.KillOwnerWindow(window(0x77)));  // the test library answers 0
    EXPECT_EQ(lha.OwnerWindow, nullptr);
    lha.Extract(nullptr, "a.lzh", options, "", nullptr, output);
    EXPECT_EQ(lha.CommandLine, "x -+ -n0  \"a.lzh\" ");
}

TEST_F(LhaDriversTest, LhaStringOptionsUnsetOrEmpty)
{
    EXPECT_EQ(lhaLine(options), "x -+  \"a.lzh\" ");
    options.w = "";
    EXPECT_EQ(lhaLine(options), "x -+  \"a.lzh\" ");
    for (const std::string w : {"dir", "dir/"}) {
        options.w = w;
        EXPECT_EQ(lhaLine(options), "x -+ \"-wdir/\"  \"a.lzh\" ");
    }
    options.w = UnsetString;
    options.jo = "";
    EXPECT_EQ(lhaLine(options), "x -+ \"-jo\"  \"a.lzh\" ");
}

TEST_F(LhaDriversTest, LhaCommandsTakeTheResponseFileFromTheOptions)
{
    TLha32 lha;
    lha.Extract(nullptr, "a.lzh", options, "base", &files, output);
    EXPECT_EQ(lha.CommandLine, "x -+  \"a.lzh\" \"base/\" " + atResponseFile + " ");
    EXPECT_EQ(folder.read(responseFile), "\"a.chP\"\r\n\"b.bmp\"\r\n");
    lha.Pack(nullptr, "a.lzh", options, "base", &files, output);
    EXPECT_EQ(lha.CommandLine, "u -+  \"a.lzh\" \"base/\" " + atResponseFile + " ");
    lha.Remove(nullptr, "a.lzh", options, "base", &files, output);
    EXPECT_EQ(lha.CommandLine, "d -+  \"a.lzh\" " + atResponseFile + " ");
    lha.Update(nullptr, "a.lzh", options, "base", &files, output);
    EXPECT_EQ(lha.CommandLine, "f -+  \"a.lzh\" \"base/\" \"a.chP\" \"b.bmp\" ");
    options.ResFileUsage = {};
    lha.Extract(nullptr, "a.lzh", options, "", &files, output);
    EXPECT_EQ(lha.CommandLine, "x -+  \"a.lzh\" \"a.chP\" \"b.bmp\" ");

    fs::remove(responseFile);
    options.ResFileUsage = {ruOnPack, ruOnUnpack, ruOnRemoveItem, ruOnUpdate};
    lha.MakeSFX(window(3), "a.lzh", options, "base", output);
    EXPECT_EQ(lha.CommandLine, "s -+  \"a.lzh\" \"base/\" ");
    EXPECT_EQ(lastCommand(Unlha32, "Unlha").window, window(3));
    EXPECT_FALSE(fs::exists(responseFile));
}

TEST_F(LhaDriversTest, ArjExtractsThroughUnarjWithNoWindowAndPacksThroughUnlha)
{
    TArj32 arj;
    EXPECT_TRUE(arj.SetOwnerWindow(window(9), nullptr));
    EXPECT_EQ(calls(Unarj32j, "Unarj").ownerWindow, window(9));
    arj.Extract(window(3), "a.arj", options, "out", &files, output);
    EXPECT_EQ(arj.CommandLine, "x -+ -n1  \"a.arj\" \"out/\" " + atResponseFile + " ");
    EXPECT_EQ(lastCommand(Unarj32j, "Unarj").commandLine, arj.CommandLine);
    EXPECT_EQ(lastCommand(Unarj32j, "Unarj").window, nullptr);

    EXPECT_FALSE(arj.KillOwnerWindow(window(9)));  // the test library answers 0
    EXPECT_EQ(arj.OwnerWindow, nullptr);
    options.ResFileUsage = {};
    arj.Extract(window(3), "a.arj", options, "", &files, output);
    EXPECT_EQ(arj.CommandLine, "x -+  \"a.arj\" \"a.chP\" \"b.bmp\" ");
    // Packing goes through UNLHA32.DLL.
    arj.Pack(window(4), "a.arj", options, "", nullptr, output);
    EXPECT_EQ(lastCommand(Unlha32, "Unlha").commandLine, "u -+  \"a.arj\" ");
    EXPECT_EQ(lastCommand(Unlha32, "Unlha").window, window(4));
}

TEST_F(LhaDriversTest, ArjListsThroughUnarjByFullPath)
{
    folder.write("a.arj", "Unarj");
    const std::string archive = (folder.path() / "a.arj").string();
    TArj32 arj;
    const HARC handle = arj.OpenArchive(window(2), (folder.path() / "sub/../a.arj").string(), 0);
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(calls(Unarj32j, "Unarj").openArchive, archive);
    EXPECT_EQ(calls(Unarj32j, "Unarj").openWindow, window(2));
    EXPECT_EQ(calls(Unarj32j, "Unarj").openMode, 0u);
    INDIVIDUALINFO record{};
    EXPECT_EQ(arj.FindFirst(handle, record, "*.*"), 0);
    EXPECT_STREQ(record.szFileName, "pomelune.chP");
    EXPECT_EQ(calls(Unarj32j, "Unarj").wildcard, "*.*");
    EXPECT_EQ(arj.FindNext(handle, record), 0);
    EXPECT_STREQ(record.szFileName, "cg/pomelune.bmp");
    EXPECT_EQ(arj.FindNext(handle, record), -1);
    EXPECT_EQ(arj.CloseArchive(handle), 0);
    EXPECT_EQ(calls(Unarj32j, "Unarj").closedHandle, handle);
    EXPECT_EQ(arj.CheckArchive("a.arj", 0x800000, 2), 1);
    EXPECT_EQ(calls(Unarj32j, "Unarj").checkedArchive, "a.arj");
    EXPECT_EQ(calls(Unarj32j, "Unarj").checkMode, 0x800002);
}

TEST_F(LhaDriversTest, CabSwitchesAndTheArchivesFullPath)
{
    const std::string archive = "\"" + fullPath("rel/a.cab") + "\"";
    TCab32 cab;
    options.c = 1, options.n = 1, options.r = 1, options.x = 0, options.ji = 1;
    cab.Extract(window(5), "rel/a.cab", options, "out", nullptr, output);
    EXPECT_EQ(cab.CommandLine, "-x -o -i -r -j -q  " + archive + " \"out/\" ");
    EXPECT_EQ(lastCommand(Cab32, "Cab").window, window(5));

    options.c = 0, options.n = 0, options.r = 0, options.x = 1, options.ji = 0;
    cab.Extract(nullptr, "rel/a.cab", options, "", nullptr, output);
    EXPECT_EQ(cab.CommandLine, "-x  " + archive + " ");
    cab.SetOwnerWindow(window(6), nullptr);
    cab.Extract(nullptr, "rel/a.cab", options, "", nullptr, output);
    EXPECT_EQ(cab.CommandLine, "-x -i  " + archive + " ");
}

TEST_F(LhaDriversTest, CabPacksAndMakesSelfExtractingArchives)
{
    TCab32 cab;
    cab.Pack(nullptr, "/a.cab", options, "base", &files, output);
    EXPECT_EQ(cab.CommandLine, "-a  \"/a.cab\" \"base/\" " + atResponseFile + " ");
    cab.MakeSFX(nullptr, "/a.cab", options, "", output);
    EXPECT_EQ(cab.CommandLine, "-f  \"/a.cab\" ");
    EXPECT_EQ(thrownMessage<EArchiver>([&] { cab.Remove(nullptr, "/a.cab", options, "", &files, output); }),
              "この形式の書庫ではファイルの削除をサポートしておりません。");
}

TEST_F(LhaDriversTest, RarCommandWordAndSwitches)
{
    TRar32 rar;
    const auto line = [&] {
        rar.Extract(nullptr, "a.rar", options, "", nullptr, output);
        return rar.CommandLine;
    };
    EXPECT_EQ(line(), "-x -u  \"a.rar\" ");
    options.x = 0, options.c = 0;
    EXPECT_EQ(line(), "-e -u  \"a.rar\" ");
    options.x = 1, options.c = 1, options.m = 1, options.p = 1;
    EXPECT_EQ(line(), "-x -y -s  \"a.rar\" ");
    EXPECT_EQ(lastCommand(Unrar32, "Unrar").commandLine, rar.CommandLine);
    EXPECT_EQ(thrownMessage<EArchiver>([&] { rar.Pack(nullptr, "a.rar", options, "", nullptr, output); }),
              "この形式では書庫ファイルの作成をサポートしておりません。");
}

TEST_F(LhaDriversTest, ContentTestsOpenByFullPathAndAlwaysClose)
{
    folder.write("c.bin", "Cab");
    const std::string cabFile = (folder.path() / "c.bin").string();
    EXPECT_TRUE(IsCabArchive((folder.path() / "sub/../c.bin").string()));
    EXPECT_EQ(calls(Cab32, "Cab").openArchive, cabFile);
    EXPECT_EQ(calls(Cab32, "Cab").openWindow, nullptr);
    EXPECT_EQ(calls(Cab32, "Cab").openMode, 0x800002u);
    const int closed = calls(Unarj32j, "Unarj").closeCount;
    EXPECT_FALSE(IsArjArchive(cabFile));
    EXPECT_EQ(calls(Unarj32j, "Unarj").closeCount, closed + 1);
    EXPECT_EQ(calls(Unarj32j, "Unarj").closedHandle, 0u);
    EXPECT_TRUE(IsRarArchive(folder.write("r.bin", "Unrar")));
    EXPECT_FALSE(IsRarArchive(cabFile));
}

}  // namespace
