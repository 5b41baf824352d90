// The window under a real X server, used as a person would: its view showing the frames
// --render writes, before and after a click on a button; how long its frames last on the
// screen; and a drop from a real XDND drag source. Skips only when the X server
// cannot start.
#include "support/bmp_writer.h"
#include "support/program_on_x.h"

#include <QImage>
#include <QString>

#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The test package: a blue background with a red or a green cell at its top left.
constexpr uint32_t blue = 0x0000FF, red = 0xFF0000, green = 0x00FF00, key = 0xFF00FF;
constexpr int32_t cellSize = 20, frameCount = 16, framewait = 50;

// Places in the client area.
constexpr Point button6Centre{24, 159};
constexpr Point viewCentre{window::viewLeft + window::viewWidth / 2, window::viewHeight / 2};
constexpr Point cellCentre{window::viewLeft + cellSize / 2, cellSize / 2};

Point at(Point client, Point inside) { return {client.x + inside.x, client.y + inside.y}; }

class InteractionTest : public ProgramOnXTest {
protected:
    void SetUp() override
    {
        ProgramOnXTest::SetUp();
        if (const std::string why = startServer(); !why.empty()) GTEST_SKIP() << "no X server: " << why;
    }

    // Writes package/cg.bmp (three cells over a key-coloured bottom row) and
    // package/chara.chP, whose anime 1 alternates the red and the green cell for 16
    // frames of 50 ms; the definition's path.
    std::filesystem::path writeAlternatingPackage() const
    {
        const uint32_t cells[] = {blue, red, green};
        std::vector<uint32_t> pixels;
        for (int32_t y = 0; y <= cellSize; ++y)
            for (int32_t x = 0; x < 3 * cellSize; ++x) pixels.push_back(y == cellSize ? key : cells[x / cellSize]);
        scratch.write("package/cg.bmp", makeBmp({3 * cellSize, cellSize + 1, 24, {}, pixels}));
        std::string list;
        for (int32_t f = 0; f < frameCount; ++f) list += f % 2 ? "03" : "02";
        return scratch.write("package/chara.chP",
                             "#CHARNAME alternating\r\n#CHARBMP cg.bmp\r\n#SIZE 20\r\n#ANIME 50\r\n"
                             "#1 0 0 20 20\r\n#2 20 0 20 20\r\n#3 40 0 20 20\r\n#PATERN 01 " +
                                 list + "\r\n");
    }

    // Waits for the main window; its client origin.
    Point shownClient()
    {
        std::optional<Point> client;
        EXPECT_TRUE(waitUntil([&] { return (client = clientOrigin()).has_value(); }, 15s))
            << "the window never showed; the program wrote:\n"
            << logText("pomelune.log");
        return client.value_or(Point{});
    }

    // The images --render writes for the sample's anime, in order, as the view shows them:
    // the back buffer's black beyond the frame's width (copy() fills with 0).
    std::vector<std::vector<uint32_t>> renderedFrames(int anime)
    {
        const auto out = folder / ("anime" + std::to_string(anime));
        const std::string number = std::to_string(anime);
        const CommandResult rendered = runCommand(
            {POMELUNE_EXECUTABLE, "--render", samplePackage().string(), "--anime", number, "--out", out.string()}, 60s);
        EXPECT_EQ(rendered.status, 0);
        std::vector<std::vector<uint32_t>> frames;
        for (int i = 1;; ++i) {
            const QImage image(QString::asprintf("%s/frame%04d.png", out.c_str(), i));
            if (image.isNull()) return frames;
            const QImage view =
                image.convertToFormat(QImage::Format_RGB32).copy(0, 0, window::viewWidth, window::viewHeight);
            std::vector<uint32_t>& frame = frames.emplace_back();
            for (int y = 0; y < window::viewHeight; ++y)
                for (int x = 0; x < window::viewWidth; ++x) frame.push_back(view.pixel(x, y) & 0xFFFFFFu);
        }
    }

    // Reads the screen until the view shows one of the frames, up to the time given.
    // The window is looked up again each time, as it may still be placed or sized.
    bool viewShowsOneOf(const std::vector<std::vector<uint32_t>>& frames, std::chrono::seconds within)
    {
        return waitUntil([&] { return !program->running() || std::ranges::find(frames, viewPixels()) != frames.end(); },
                         within) &&
               program->running();
    }
};

