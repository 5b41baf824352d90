// The exact pixels of rendered frames are pinned by the program test; these cover
// which frame each image shows and the errors.
#include "app/render_frames.h"
#include "support/package_folder.h"
#include "support/thrown.h"

#include "platform/clock.h"
#include "platform/exception.h"

#include <chrono>
#include <memory>

namespace {

using namespace sample;
using Colours = std::vector<uint32_t>;

class RenderTest : public PackageTest {
protected:
    // Loads the sample cells with the anime lines and renders into a new folder/out.
    void render(const std::vector<std::string>& animeLines, std::optional<int32_t> anime = {}, std::optional<int32_t> frames = {})
    {
        std::filesystem::remove_all(out());
        chr->load(writeSampleDefinition(animeLines));
        renderFrames(*chr, display, {anime, frames, out(), {}});
    }
    std::filesystem::path out() const { return folder / "out"; }
    std::filesystem::path image(int i) const { return out() / ("frame000" + std::to_string(i) + ".png"); }
    // The colour inside the character cell of every image written, in order.
    Colours colours() const
    {
        Colours result;
        for (int i = 1; std::filesystem::exists(image(i)); ++i) result.push_back(pngPixels(image(i)).at(2 * viewWidth + 2));
        return result;
    }
    OffscreenDisplay display;
    std::unique_ptr<Tqpchr> chr = std::make_unique<Tqpchr>(&display.dddd());
};

TEST_F(RenderTest, EveryImageAdvancesOneFrameOnASimulatedClock)
{
    for (const char* frameTime : {"#ANIME 100", "#ANIME 0", "#ANIME -7", "#ANIME 2000000000"}) {
        render({frameTime, "#PATERN 01 0203"}, {}, 5);
        EXPECT_EQ(colours(), (Colours{red, green, red, green, red})) << frameTime;
    }
    // The real clock is back.
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    EXPECT_NEAR(static_cast<double>(millisecondClock()), static_cast<double>(static_cast<uint32_t>(now.count())), 1000.0);
}

TEST_F(RenderTest, WhichFramesTheImagesShow)
{
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::optional<int32_t> anime, frames;
        Colours colours;
    };
    const Case cases[] = {
        // Without --anime the loaded anime goes on as the window shows it: the first
        // step finds frame 0 empty and goes on at the loop frame + 1.
        {"the loaded anime", {"#PATERN 01 020304", "#LOOP 01 1"}, {}, 5, {green, yellow, green, yellow, green}},
        {"a started anime", {"#PATERN 01 020304", "#LOOP 01 1"}, 1, 4, {red, green, yellow, green}},
        {"a one-shot returns", {"#PATERN 01 0203", "#PATERN 04 0402"}, 4, 4, {yellow, red, red, green}},
        {"by default up to its end", {"#PATERN 01 0203", "#PATERN 04 040202"}, 4, {}, {yellow, red, red}},
        {"an anime without frames", {"#PATERN 01 02"}, 9, {}, {blue}},
        {"a one-shot without frames ends at once", {"#PATERN 01 02"}, 7, {}, {red}},
        {"frames with a layer cell only", {"#PATERN 02 02", "#LAYER 02 030303 010101"}, 2, {}, {green, green, green}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        render(c.lines, c.anime, c.frames);
        EXPECT_EQ(colours(), c.colours);
    }
    // The layer cell's key-coloured pixel at (1, 1) shows the character cell under it
    // in frame 1, and the background in frame 3, which has a layer cell only.
    EXPECT_EQ(pngPixels(image(1)).at(1 * viewWidth + 1), red);
    EXPECT_EQ(pngPixels(image(3)), view(green));
}

TEST_F(RenderTest, Errors)
{
    const auto errorOf = [&](const std::string& line, const std::filesystem::path& into) {
        return thrownMessage<Exception>([&] {
            chr->load(writeSampleDefinition({line}));
            renderFrames(*chr, display, {{}, {}, into, {}});
        });
    };
    for (const char* size : {"#SIZE 0", "#SIZE -3", "#SIZE 16385"})
        EXPECT_EQ(errorOf(size, out()), std::string("表示幅 ") + (size + 6) + " の画像は作れません（1～16384）");
    EXPECT_FALSE(std::filesystem::exists(out()));
    const std::string file = writeFile("file", "x");
    EXPECT_EQ(errorOf("#PATERN 01 02", file + "/sub"), "フォルダ " + file + "/sub を作れません: Not a directory");
    std::filesystem::create_directories(folder / "taken" / "frame0001.png");
    EXPECT_EQ(errorOf("#PATERN 01 02", folder / "taken"), "ファイル " + (folder / "taken" / "frame0001.png").string() + " に書き込めません: Is a directory");
}

TEST(AnimeFrames, LengthEndsWhereTheEngineEndsTheAnime)
{
    OffscreenDisplay display;
    Tqpchr chr(&display.dddd());
    chr.patsrc[1][1] = chr.laysrc[1][2] = 2;
    chr.patsrc[1][4] = 2;  // after the gap at frame 3: never played
    chr.patdst[2][1] = 3;  // destinations do not count
    EXPECT_EQ(animeLength(chr, 1), 2);
    EXPECT_EQ(animeLength(chr, 2), 1);
    EXPECT_EQ(animeLength(chr, 31), 1);  // outside the tables
}

TEST(OffscreenDisplay, ThirtyTwoBitSurfacesWhateverTheScreenAndNoHaltOnError)
{
    setScreenPixelFormat(pixelFormatRgb565());
    OffscreenDisplay display;
    EXPECT_EQ(display.dddd().DebugOption(), TDDDDDebugOptions{});
    const TDDDDSurface cell(&display.dddd(), 4, 4, 0);
    EXPECT_EQ(cell.DDSurface->pixelFormat().dwRGBBitCount, 32u);
    EXPECT_EQ(cell.DDSurface->pixelFormat().dwRBitMask, 0xFF0000u);
}

}  // namespace
