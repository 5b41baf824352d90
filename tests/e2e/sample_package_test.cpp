// The bundled sample package: it loads and checks cleanly, uses the fifteen animes that have
// buttons, and shows every feature of the format (point copies, destination
// stretches, layers, loop frames, hexadecimal pattern numbers).
#include "chr/lint.h"
#include "chr/qpchr.h"
#include "display/offscreen_display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace {

// The definition check finds nothing: no cell outside the CG, no pattern undefined, no loop frame past the end.
TEST(SamplePackageTest, UsesEveryAnimeWithAButtonAndEachFeatureAndPassesTheCheck)
{
    const char* source = std::getenv("POMELUNE_SOURCE_DIR");
    const std::string path = (std::filesystem::path(source ? source : ".") / "samples" / "sample.chP").string();
    OffscreenDisplay display;
    Tqpchr chr{&display.dddd()};
    chr.load(path);
    for (const LintFinding& finding : lintDefinition(path).findings)
        ADD_FAILURE() << finding.line << ": " << finding.message;
    std::set<int32_t> used, stretched, layered, looped;
    for (int32_t n = 0; n < Tqpchr::AnimeCount; ++n) {
        if (chr.animeused[n]) used.insert(n);
        if (chr.patdstused[n]) stretched.insert(n);
        if (chr.layerused[n]) layered.insert(n);
        if (chr.loopframe[n] >= 0) looped.insert(n);
    }
    EXPECT_EQ(used, (std::set<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 15, 16, 17, 18}));
    EXPECT_TRUE(chr.datahex);
    EXPECT_TRUE(!stretched.empty() && stretched.size() < used.size()) << "destination stretches and point copies";
    EXPECT_FALSE(layered.empty());
    EXPECT_FALSE(looped.empty());
}

}  // namespace
