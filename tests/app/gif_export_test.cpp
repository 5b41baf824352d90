// The GIF read back with giflib frame by frame beside the images --render writes;
// the delays, the loop extension, the palette and the errors.
#include "app/anime_export.h"
#include "app/colour_palette.h"
#include "app/gif_export.h"
#include "app/render_frames.h"
#include "support/gif_reader.h"
#include "support/package_folder.h"

#include "platform/exception.h"

#include <QProcess>


namespace {

using namespace sample;

// The pixels scaled by scale, nearest neighbour.
std::vector<uint32_t> scaled(const std::vector<uint32_t>& pixels, int width, int scale)
{
    std::vector<uint32_t> result;
    const int height = static_cast<int>(pixels.size()) / width;
    for (int y = 0; y < height * scale; ++y)
        for (int x = 0; x < width * scale; ++x) result.push_back(pixels[static_cast<size_t>(y / scale * width + x / scale)]);
    return result;
}

class GifExportTest : public PackageTest {
protected:
    std::filesystem::path gif() const { return folder / "anime.gif"; }
    // Loads the definition and exports the anime as anime.gif.
    void exportGif(const std::vector<std::string>& animeLines, int32_t anime, int32_t scale = 1, bool loopshots = false)
    {
        Tqpchr chr(&display.dddd());
        chr.load(writeSampleDefinition(animeLines));
        chr.loopshots = loopshots;
        exportAnime(chr, display, {anime, gif(), scale, {}});
    }
    // The images --render writes for the anime, pixel by pixel.
    std::vector<std::vector<uint32_t>> rendered(const std::vector<std::string>& animeLines, int32_t anime)
    {
        Tqpchr chr(&display.dddd());
        chr.load(writeSampleDefinition(animeLines));
        const auto out = folder / "render";
        renderFrames(chr, display, {anime, {}, out, {}});
        std::vector<std::vector<uint32_t>> images;
        for (int i = 1; std::filesystem::exists(out / ("frame000" + std::to_string(i) + ".png")); ++i)
            images.push_back(pngPixels(out / ("frame000" + std::to_string(i) + ".png")));
        std::filesystem::remove_all(out);
        return images;
    }

    OffscreenDisplay display;
};

TEST_F(GifExportTest, FramesMatchRenderAtEachScale)
{
    const std::vector<std::string> lines = {"#ANIME 120", "#PATERN 01 0203040302", "#LAYER 01 0000000303 0000000202"};
    const auto images = rendered(lines, 1);
    ASSERT_EQ(images.size(), 5u);
    for (const int32_t scale : {1, 3}) {
        exportGif(lines, 1, scale);
        const GifContents contents = readGif(gif());
        EXPECT_EQ(std::pair(contents.width, contents.height), std::pair(viewWidth * scale, viewHeight * scale));
        ASSERT_EQ(contents.frames.size(), images.size()) << scale;
        for (size_t i = 0; i < images.size(); ++i) EXPECT_EQ(contents.frames[i], scaled(images[i], viewWidth, scale)) << i;
        EXPECT_EQ(contents.delays, (std::vector<int>{12, 12, 12, 12, 12}));
    }
}

TEST_F(GifExportTest, LoopsUnlessTheAnimeIsAOneShotThatReturns)
{
    struct Case {
        int32_t anime;
        bool loopshots;
        bool loops;
    };
    const std::vector<std::string> lines = {"#PATERN 01 0203", "#PATERN 04 0402", "#PATERN 09 03", "#PATERN 30 02"};
    for (const Case& c : {Case{1, false, true}, Case{9, false, true}, Case{4, false, false}, Case{4, true, true}, Case{30, false, false}}) {
        exportGif(lines, c.anime, 1, c.loopshots);
        const GifContents contents = readGif(gif());
        EXPECT_EQ(contents.loops, c.loops) << c.anime << " " << c.loopshots;
        EXPECT_EQ(contents.frames.front(), view(c.anime == 4 ? yellow : c.anime == 9 ? green : red)) << c.anime;
    }
}

TEST(GifDelays, RoundToCentisecondsCarryingTheRemainder)
{
    struct Case {
        int32_t frameTime;
        size_t count;
        std::vector<uint16_t> delays;
    };
    const Case cases[] = {
        {100, 3, {10, 10, 10}},
        {33, 6, {3, 4, 3, 3, 4, 3}},  // 198 ms in all: 20 centiseconds
        {5, 4, {1, 0, 1, 0}},
        {0, 2, {0, 0}},
        {16, 5, {2, 1, 2, 1, 2}},      // 80 ms
        {2147483647, 2, {65535, 65535}},  // the longest a GIF can hold
    };
    for (const Case& c : cases) EXPECT_EQ(gifDelays(c.frameTime, c.count), c.delays) << c.frameTime;
}

TEST(ColourPalette, ExactUpTo256ColoursElseNearTheColours)
{
    // 16 x 16 grey steps are 256 colours: kept exactly.
    QImage steps(16, 16, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i) steps.setPixel(i % 16, i / 16, qRgb(i, i, i));
    const ColourPalette exact({steps});
    EXPECT_TRUE(exact.exact());
    ASSERT_EQ(exact.colours().size(), 256u);
    for (uint32_t i = 0; i < 256; ++i) EXPECT_EQ(exact.colours()[exact.indexOf(i * 0x010101u)], i * 0x010101u);

    // A smooth 64 x 64 red-green ramp (4096 colours) beside a large flat blue area.
    QImage ramp(64, 128, QImage::Format_RGB32);
    ramp.fill(qRgb(10, 20, 200));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ramp.setPixel(x, y, qRgb(x * 4, y * 4, 0));
    const ColourPalette cut({ramp, steps});
    EXPECT_FALSE(cut.exact());
    EXPECT_LE(cut.colours().size(), ColourPalette::maxColours);
    EXPECT_EQ(cut.colours()[cut.indexOf(0x0A14C8)], 0x0A14C8u);  // the flat area keeps its colour
    int worst = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint32_t entry = cut.colours()[cut.indexOf(static_cast<uint32_t>(x * 4 << 16 | y * 4 << 8))];
            worst = std::max({worst, std::abs(static_cast<int>(entry >> 16) - x * 4), std::abs(static_cast<int>(entry >> 8 & 0xFF) - y * 4),
                              static_cast<int>(entry & 0xFF)});
        }
    EXPECT_LE(worst, 24);
}