TEST_F(InteractionTest, ViewShowsTheRenderedFramesBeforeAndAfterAClick)
{
    const auto normal = renderedFrames(1), joy = renderedFrames(6);
    ASSERT_FALSE(normal.empty() || joy.empty());
    startProgram({samplePackage().string()});
    ASSERT_TRUE(viewShowsOneOf(normal, 30s)) << "the view never showed a frame of anime 1; the program "
                                             << (program->running() ? "runs" : "has ended") << " and wrote:\n"
                                             << logText("pomelune.log");
    const Point button6 = at(clientOrigin().value_or(Point{}), button6Centre);
    ASSERT_TRUE(xdotool({"mousemove", std::to_string(button6.x), std::to_string(button6.y), "click", "1"}));
    EXPECT_TRUE(viewShowsOneOf(joy, 5s)) << "the view never showed a frame of anime 6 after the click";
}

TEST_F(InteractionTest, EachFrameLastsItsFrameTimeAndTwoMillisecondsOnTheScreen)
{
    startProgram({writeAlternatingPackage().string()});
    const Point probe = at(shownClient(), cellCentre);
    const ScreenPixel screen;
    const auto colour = [&] { return screen.at(probe.x, probe.y).value_or(0); };
    ASSERT_TRUE(waitUntil([&] { return colour() == red || colour() == green; }, 10s))
        << "the view never showed the package";

    // The first second is left out, while the window may still be drawn for the
    // first time; then the changes between the two colours are stamped.
    constexpr size_t frames = 40;
    const auto counted = Clock::now() + 1s, deadline = counted + 5s;
    std::vector<Clock::time_point> changes;
    for (uint32_t shown = colour(); changes.size() <= frames && Clock::now() < deadline;
         std::this_thread::sleep_for(1ms)) {
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

TEST_F(InteractionTest, ADropEndsBeforeTheErrorBoxOfItsLoadOpens)
{
    // A folder whose parent holds a definition is loaded as one, and cannot be read.
    const auto folderBesideDefinition = writeAlternatingPackage().parent_path() / "inner";
    std::filesystem::create_directory(folderBesideDefinition);
    startProgram({});
    const Point to = at(shownClient(), viewCentre);
    // A drag source offering the folder, dragged from to the view with the button held,
    // in steps as a hand would; it writes what it hears of the drop to drag.log.
    const ChildProcess source({DRAG_SOURCE_EXECUTABLE, folderBesideDefinition.string()}, folder / "drag.log");
    ASSERT_TRUE(waitUntil([&] { return !visibleWindows("^pomelune-drag-source$").empty(); }, 10s))
        << "the drag source showed no window; it wrote:\n"
        << logText("drag.log");
    const Point from{760, 540};  // the middle of the window the drag source places at (700, 500) on the bare server
    std::vector<std::string> gesture{"mousemove", std::to_string(from.x), std::to_string(from.y), "mousedown", "1"};
    for (int i = 1; i <= 12; ++i)
        gesture.insert(gesture.end(), {"sleep", "0.03", "mousemove", std::to_string(from.x + (to.x - from.x) * i / 12),
                                       std::to_string(from.y + (to.y - from.y) * i / 12)});
    // A last move and a pause let the target answer the position before the release.
    gesture.insert(gesture.end(), {"sleep", "0.2", "mousemove", std::to_string(to.x + 1), std::to_string(to.y), "sleep",
                                   "0.2", "mouseup", "1"});
    ASSERT_TRUE(xdotool(gesture));

    ASSERT_TRUE(waitUntil([&] { return visibleWindows("^Pomelune!$").size() == 2; }, 5s))
        << "no error box opened after the drop";
    EXPECT_TRUE(waitUntil([&] { return logText("drag.log").find("finished copy") != std::string::npos; }, 3s))
        << "the drag source heard no end of the drop while the error box was open; it wrote:\n"
        << logText("drag.log");
    ASSERT_TRUE(xdotool({"key", "Return"}));
    EXPECT_TRUE(waitUntil([&] { return visibleWindows("^Pomelune!$").size() == 1; }, 5s));
    EXPECT_TRUE(program->running());
}

}  // namespace
