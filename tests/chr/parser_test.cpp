#include "platform/exception.h"
#include "support/engine_fixture.h"
#include "support/thrown.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::string_literals;
using ParserTest = EngineTest;

std::vector<int32_t> frames(const Tqpchr::FrameTable& table, int anime, int count)
{
    return std::vector<int32_t>(table[anime].begin() + 1, table[anime].begin() + 1 + count);
}

TEST_F(ParserTest, PatternListsWithAndWithoutDestinations)
{
    loadDefinition("#PATERN 01 010203 0A0A0B\n"
                   "#Patern 02 0405 / comment\n"
                   "#patern 03 0607  0809\n"
                   "#PATERN 04 0102 0A\n");
    EXPECT_EQ(frames(chr->patsrc, 1, 4), (std::vector<int32_t>{1, 2, 3, -1}));
    EXPECT_EQ(frames(chr->patdst, 1, 4), (std::vector<int32_t>{10, 10, 11, -1}));
    EXPECT_TRUE(chr->patdstused[1]);
    EXPECT_EQ(chr->patsrctext[1], "010203");
    EXPECT_EQ(chr->patdsttext[1], "0A0A0B");
    EXPECT_EQ(chr->patdst[2][1], -1);  // "/" starts a comment
    EXPECT_FALSE(chr->patdstused[2]);
    EXPECT_EQ(chr->patdst[3][1], -1);  // two blanks: the remainder starts with a blank
    EXPECT_EQ(chr->patdst[4][1], 10);  // one destination entry is stored but not used
    EXPECT_FALSE(chr->patdstused[4]);
    for (int a : {1, 2, 3, 4}) EXPECT_TRUE(chr->animeused[a]);
    EXPECT_FALSE(chr->animeused[5]);
    EXPECT_FALSE(chr->layerused[1]);
}

