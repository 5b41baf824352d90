// The bundled sample package: it loads cleanly, plays the fifteen animes that have
// buttons, and shows every feature of the format (point copies, destination
// stretches, layers, loop frames, one-shot animes, hexadecimal pattern numbers).
#include "chr/qpchr.h"
#include "display/offscreen_display.h"
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace {

class SamplePackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setMillisecondClock([this] { return now; });
        const char* source = std::getenv("POMELUNE_SOURCE_DIR");
        chr.load((std::filesystem::path(source ? source : ".") / "samples" / "sample.chP").string());
    }
    void TearDown() override { setMillisecondClock({}); }

    uint32_t now = 0;
    OffscreenDisplay display;
    Tqpchr chr{&display.dddd()};
};

TEST_F(SamplePackageTest, UsesEveryAnimeWithAButtonAndEachFeature)
{
    const std::set<int32_t> withButtons{1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 15, 16, 17, 18};
    std::set<int32_t> used, stretched, layered, looped;
    for (int32_t n = 0; n < Tqpchr::AnimeCount; ++n) {
        if (chr.animeused[n]) used.insert(n);
        if (chr.patdstused[n]) stretched.insert(n);
        if (chr.layerused[n]) layered.insert(n);
        if (chr.loopframe[n] >= 0) looped.insert(n);
    }
    EXPECT_EQ(used, withButtons);
    EXPECT_TRUE(chr.datahex);
    EXPECT_TRUE(!stretched.empty() && stretched.size() < used.size()) << "destination stretches and point copies";
    EXPECT_FALSE(layered.empty());
    EXPECT_FALSE(looped.empty());
}

TEST_F(SamplePackageTest, EveryFrameDrawsCellsOfTheCgIntoTheView)
{
    const Rect cg{0, 0, chr.cgsurface->Width, chr.cgsurface->Height};
    const auto insideCg = [&](const Rect& r) {
        return r.left >= 0 && r.top >= 0 && r.right <= cg.right && r.bottom <= cg.bottom;
    };
    const auto meetsView = [&](const Rect& r) {
        return r.right > 0 && r.bottom > 0 && r.left < chr.viewwidth && r.top < Tqpchr::ViewHeight;
    };
    for (int32_t a = 0; a < Tqpchr::AnimeCount; ++a) {
        for (int32_t f = 1; chr.animeused[a] && Tqpchr::entry(chr.patsrc, a, f) != -1; ++f) {
            SCOPED_TRACE(testing::Message() << "anime " << a << " frame " << f);
            const Rect& cell = chr.patrect.at(chr.patsrc[a][f]);
            EXPECT_TRUE(cell.width() > 0 && cell.height() > 0);
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
