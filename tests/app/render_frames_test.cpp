#include "app/anime_frames.h"
#include "app/render_frames.h"
#include "package_folder.h"
#include "png_pixels.h"

#include "platform/clock.h"
#include "platform/exception.h"

#include <chrono>
#include <memory>

namespace {

using namespace sample;

class RenderTest : public PackageTest {
protected:
    // Loads the sample cells with the anime lines and renders into folder/out.
    void render(const std::vector<std::string>& animeLines, std::optional<int32_t> anime = {}, std::optional<int32_t> frames = {})
    {
        chr->load(writeSampleDefinition(animeLines));
        renderFrames(*chr, display, {anime, frames, out()});
    }
    std::filesystem::path out() const { return folder / "out"; }
    std::filesystem::path image(int i) const
    {
        return out() / ("frame000" + std::to_string(i) + ".png");
    }
    // The cell colour of every image written, in order.
    std::vector<uint32_t> colours() const
    {
        std::vector<uint32_t> result;
        for (int i = 1; std::filesystem::exists(image(i)); ++i) result.push_back(cellColour(image(i)));
        return result;
    }
    std::string errorOf(const std::vector<std::string>& animeLines)
    {
        try {
            render(animeLines);
        } catch (const Exception& error) {
            return error.what();
        }
        return "";
    }

    SoftwareDisplay display;
    std::unique_ptr<Tqpchr> chr = std::make_unique<Tqpchr>(&display.dddd());
};

TEST_F(RenderTest, OneImagePerFrameOfTheAnimeWithExactPixels)
{
    render({"#PATERN 01 0203"});
    EXPECT_EQ(pngPixels(image(1)), view(red));
    EXPECT_EQ(pngPixels(image(2)), view(green));
    EXPECT_FALSE(std::filesystem::exists(image(3)));
    EXPECT_EQ(QImage(QString::fromStdString(image(1).string())).size(), QSize(viewWidth, viewHeight));
}

TEST_F(RenderTest, EveryImageAdvancesOneFrameWhateverTheFrameTime)
{
    for (const char* frameTime : {"#ANIME 100", "#ANIME 0", "#ANIME -7", "#ANIME 2000000000"}) {
        std::filesystem::remove_all(out());
        render({frameTime, "#PATERN 01 0203"}, {}, 5);
        EXPECT_EQ(colours(), (std::vector<uint32_t>{red, green, red, green, red})) << frameTime;
    }
}

TEST_F(RenderTest, WithoutAnAnimeTheLoadedOneGoesOnAsTheWindowShowsIt)
{
    // The first step finds frame 0 empty and goes on at the loop frame + 1.
    render({"#PATERN 01 020304", "#LOOP 01 1"}, {}, 5);
    EXPECT_EQ(colours(), (std::vector<uint32_t>{green, yellow, green, yellow, green}));
    std::filesystem::remove_all(out());
    render({"#PATERN 01 020304", "#LOOP 01 1"}, 1, 4);  // started: frame 1 first
    EXPECT_EQ(colours(), (std::vector<uint32_t>{red, green, yellow, green}));
}

TEST_F(RenderTest, OneShotAnimeGivenReturnsToAnimeOne)
{
    render({"#PATERN 01 0203", "#PATERN 04 0402"}, 4, 4);
    EXPECT_EQ(colours(), (std::vector<uint32_t>{yellow, red, red, green}));
    std::filesystem::remove_all(out());
    render({"#PATERN 01 0203", "#PATERN 04 040202"}, 4);
    EXPECT_EQ(colours(), (std::vector<uint32_t>{yellow, red, red}));
}

TEST_F(RenderTest, LayerOnlyFramesCountAndShow)
{
    render({"#PATERN 02 02", "#LAYER 02 030303 010101"}, 2);
    EXPECT_EQ(animeLength(*chr, 2), 3);
    EXPECT_EQ(colours(), (std::vector<uint32_t>{green, green, green}));
    // The layer cell's key-coloured pixel at (1, 1) shows the character cell under it
    // in frame 1, and the background in frame 3, which has a layer cell only.
    EXPECT_EQ(pngPixels(image(1)).at(1 * viewWidth + 1), red);
    EXPECT_EQ(pngPixels(image(3)), view(green));
}

TEST_F(RenderTest, AnimeWithoutFramesGivesOneImage)
{
    render({"#PATERN 01 02"}, 9);
    EXPECT_EQ(colours(), (std::vector<uint32_t>{blue}));  // frame 1 of anime 9 is empty
    std::filesystem::remove_all(out());
    render({"#PATERN 01 02"}, 7);
    EXPECT_EQ(colours(), (std::vector<uint32_t>{red}));  // a one-shot anime without frames ends at once
}

TEST_F(RenderTest, MakesTheFolderAndPutsTheRealClockBack)
{
    chr->load(writeSampleDefinition({"#PATERN 01 02"}));
    renderFrames(*chr, display, {{}, {}, folder / "a" / "b"});
    EXPECT_TRUE(std::filesystem::exists(folder / "a" / "b" / "frame0001.png"));
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    EXPECT_NEAR(static_cast<double>(millisecondClock()), static_cast<double>(static_cast<uint32_t>(now.count())), 1000.0);
}

TEST_F(RenderTest, ViewWidthsOutsideTheImageLimits)
{
    for (const char* size : {"#SIZE 0", "#SIZE -3", "#SIZE 16385"})
        EXPECT_EQ(errorOf({size}), std::string("表示幅 ") + (size + 6) + " の画像は作れません（1～16384）");
    EXPECT_FALSE(std::filesystem::exists(out()));
}

TEST_F(RenderTest, FolderThatCannotBeMade)
{
    writeFile("file", "x");
    chr->load(writeSampleDefinition({"#PATERN 01 02"}));
    try {
        renderFrames(*chr, display, {{}, {}, folder / "file" / "sub"});
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_EQ(error.message(), "フォルダ " + (folder / "file" / "sub").string() + " を作れません");
    }
}

TEST(AnimeFrames, LengthIsTheLastCharacterOrLayerFrame)
{
    SoftwareDisplay display;
    Tqpchr chr(&display.dddd());
    EXPECT_EQ(lastUsedFrame(chr.patsrc, 1), 0);
    EXPECT_EQ(animeLength(chr, 1), 1);
    chr.patdst[1][9] = 3;  // destinations do not count
    EXPECT_EQ(animeLength(chr, 1), 1);
    chr.patsrc[1][4] = 2;
    chr.laysrc[1][6] = 2;
    EXPECT_EQ(animeLength(chr, 1), 6);
    chr.patsrc[1][511] = 2;
    EXPECT_EQ(lastUsedFrame(chr.patsrc, 1), 511);
    EXPECT_EQ(animeLength(chr, 31), 1);  // outside the tables
    EXPECT_EQ(animeLength(chr, -1), 1);
}

}  // namespace
