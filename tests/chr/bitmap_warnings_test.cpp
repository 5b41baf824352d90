// The definition check's warnings on the #CHARBMP line for bitmaps that paint
// programs write and the game reads otherwise, on the fixtures made by
// tools/make_bitmap_fixtures.sh.
#include "chr/lint.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(BitmapWarningsTest, EachBitmapTheGameReadsOtherwiseGetsTheWarningOfWhatItShows)
{
    const struct {
        const char* fixture;
        const char* warning;  // nullptr: none
    } cases[] = {
        {"plain8.bmp", nullptr},
        {"plain24.bmp", nullptr},
        {"info124-24bit.bmp", nullptr},  // no palette to misplace
        {"rgb555.bmp", nullptr},
        {"info108.bmp", "the CG is an 8-bit bitmap with an information header of 108 bytes: its palette is read from "
                        "the wrong place, so its colours come out wrong"},
        {"info124.bmp", "the CG is an 8-bit bitmap with an information header of 124 bytes: its palette is read from "
                        "the wrong place, so its colours come out wrong"},
        {"topdown.bmp", "the CG is stored top down, so it shows upside down"},
        {"rle8.bmp", "the CG is compressed (RLE8) but read as if it were not, so its pixels come out scrambled"},
        {"rgb565.bmp", "the CG's 16-bit pixels have 5-6-5 bit masks but are read as 5-5-5, so its colours shift"},
        {"palette4.bmp", "the CG's pixels use palette entries up to 7 but its palette holds 4, so the colours past it "
                         "come from the bytes after the palette"},
        {"short.bmp",
         "the CG ends inside its pixel rows (136 of 150 bytes): the missing rows repeat the last row read"},
    };
    const char* source = std::getenv("POMELUNE_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const ScratchFolder folder;
    const std::string definition = folder.write("chara.chP", "#CHARBMP cg.bmp\r\n").string();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        std::filesystem::copy_file(std::filesystem::path(source) / "tests/fixtures/bitmaps" / c.fixture,
                                   folder / "cg.bmp", std::filesystem::copy_options::overwrite_existing);
        const LintReport report = lintDefinition(definition);
        ASSERT_EQ(report.findings.size(), c.warning ? 1u : 0u);
        if (!c.warning) continue;
        EXPECT_EQ(report.findings[0].line, 1);
        EXPECT_EQ(report.findings[0].severity, LintFinding::Severity::Warning);
        EXPECT_EQ(report.findings[0].message, c.warning);
    }
}

}  // namespace