TEST_F(ParserTest, OddListsAndRepeatedLinesAppend)
{
    loadDefinition("#PATERN 05 01020\n"
                   "#PATERN 05 0A0B0C0D\n"
                   "#PATERN 05 ff\n"
                   "#LAYER 06 0102 0304\n");
    EXPECT_EQ(frames(chr->patsrc, 5, 5), (std::vector<int32_t>{255, 11, 12, 13, -1}));
    EXPECT_EQ(chr->patsrctext[5], "01020A0B0C0Dff");
    EXPECT_EQ(frames(chr->laysrc, 6, 2), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(frames(chr->laydst, 6, 3), (std::vector<int32_t>{3, 4, -1}));
    EXPECT_EQ(chr->laydsttext[6], "0304");
    EXPECT_TRUE(chr->layerused[6]);
    EXPECT_TRUE(chr->animeused[6]);
}

TEST_F(ParserTest, KeywordValuesAtTheirPositions)
{
    writeCg("ace.bmp", 4, 2, [](int, int) { return 0x102030u; });
    loadDefinition("#CHARNAME Red Cat\n"
                   "#ARTIST  Someone\n"
                   "#ANIME 80\n"
                   "#SIZE 167 wide\n"
                   "#CHARBMPface.bmp\n"
                   "#CHARFACE face.bmp\n"
                   "#SELECTCG sel.bmp\n"
                   "#LOOP 06 3\n"
                   "#LOOP 7 2\n");
    EXPECT_EQ(chr->charname, "Red");
    EXPECT_EQ(chr->artist, "Someone");  // one character skipped, then trimmed
    EXPECT_EQ(chr->framewait, 80);
    EXPECT_EQ(chr->viewwidth, 167);
    EXPECT_EQ(chr->cgfile, (folder / "ace.bmp").string());
    EXPECT_EQ(chr->facefile, (folder / "face.bmp").string());
    EXPECT_EQ(chr->selectcgfile, (folder / "sel.bmp").string());
    EXPECT_EQ(std::pair(chr->loopframe[6], chr->loopframe[7]), std::pair(3, 2));
    EXPECT_EQ(chr->chpfile, (folder / "chara.chP").string());
}

TEST_F(ParserTest, PatternDefinitionsInDecimalAndHexadecimal)
{
    loadDefinition("#1 0 0 121 271\n"
                   "#26 10 20 30 40 extra words\n"
                   "#00 1 1 1 1\n"
                   "#DATA   16\n"
                   "#2 5 5 5 5\n"
                   "#data16\n"
                   "#1A 0 128 40 64\n"
                   "#  comment\n"
                   "#FF 1 2 3 4\n");
    EXPECT_EQ(chr->patrect[1], (Rect{0, 0, 121, 271}));
    EXPECT_EQ(chr->patrect[26], (Rect{0, 128, 40, 192}));  // 26 first in decimal, then again in hex
    EXPECT_EQ(chr->patrect[0], Rect{});
    EXPECT_EQ(chr->patrect[2], (Rect{5, 5, 10, 10}));  // "#DATA   16" leaves decimal numbers
    EXPECT_EQ(chr->patrect[255], (Rect{1, 2, 4, 6}));
    EXPECT_TRUE(chr->datahex);
}

TEST_F(ParserTest, ErrorsStopAtTheFirstFailingLine)
{
    const auto path = writeDefinition("#CHARNAME Before\n#PATERN 01 0102\n#LOOPX 01 3\n#PATERN 02 0304\n");
    EXPECT_EQ(thrownMessage<Exception>([&] { chr->load(path); }), "'X' は数値ではありません");
    EXPECT_EQ(chr->charname, "Before");
    EXPECT_TRUE(chr->animeused[1]);
    EXPECT_FALSE(chr->animeused[2]);

    EXPECT_EQ(thrownMessage<Exception>([&] { loadDefinition("#PATERN 01 010G02\n"); }), "'$0G' は数値ではありません");
    EXPECT_EQ(std::pair(chr->patsrc[1][1], chr->patsrc[1][2]), std::pair(1, -1));  // the list was decoded up to the bad pair
    const std::pair<std::string, std::string> cases[] = {
        {"#DATA16\n#-- comment\n", "'$--' は数値ではありません"},
        {"#SIZE\n", "'' は数値ではありません"},
        {"#ANIME 4294967296\n", "'4294967296' は数値ではありません"},
        {"#1 0 0 12\n", "'' は数値ではありません"},
        {"#SIZE \x81\x39\n", "'\xEF\xBF\xBD" "9' は数値ではありません"},  // no Shift-JIS character: shown as U+FFFD
    };
    for (const auto& [text, message] : cases) {
        const std::string& lines = text;  // a lambda cannot capture a structured binding
        EXPECT_EQ(thrownMessage<Exception>([&] { loadDefinition(lines); }), message) << text;
    }
    EXPECT_EQ(thrownMessage<Exception>([&] { chr->load((folder / "none.chP").string()); }), "ファイル " + (folder / "none.chP").string() + " は開けません");
}

TEST_F(ParserTest, AnimeNumbersOutsideTheTablesAreIgnored)
{
    loadDefinition("#PATERN 31 0102\n#LAYER -1 0102 0304\n#LOOP 99 3\n#PATERN 30 0708\n#-5 1 1 1 1\n#DATA16\n#00 1 1 1 1\n");
    for (const Rect& r : chr->patrect) EXPECT_EQ(r, Rect{});
    EXPECT_EQ(chr->patsrc[30][1], 7);
    for (int a = 0; a < 30; ++a) EXPECT_FALSE(chr->animeused[a]) << a;
}

TEST_F(ParserTest, LineBreaksLongLinesAndOddBytes)
{
    const std::string longList(1200, '1');  // only 1024 characters of the rest are read
    loadDefinition("#PATERN 01 " + longList + "\r#PATERN 02 03\r\r\n#PATERN 03 04");
    EXPECT_EQ(chr->patsrc[1][510], 0x11);  // " 01 " and 1020 digits: 510 pairs
    EXPECT_EQ(chr->patsrc[1][511], -1);
    EXPECT_EQ(std::pair(chr->patsrc[2][1], chr->patsrc[3][1]), std::pair(3, 4));  // the last line has no break
}

TEST_F(ParserTest, NulBytesAndShiftJisNamesAreKept)
{
    const std::string name = "\x90\xd4\x81\x40\x94\x4c";  // "赤　猫" in Shift-JIS, full-width space inside
    loadDefinition("#CHARNAME "s + name + " rest\n#ARTIST x\0y\n"s, "nul.chP");
    EXPECT_EQ(chr->charname, name);
    EXPECT_EQ(chr->artist, std::string("x\0y", 3));
}

TEST_F(ParserTest, ResetKeepsNameFilesAndSurfaceButClearsTables)
{
    writeCg("cg.bmp", 2, 2, [](int, int) { return 0x010101u; });
    loadDefinition("#CHARNAME Old\n#ARTIST Art\n#CHARBMP cg.bmp\n#PATERN 01 01\n#ANIME 50\n");
    TDDDDSurface* surface = chr->cgsurface.get();
    chr->loopshots = chr->loopcheck = true;
    chr->frame = 7;
    loadDefinition("#PATERN 02 02\n", "second.chP");
    EXPECT_EQ(std::tuple(chr->charname, chr->artist, chr->cgsurface.get()), std::tuple("Old"s, "Art"s, surface));
    EXPECT_EQ(std::tuple(chr->patsrc[1][1], chr->framewait, chr->anime, chr->frame), std::tuple(-1, 100, 1, 7));
    EXPECT_FALSE(chr->loopshots || chr->loopcheck || chr->datahex);
}

TEST_F(ParserTest, TheCgIsKeyedByItsBottomRightPixel)
{
    writeCg("cg.bmp", 3, 2, [](int x, int y) { return x == 2 && y == 1 ? 0x00FF00u : 0x000080u; });
    loadDefinition("#CHARBMP cg.bmp\n");
    ASSERT_EQ(chr->cgsurface->Width, 3);
    EXPECT_EQ(chr->cgsurface->ColorKey, 0x00FF00u);
    EXPECT_EQ(chr->cgsurface->GetPixel(0, 0), 0x000080u);
    EXPECT_EQ(dddd.SurfaceList.size(), 1u);  // the placeholder left the display's list
    EXPECT_NE(chr->cgage, -1);
}

TEST_F(ParserTest, PackagePathsFromWindowsAreFound)
{
    std::filesystem::create_directories(folder / "Sub");
    writeCg("Sub/Chara CG.BMP", 2, 2, [](int, int) { return 0x445566u; });
    writeCg("\xe7\x94\xbb\xe5\x83\x8f.bmp", 1, 1, [](int, int) { return 0x778899u; });  // "画像" stored as UTF-8
    EXPECT_THROW(loadDefinition("#CHARBMP sub\\chara cg.bmp\n"), EFileOpenError);  // names end at a blank
    std::filesystem::rename(folder / "Sub/Chara CG.BMP", folder / "Sub/CharaCG.BMP");
    loadDefinition("#CHARBMP sub\\characg.bmp\n");
    EXPECT_EQ(chr->cgfile, (folder / "Sub/CharaCG.BMP").string());
    EXPECT_EQ(chr->cgsurface->GetPixel(0, 0), 0x445566u);
    loadDefinition("#CHARBMP \x89\xe6\x91\x9c.bmp\n");  // "画像" in Shift-JIS
    EXPECT_EQ(chr->cgsurface->GetPixel(0, 0), 0x778899u);
    const std::string soName = "\x83\x5c";  // "ソ": its second byte is "\", which stays
    writeCg(soName + ".bmp", 1, 1, [](int, int) { return 0x010203u; });
    loadDefinition("#CHARBMP " + soName + ".bmp\n");
    EXPECT_EQ(chr->cgsurface->GetPixel(0, 0), 0x010203u);
}

TEST_F(ParserTest, BadBitmapsKeepThePreviousCg)
{
    writeCg("good.bmp", 2, 2, [](int, int) { return 0x111111u; });
    loadDefinition("#CHARBMP good.bmp\n");
    TDDDDSurface* good = chr->cgsurface.get();
    writeFile("text.bmp", {'h', 'e', 'l', 'l', 'o'});
    auto fourBit = makeBmp({2, 2, 8, {0, 0xFFFFFF}, {0, 1, 1, 0}});
    fourBit[28] = 4;
    writeFile("four.bmp", fourBit);
    auto huge = makeBmp({1, 1, 24, {}, {0}});
    huge[19] = huge[20] = huge[23] = huge[24] = 0x7F;  // 2 billion pixels a side
    writeFile("huge.bmp", huge);

    EXPECT_EQ(thrownMessage<Exception>([&] { loadDefinition("#CHARBMP missing.bmp\n"); }), "ファイル " + (folder / "missing.bmp").string() + " は開けません");
    EXPECT_EQ(chr->cgage, -1);
    EXPECT_EQ(chr->cgfile, (folder / "missing.bmp").string());
    EXPECT_EQ(thrownMessage<Exception>([&] { loadDefinition("#CHARBMP text.bmp\n"); }), "ビットマップイメージが不正です");
    EXPECT_THROW(loadDefinition("#CHARBMP four.bmp\n"), EInvalidGraphic);
    EXPECT_THROW(loadDefinition("#CHARBMP huge.bmp\n"), EInvalidGraphic);
    EXPECT_EQ(chr->cgsurface.get(), good);
}

TEST_F(ParserTest, NoRegularFileIsReadAndTheSystemsReasonIsKept)
{
    writeCg("cg.bmp", 2, 2, [](int, int) { return 0x111111u; });
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    std::filesystem::create_directories(folder / "folder.bmp");
    const std::pair<std::string, std::string> cases[] = {
        {writeDefinition("#CHARBMP fifo\n", "fifo.chP"), "Not a regular file"},  // no writer: a blocking open would wait
        {writeDefinition("#CHARBMP folder.bmp\n", "folder.chP"), "Is a directory"},
    };
    alarm(10);  // a regression ends the test program instead of hanging it
    for (const auto& [path, reason] : cases) {
        try {
            chr->load(path);
            ADD_FAILURE() << path;
        } catch (const EFileOpenError& error) {
            EXPECT_EQ(error.reason(), reason) << path;
            EXPECT_TRUE(error.message().ends_with(" は開けません")) << path;
        }
    }
    alarm(0);
}

TEST_F(ParserTest, ADefinitionNamedWithoutAFolderFindsItsFilesInTheCurrentFolder)
{
    writeCg("CG.bmp", 3, 2, [](int, int) { return 0x123456u; });
    writeDefinition("#CHARBMP cg.bmp\n#CHARFACE face.bmp\n");
    const std::filesystem::path oldFolder = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    EXPECT_NO_THROW(chr->load("chara.chP"));
    std::filesystem::current_path(oldFolder);
    EXPECT_EQ(chr->cgfile, "./CG.bmp");
    EXPECT_EQ(chr->facefile, "./face.bmp");
    EXPECT_EQ(chr->cgsurface->Width, 3);
}

}  // namespace
