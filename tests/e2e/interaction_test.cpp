// The window under a real X server, used as a person would: how long its frames last
// on the screen. Skips only when the X server cannot start.
#include "program_on_x.h"
#include "screen_pixel.h"
#include "support/bmp_writer.h"

#include <fstream>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The test package: a blue background with a red or a green cell at its top left.
constexpr uint32_t blue = 0x0000FF, red = 0xFF0000, green = 0x00FF00, key = 0xFF00FF;
constexpr int32_t cellSize = 20;
constexpr int32_t frameCount = 16;
constexpr int32_t framewait = 50;

// Places in the client area.
constexpr Point cellCentre{window::viewLeft + cellSize / 2, cellSize / 2};

// Writes cg.bmp (three cells over a key-coloured bottom row) and chara.chP, whose
// anime 1 alternates the red and the green cell for 16 frames of 50 ms, into the
// folder; the definition's path.
std::filesystem::path writeAlternatingPackage(const std::filesystem::path& folder)
{
    const uint32_t cells[] = {blue, red, green};
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y <= cellSize; ++y)
        for (int32_t x = 0; x < 3 * cellSize; ++x) pixels.push_back(y == cellSize ? key : cells[x / cellSize]);
    const auto bmp = makeBmp({3 * cellSize, cellSize + 1, 24, {}, pixels});
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "cg.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    std::ostringstream definition;
    definition << "#CHARNAME alternating\r\n#CHARBMP cg.bmp\r\n#SIZE " << cellSize << "\r\n#ANIME " << framewait << "\r\n";
    for (int32_t cell = 0; cell < 3; ++cell)
        definition << "#" << cell + 1 << " " << cell * cellSize << " 0 " << cellSize << " " << cellSize << "\r\n";
    definition << "#PATERN 01 ";
    for (int32_t f = 0; f < frameCount; ++f) definition << (f % 2 ? "03" : "02");
    std::ofstream(folder / "chara.chP", std::ios::binary) << definition.str() << "\r\n";
    return folder / "chara.chP";
}

Point at(Point client, Point inside) { return {client.x + inside.x, client.y + inside.y}; }

class InteractionTest : public ProgramOnXTest {
protected:
    // Waits for the main window; its client origin.
    Point shownClient()
    {
        std::optional<Point> client;
        EXPECT_TRUE(waitUntil([&] { return (client = clientOrigin()).has_value(); }, 15s))
            << "the window never showed; the program wrote:\n" << logText("pomelune.log");
        return client.value_or(Point{});
    }
};

TEST_F(InteractionTest, EachFrameLastsItsFrameTimeAndTwoMillisecondsOnTheScreen)
{
    if (const std::string why = startServer(); !why.empty()) GTEST_SKIP() << "no X server: " << why;
    startProgram({writeAlternatingPackage(folder / "package").string()});
    const Point probe = at(shownClient(), cellCentre);
    const ScreenPixel screen;
    ASSERT_TRUE(screen.connected());
    const auto colour = [&] { return screen.at(probe.x, probe.y).value_or(0); };
    ASSERT_TRUE(waitUntil([&] { return colour() == red || colour() == green; }, 10s)) << "the view never showed the package";

    // The first second is left out, while the window may still be drawn for the
    // first time; then the changes between the two colours are stamped.
    constexpr size_t frames = 40;
    const auto counted = Clock::now() + 1s, deadline = counted + 5s;
    std::vector<Clock::time_point> changes;
    for (uint32_t shown = colour(); changes.size() <= frames && Clock::now() < deadline; std::this_thread::sleep_for(1ms)) {
        const uint32_t now = colour();
        if (now == shown || (now != red && now != green)) continue;
        shown = now;
        if (Clock::now() >= counted) changes.push_back(Clock::now());
    }
    ASSERT_EQ(changes.size(), frames + 1) << "frame changes within 5 s";
    const double mean = std::chrono::duration<double, std::milli>(changes.back() - changes.front()).count() / frames;
    RecordProperty("meanFrameMilliseconds", std::to_string(mean));
    // The engine changes the frame once more than framewait ms have passed, so a frame
    // shows framewait + 2 ms at most; a frame that waited for the next 16 ms refresh
    // lasted about 65 ms. The bounds leave room for a loaded machine.
    EXPECT_GT(mean, framewait);
    EXPECT_LT(mean, framewait + 8);
}

}  // namespace
