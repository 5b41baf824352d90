// The definition load: what each line puts in the engine, the CG and its paths; its
// errors are checked beside the definition check's in definition_format_test.
#include "platform/exception.h"
#include "support/engine_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::string_literals;
using ParserTest = EngineTest;

std::vector<int32_t> frames(const Tqpchr::FrameTable& table, int anime, int count)
{
    return std::vector<int32_t>(table[anime].begin() + 1, table[anime].begin() + 1 + count);
}

TEST_F(ParserTest, AnimeLists)
{
    loadDefinition("#PATERN 01 010203 0A0A0B\n#Patern 02 0405 / comment\n#patern 03 0607  0809\n#PATERN 04 0102 0A\n"
                   "#PATERN 05 01020\n#PATERN 05 0A0Bff\n#LAYER 06 0102 \x01"
                   "0304\n#PATERN 31 0102\n#LAYER -1 0102 0304\n");
    EXPECT_EQ(frames(chr->patsrc, 1, 4), (std::vector<int32_t>{1, 2, 3, -1}));
    EXPECT_EQ(frames(chr->patdst, 1, 4), (std::vector<int32_t>{10, 10, 11, -1}));
    EXPECT_EQ(chr->patdsttext[1], "0A0A0B");
    EXPECT_EQ(chr->patdst[2][1], -1);  // "/" starts a comment
    EXPECT_EQ(chr->patdst[3][1], -1);  // two blanks: the remainder starts with a blank
    EXPECT_EQ(chr->patdst[4][1], 10);  // one destination entry is stored but not used
    EXPECT_EQ(std::vector<bool>(chr->patdstused.begin() + 1, chr->patdstused.begin() + 5),
              (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(frames(chr->patsrc, 5, 5),
              (std::vector<int32_t>{10, 11, 255, -1, -1}));  // a repeated line writes from frame 1 again
    EXPECT_EQ(chr->patsrctext[5], "01020A0Bff");
    EXPECT_EQ(frames(chr->laydst, 6, 3), (std::vector<int32_t>{3, 4, -1}));  // a layer's destination list is trimmed
    EXPECT_TRUE(chr->layerused[6] && chr->animeused[6] && !chr->layerused[1]);
    for (int a : {0, 7, 30}) EXPECT_FALSE(chr->animeused[a]) << a;  // numbers outside the tables are ignored
}

TEST_F(ParserTest, KeywordValuesAndPatternCells)
{
    writeCg("ace.bmp", 4, 2, [](int, int) { return 0x102030u; });
    loadDefinition("#CHARNAME 赤\x81\x40猫 Cat\n#ARTIST  Some\0one\n#ANIME 80\n#SIZE 167 wide\n#CHARBMPface.bmp\n"
                   "#CHARFACE face.bmp\n#SELECTCG sel.bmp\n#LOOP 06 3\n#LOOP 99 3\n#1 0 0 121 271\n"
                   "#26 10 20 30 40 extra words\n#00 1 1 1 1\n#DATA   16\n#2 5 5 5 5\n#data16\n#1A 0 128 40 64\n"
                   "#  comment\n#FF 1 2 3 4\n"s);
    EXPECT_EQ(chr->charname, "赤\x81\x40猫");  // a full-width space is no separator
    EXPECT_EQ(chr->artist, "Some\0one"s);  // one character skipped, then trimmed; a NUL is kept
    EXPECT_EQ(chr->framewait, 80);
    EXPECT_EQ(chr->viewwidth, 167);
    EXPECT_EQ(chr->cgfile, (folder / "ace.bmp").string());
    EXPECT_EQ(chr->facefile, (folder / "face.bmp").string());
    EXPECT_EQ(chr->selectcgfile, (folder / "sel.bmp").string());
    EXPECT_EQ(chr->loopframe[6], 3);
    // 26 is defined first in decimal, then again in hex; "#DATA   16" leaves decimal numbers.
    for (const auto& [number, rect] : {std::pair<int, Rect>{1, {0, 0, 121, 271}},
                                       {26, {0, 128, 40, 192}},
                                       {0, {}},
                                       {2, {5, 5, 10, 10}},
                                       {255, {1, 2, 4, 6}}})
        EXPECT_EQ(chr->patrect[number], rect) << number;
}

TEST_F(ParserTest, LinesBreaksLengthsAndTheStateAfterAnError)
{
    const std::string longList(1200, '1');  // only 1024 characters of the rest are read
    loadDefinition("#PATERN 01 " + longList + "\r#PATERN 02 03\r\r\n#PATERN 03 04");
    EXPECT_EQ(chr->patsrc[1][510], 0x11);  // " 01 " and 1020 digits
    EXPECT_EQ(chr->patsrc[1][511], -1);
    EXPECT_EQ(chr->patsrc[2][1], 3);
    EXPECT_EQ(chr->patsrc[3][1], 4);  // the last line has no break
    EXPECT_THROW(loadDefinition("#CHARNAME Before\n#PATERN 01 010G02\n#PATERN 02 0304\n"), Exception);
    EXPECT_EQ(chr->charname, "Before");
    EXPECT_EQ(frames(chr->patsrc, 1, 2), (std::vector<int32_t>{1, -1}));  // decoded up to the bad pair
    EXPECT_FALSE(chr->animeused[2]);
}

TEST_F(ParserTest, ResetKeepsNameFilesAndSurfaceButClearsTables)
{
    writeCg("cg.bmp", 3, 2, [](int x, int y) { return x == 2 && y == 1 ? 0x00FF00u : 0x000080u; });
    loadDefinition("#CHARNAME Old\n#CHARBMP cg.bmp\n#PATERN 01 01\n#ANIME 50\n");
    EXPECT_EQ(chr->cgsurface->ColorKey, 0x00FF00u);  // keyed by the bottom-right pixel
    EXPECT_EQ(chr->cgsurface->GetPixel(0, 0), 0x000080u);
    EXPECT_EQ(dddd.SurfaceList.size(), 1u);  // the placeholder left the display's list
    TDDDDSurface* surface = chr->cgsurface.get();
    chr->loopshots = chr->loopcheck = true;
    chr->frame = 7;
    loadDefinition("#PATERN 02 02\n", "second.chP");
    EXPECT_EQ(chr->charname, "Old");
    EXPECT_EQ(chr->cgsurface.get(), surface);
    EXPECT_EQ(chr->patsrc[1][1], -1);
    EXPECT_EQ(chr->framewait, 100);
    EXPECT_EQ(chr->frame, 7);
    EXPECT_FALSE(chr->loopshots || chr->loopcheck || chr->datahex);
}

TEST_F(ParserTest, PackagePathsFromWindowsAreFound)
{
    std::filesystem::create_directories(folder / "Sub");
    // "画像" stored as UTF-8, written in Shift-JIS; "ソ", whose second byte "\" stays.
    // clang-format off
    const struct { const char *stored, *written; uint32_t pixel; } cases[] = {
        {"Sub/CharaCG.BMP", "sub\\characg.bmp", 0x445566u}, {"画像.bmp", "\x89\xe6\x91\x9c.bmp", 0x778899u}, {"\x83\x5c.bmp", "\x83\x5c.bmp", 0x010203u},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        writeCg(c.stored, 1, 1, [&](int, int) { return c.pixel; });
        loadDefinition("#CHARBMP "s + c.written + "\n");
        EXPECT_EQ(chr->cgfile, (folder / c.stored).string());
        EXPECT_EQ(chr->cgsurface->GetPixel(0, 0), c.pixel);
    }
}

TEST_F(ParserTest, BadBitmapsKeepThePreviousCgAndNoIrregularFileIsRead)
{
    writeCg("good.bmp", 2, 2, [](int, int) { return 0x111111u; });
    loadDefinition("#CHARBMP good.bmp\n");
    TDDDDSurface* good = chr->cgsurface.get();
    auto huge = makeBmp({1, 1, 24, {}, {0}});
    setBmpWidth(huge, 0x7F7F01);  // 8 million pixels a side
    setBmpHeight(huge, 0x7F7F01);
    scratch.write("huge.bmp", huge);
    EXPECT_THROW(loadDefinition("#CHARBMP huge.bmp\n"), EInvalidGraphic);
    EXPECT_THROW(loadDefinition("#CHARBMP missing.bmp\n"), EFileOpenError);
    EXPECT_EQ(chr->cgage, -1);
    EXPECT_EQ(chr->cgsurface.get(), good);
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    std::filesystem::create_directories(folder / "folder.bmp");
    alarm(10);  // a blocking open of a FIFO without a writer would wait: a regression ends the test program
    for (const auto& [cg, reason] : {std::pair("fifo", "Not a regular file"), {"folder.bmp", "Is a directory"}}) {
        std::string why;
        try {
            loadDefinition("#CHARBMP "s + cg + "\n");
        } catch (const EFileOpenError& error) {
            why = error.reason();
        }
        EXPECT_EQ(why, reason) << cg;
    }
    alarm(0);
}

}  // namespace