TEST_F(GifExportTest, ManyColoursGoThroughOnePalette)
{
    AnimeClip clip;
    clip.frameTime = 50;
    for (int frame = 0; frame < 2; ++frame) {
        QImage image(300, 2, QImage::Format_RGB32);
        for (int x = 0; x < 300; ++x) image.setPixel(x, 0, qRgb(x % 256, frame * 100, x / 2));
        for (int x = 0; x < 300; ++x) image.setPixel(x, 1, qRgb(0, 0, 0));
        clip.frames.push_back(image);
    }
    writeGif(clip, 1, gif());
    const GifContents contents = readGif(gif());
    ASSERT_EQ(contents.frames.size(), 2u);
    EXPECT_TRUE(contents.loops);
    EXPECT_EQ(contents.delays, (std::vector<int>{5, 5}));
    for (int x = 0; x < 300; ++x) EXPECT_EQ(contents.frames[1][static_cast<size_t>(300 + x)], 0u);  // black stays black
}

TEST_F(GifExportTest, Errors)
{
    const auto errorOf = [&](const std::filesystem::path& out, int32_t scale, const std::string& size = "#SIZE 8") {
        try {
            Tqpchr chr(&display.dddd());
            chr.load(writeFile("chara.chP", size + "\r\n#PATERN 01 02\r\n"));
            exportAnime(chr, display, {1, out, scale, {}});
        } catch (const Exception& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    EXPECT_EQ(errorOf(folder / "a.bmp", 1), "書き出し先 " + (folder / "a.bmp").string() + " は .gif か .png で終わる名前にしてください");
    EXPECT_EQ(errorOf(folder / "a.GIF", 1), "");
    EXPECT_EQ(errorOf(folder / "a.gif", 16, "#SIZE 4000"), "書き出す画像が大きすぎます（64000×4336、一辺 32767 まで）");
    EXPECT_EQ(errorOf(folder / "missing" / "a.gif", 1).rfind("ファイル " + (folder / "missing" / "a.gif").string() + " に書き込めません: ", 0), 0u);
    EXPECT_EQ(errorOf(folder / "a.gif", 1, "#SIZE 0"), "表示幅 0 の画像は作れません（1～16384）");
    EXPECT_FALSE(std::filesystem::exists(folder / "a.gif") || std::filesystem::exists(folder / "missing"));
}

TEST_F(GifExportTest, ProgramWritesTheFileOrSaysWhyNot)
{
    const QString definition = QString::fromStdString(writeSampleDefinition({"#PATERN 04 0304"}));
    const QString out = QString::fromStdString(gif().string());
    struct Case {
        QStringList arguments;
        int status;
        QString message;  // the start of the message on standard error; none when empty
    };
    const Case cases[] = {
        {{"--export", definition, "--anime", "4", "--out", out, "--scale", "2"}, 0, ""},
        {{"--export", definition, "--out", out + ".txt"}, 1, "pomelune: 書き出し先 " + out + ".txt は .gif か .png"},
        {{"--export", definition + "x", "--out", out}, 1, "pomelune: "},
        {{"--export", definition}, 2, "pomelune: --export needs --out"},
    };
    for (const Case& c : cases) {
        QProcess program;
        program.start(POMELUNE_EXECUTABLE, c.arguments);
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitCode(), c.status) << c.arguments.join(' ').toStdString();
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        EXPECT_TRUE(c.message.isEmpty() ? errors.isEmpty() : errors.startsWith(c.message)) << errors.toStdString();
    }
    const GifContents contents = readGif(gif());
    EXPECT_EQ(contents.width, 2 * viewWidth);
    EXPECT_EQ(contents.frames.size(), 2u);
    EXPECT_FALSE(contents.loops);
    EXPECT_FALSE(std::filesystem::exists(gif().string() + ".txt"));
}

}  // namespace
