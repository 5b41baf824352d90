// The bundled sample package: it loads cleanly, plays the fifteen animes that have
// buttons, and shows every feature of the format (point copies, destination
// stretches, layers, loop frames, one-shot animes, hexadecimal pattern numbers).
#include "chr/qpchr.h"
#include "display/offscreen_display.h"
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

namespace {

constexpr int32_t bmpBitCountOffset = 28;
constexpr uint32_t magenta = 0xFF00FF;

std::filesystem::path sampleFile(const char* name)
{
    const char* source = std::getenv("POMELUNE_SOURCE_DIR");
    return std::filesystem::path(source ? source : ".") / "samples" / name;
}

bool empty(const Rect& r) { return r.width() <= 0 || r.height() <= 0; }

class SamplePackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setMillisecondClock([this] { return now; });
        chr.load(sampleFile("sample.chP").string());
    }
    void TearDown() override { setMillisecondClock({}); }

    uint32_t now = 0;
    OffscreenDisplay display;
    Tqpchr chr{&display.dddd()};
};

TEST_F(SamplePackageTest, NamesItsCharacterInShiftJisAndKeysItsCgByTheCorner)
{
    EXPECT_EQ(chr.charname, "\x82\xDB\x82\xDF\x82\xE9\x82\xF1");  // ぽめるん
    EXPECT_TRUE(chr.datahex);
    EXPECT_EQ(chr.viewwidth, 121);
    EXPECT_EQ(chr.patrect[1], (Rect{0, 0, 121, 271}));

    std::ifstream bmp(sampleFile("sample.bmp"), std::ios::binary);
    bmp.seekg(bmpBitCountOffset);
    EXPECT_EQ(bmp.get(), 24);
    TDDDDSurface& cg = *chr.cgsurface;
    EXPECT_EQ(cg.ColorKey, cg.GetPixel(cg.Width - 1, cg.Height - 1));
    EXPECT_EQ(cg.ColorKey & 0xFFFFFFu, magenta);
}

TEST_F(SamplePackageTest, UsesEveryAnimeWithAButtonWithItsFeatures)
{
    struct Anime {
        int32_t number;
        bool stretched;  // placed by destination patterns, else point copies
        bool layered;
        int32_t loopFrame;  // -1: none
    };
    const Anime animes[] = {
        {1, true, true, -1},  {2, true, true, -1},  {3, true, true, -1},  {4, true, true, -1},  {5, false, false, -1},
        {6, true, true, -1},  {7, true, true, -1},  {8, true, true, -1},  {10, true, true, -1}, {11, true, true, -1},
        {12, true, true, -1}, {15, true, true, 6},  {16, true, true, 6},  {17, true, true, 10}, {18, true, true, -1},
    };
    std::set<int32_t> used;
    for (const Anime& a : animes) {
        SCOPED_TRACE(a.number);
        used.insert(a.number);
        EXPECT_EQ(chr.patdstused[a.number], a.stretched);
        EXPECT_EQ(chr.layerused[a.number], a.layered);
        EXPECT_EQ(chr.loopframe[a.number], a.loopFrame);
    }
    for (int32_t n = 0; n < Tqpchr::AnimeCount; ++n) EXPECT_EQ(chr.animeused[n], used.count(n) == 1) << n;
}

TEST_F(SamplePackageTest, EveryFrameDrawsCellsOfTheCgIntoTheView)
{
    const Rect cg{0, 0, chr.cgsurface->Width, chr.cgsurface->Height};
    const auto insideCg = [&](const Rect& r) { return r.left >= 0 && r.top >= 0 && r.right <= cg.right && r.bottom <= cg.bottom; };
    const auto meetsView = [&](const Rect& r) { return r.right > 0 && r.bottom > 0 && r.left < chr.viewwidth && r.top < Tqpchr::ViewHeight; };
    for (int32_t a = 0; a < Tqpchr::AnimeCount; ++a) {
        for (int32_t f = 1; chr.animeused[a] && Tqpchr::entry(chr.patsrc, a, f) != -1; ++f) {
            SCOPED_TRACE(testing::Message() << "anime " << a << " frame " << f);
            const Rect& cell = chr.patrect.at(chr.patsrc[a][f]);
            EXPECT_FALSE(empty(cell));
            EXPECT_TRUE(insideCg(cell));
            if (chr.patdstused[a]) {
                EXPECT_TRUE(meetsView(chr.patrect.at(chr.patdst[a][f])));
            }
            if (chr.layerused[a] && chr.laysrc[a][f] != 0) {
                EXPECT_TRUE(insideCg(chr.patrect.at(chr.laysrc[a][f])));
                EXPECT_TRUE(meetsView(chr.patrect.at(chr.laydst[a][f])));
            }
        }
    }
}

TEST_F(SamplePackageTest, OneShotAnimesReturnToTheBaseAnime)
{
    for (const int32_t oneShot : {4, 6, 7, 8, 10, 11, 12}) {
        SCOPED_TRACE(oneShot);
        chr.start(2);
        chr.start(oneShot);
        for (int32_t step = 0; step < Tqpchr::FrameCount && chr.anime == oneShot; ++step) {
            now += static_cast<uint32_t>(chr.framewait) + 1;
            chr.step();
        }
        EXPECT_EQ(chr.anime, 2);
        EXPECT_EQ(chr.frame, 1);
    }
}

}  // namespace
