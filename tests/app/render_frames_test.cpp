// Which frame each rendered image shows and the errors; the program test pins the pixels.
#include "app/render_frames.h"
#include "support/package_folder.h"
#include "support/thrown.h"

#include "platform/clock.h"
#include "platform/exception.h"

#include <chrono>

namespace {

using namespace sample;
using Colours = std::vector<uint32_t>;

class RenderTest : public PackageTest {
protected:
    // Loads the sample cells with the anime lines and renders into a new folder/out.
    void render(const std::vector<std::string>& animeLines, std::optional<int32_t> anime = {},
                std::optional<int32_t> frames = {}, const std::filesystem::path& into = {})
    {
        std::filesystem::remove_all(out);
        chr.load(writeSampleDefinition(animeLines));
        renderFrames(chr, display, {anime, frames, into.empty() ? out : into, {}});
    }
    const std::filesystem::path out = folder / "out";
    OffscreenDisplay display;
    Tqpchr chr{&display.dddd()};
};

TEST_F(RenderTest, WhichFramesTheImagesShowOnASimulatedClock)
{
    // Without --anime the loaded anime goes on as the window shows it: the first step
    // finds frame 0 empty and goes on at the loop frame + 1.
    const struct {
        const char* name;
        std::vector<std::string> lines;
        std::optional<int32_t> anime, frames;
        Colours colours;
    } cases[] = {
        {"the loaded anime", {"#PATERN 01 020304", "#LOOP 01 1"}, {}, 5, {green, yellow, green, yellow, green}},
        {"a started anime", {"#PATERN 01 020304", "#LOOP 01 1"}, 1, 4, {red, green, yellow, green}},
        {"by default up to its end", {"#PATERN 01 0203", "#PATERN 04 040202"}, 4, {}, {yellow, red, red}},
        {"an anime without frames", {"#PATERN 01 02"}, 9, {}, {blue}},
        {"frame time 0", {"#ANIME 0", "#PATERN 01 0203"}, {}, 3, {red, green, red}},
        {"a negative frame time", {"#ANIME -7", "#PATERN 01 0203"}, {}, 3, {red, green, red}},
        {"the longest frame time", {"#ANIME 2000000000", "#PATERN 01 0203"}, {}, 3, {red, green, red}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        render(c.lines, c.anime, c.frames);
        Colours colours;  // inside the character cell of every image written, in order
        for (int i = 1; std::filesystem::exists(out / frameFileName(i)); ++i)
            colours.push_back(pngPixels(out / frameFileName(i)).at(2 * viewWidth + 2));
        EXPECT_EQ(colours, c.colours);
    }
    const auto now =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    EXPECT_NEAR(static_cast<double>(millisecondClock()), static_cast<double>(static_cast<uint32_t>(now.count())),
                1000.0);  // the real clock is back
}

TEST_F(RenderTest, Errors)
{
    for (const char* size : {"#SIZE 0", "#SIZE 16385"})
        EXPECT_EQ(thrownMessage<Exception>([&] { render({size}); }),
                  std::string("表示幅 ") + (size + 6) + " の画像は作れません（1～16384）");
    EXPECT_FALSE(std::filesystem::exists(out));
    const std::string file = writeFile("file", "x");
    EXPECT_EQ(thrownMessage<Exception>([&] { render({"#PATERN 01 02"}, {}, {}, file + "/sub"); }),
              "フォルダ " + file + "/sub を作れません: Not a directory");
    std::filesystem::create_directories(folder / "taken" / "frame0001.png");
    EXPECT_EQ(thrownMessage<Exception>([&] { render({"#PATERN 01 02"}, {}, {}, folder / "taken"); }),
              "ファイル " + (folder / "taken" / "frame0001.png").string() + " に書き込めません: Is a directory");
}

}  // namespace
