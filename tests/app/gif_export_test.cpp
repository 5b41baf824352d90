// The GIF read back with giflib beside the frames played: delays, loop extension, palette, errors.
#include "app/anime_export.h"
#include "app/colour_palette.h"
#include "app/gif_export.h"
#include "platform/exception.h"
#include "support/gif_reader.h"
#include "support/package_folder.h"
#include "support/thrown.h"

namespace {

using namespace sample;

class GifExportTest : public PackageTest {
protected:
    // Loads the definition and exports the anime as anime.gif; the frames played for it.
    AnimeClip exportGif(const std::vector<std::string>& animeLines, int32_t anime, int32_t scale = 1,
                        bool loopshots = false)
    {
        Tqpchr chr(&display.dddd());
        chr.load(writeSampleDefinition(animeLines));
        chr.loopshots = loopshots;
        exportAnime(chr, display, {anime, gif, scale, {}});
        chr.load(writeSampleDefinition(animeLines));
        return playClip(chr, display, anime);
    }

    const std::filesystem::path gif = folder / "anime.gif";
    OffscreenDisplay display;
};

TEST_F(GifExportTest, FramesMatchThePlayedFramesScaled)
{
    constexpr int scale = 3;
    const AnimeClip clip =
        exportGif({"#ANIME 120", "#PATERN 01 0203040302", "#LAYER 01 0000000303 0000000202"}, 1, scale);
    const GifContents contents = readGif(gif);
    EXPECT_EQ(contents.width, viewWidth * scale);
    EXPECT_EQ(contents.height, viewHeight * scale);
    ASSERT_EQ(contents.frames.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        std::vector<uint32_t> scaled;  // nearest neighbour
        for (int y = 0; y < viewHeight * scale; ++y)
            for (int x = 0; x < viewWidth * scale; ++x)
                scaled.push_back(clip.frames[i].pixel(x / scale, y / scale) & 0xFFFFFFu);
        EXPECT_EQ(contents.frames[i], scaled) << i;
    }
    EXPECT_EQ(contents.delays, (std::vector<int>{12, 12, 12, 12, 12}));
}

TEST_F(GifExportTest, LoopsUnlessTheAnimeIsAOneShotThatReturns)
{
    const struct {
        int32_t anime;
        bool loopshots, loops;
        uint32_t cell;
    } cases[] = {{1, false, true, red}, {4, false, false, yellow}, {4, true, true, yellow}, {30, false, false, red}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "anime " << c.anime << (c.loopshots ? " looping" : ""));
        exportGif({"#PATERN 01 0203", "#PATERN 04 0402", "#PATERN 30 02"}, c.anime, 1, c.loopshots);
        const GifContents contents = readGif(gif);
        EXPECT_EQ(contents.loops, c.loops);
        EXPECT_EQ(contents.frames.front(), view(c.cell));
    }
}

TEST(GifDelays, RoundToCentisecondsCarryingTheRemainder)
{
    // 6 x 33 ms make 20 cs; 65535 cs is the longest a GIF can hold.
    const struct {
        int32_t frameTime;
        size_t count;
        std::vector<uint16_t> delays;
    } cases[] = {{100, 3, {10, 10, 10}},
                 {33, 6, {3, 4, 3, 3, 4, 3}},
                 {5, 4, {1, 0, 1, 0}},
                 {0, 2, {0, 0}},
                 {2147483647, 2, {65535, 65535}}};
    for (const auto& c : cases) EXPECT_EQ(gifDelays(c.frameTime, c.count), c.delays) << c.frameTime;
}

TEST_F(GifExportTest, ExactUpTo256ColoursElseNearTheColours)
{
    QImage steps(16, 16, QImage::Format_RGB32);  // 256 grey steps: kept exactly
    for (int i = 0; i < 256; ++i) steps.setPixel(i % 16, i / 16, qRgb(i, i, i));
    const ColourPalette exact({steps});
    EXPECT_TRUE(exact.exact());
    ASSERT_EQ(exact.colours().size(), 256u);
    for (uint32_t i = 0; i < 256; ++i) EXPECT_EQ(exact.colours()[exact.indexOf(i * 0x010101u)], i * 0x010101u);
    QImage ramp(64, 128, QImage::Format_RGB32);  // a 4096-colour red-green ramp beside a large flat blue area
    ramp.fill(qRgb(10, 20, 200));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ramp.setPixel(x, y, qRgb(x * 4, y * 4, 0));
    const ColourPalette cut({ramp, steps});
    EXPECT_FALSE(cut.exact());
    ASSERT_LE(cut.colours().size(), ColourPalette::maxColours);
    EXPECT_EQ(cut.colours()[cut.indexOf(0x0A14C8)], 0x0A14C8u);  // the flat area keeps its colour
    // Many colours in a GIF go through that one palette; black stays black.
    AnimeClip clip{1, {ramp, ramp}, 50, true};
    clip.frames[1].fill(Qt::black);
    writeGif(clip, 1, gif);
    EXPECT_EQ(readGif(gif).frames.at(1), std::vector<uint32_t>(64 * 128, 0u));
}

TEST_F(GifExportTest, Errors)
{
    const auto errorOf = [&](const std::filesystem::path& out, int32_t scale, const std::string& size = "#SIZE 8") {
        return thrownMessage<Exception>([&] {
            Tqpchr chr(&display.dddd());
            chr.load(writeFile("chara.chP", size + "\r\n#PATERN 01 02\r\n"));
            exportAnime(chr, display, {1, out, scale, {}});
        });
    };
    EXPECT_EQ(errorOf(folder / "a.bmp", 1),
              "書き出し先 " + (folder / "a.bmp").string() + " は .gif か .png で終わる名前にしてください");
    EXPECT_EQ(errorOf(folder / "a.gif", 16, "#SIZE 4000"), "書き出す画像が大きすぎます（64000×4336、一辺 32767 まで）");
    EXPECT_EQ(errorOf(folder / "missing" / "a.gif", 1),
              "ファイル " + (folder / "missing" / "a.gif").string() + " に書き込めません: No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(folder / "a.gif") || std::filesystem::exists(folder / "missing"));
}

}  // namespace
