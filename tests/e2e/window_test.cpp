// Runs the built program on a real X server (Xvfb) with the bundled sample package and
// checks, on screenshots taken from outside the program, that its character view shows
// the frames --render writes: anime 1 after the start, anime 6 after a click on its
// button. Skips only when the X server cannot start.
#include "support/program_on_x.h"

#include <QImage>
#include <QString>

#include <cstdio>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The place of Button6 ("喜び１") in the client area.
constexpr int32_t button6Left = 0, button6Top = 147, buttonWidth = 49, buttonHeight = 25;

struct Frame {
    int32_t width = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB
};

// The view shows the frame at its left and the back buffer's black beyond the
// frame's width.
bool viewShows(const std::vector<uint32_t>& view, const Frame& frame)
{
    if (view.empty()) return false;
    for (int32_t y = 0; y < window::viewHeight; ++y)
        for (int32_t x = 0; x < window::viewWidth; ++x)
            if (view[static_cast<size_t>(y) * window::viewWidth + x] !=
                (x < frame.width ? frame.pixels[static_cast<size_t>(y) * frame.width + x] : 0))
                return false;
    return true;
}

class WindowTest : public ProgramOnXTest {
protected:
    // The images --render writes for the anime, in order.
    std::vector<Frame> renderedFrames(int anime)
    {
        const auto out = folder / ("anime" + std::to_string(anime));
        const auto result = runCommand({POMELUNE_EXECUTABLE, "--render", samplePackage().string(), "--anime",
                                        std::to_string(anime), "--out", out.string()}, 60s);
        EXPECT_EQ(result.status, 0) << "--render of anime " << anime;
        std::vector<Frame> frames;
        for (int i = 1;; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "frame%04d.png", i);
            const QImage image(QString::fromStdString((out / name).string()));
            if (image.isNull()) break;
            Frame frame{image.width(), {}};
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) frame.pixels.push_back(image.pixel(x, y) & 0xFFFFFFu);
            EXPECT_EQ(image.height(), window::viewHeight);
            frames.push_back(std::move(frame));
        }
        EXPECT_FALSE(frames.empty()) << "no frames of anime " << anime;
        return frames;
    }

    // Takes screenshots until the view shows one of the frames, up to the time given;
    // false after saving the last screenshot beside the test for a look. The window
    // is looked up again each time, as it may still be placed or sized.
    bool viewShowsOneOf(const std::vector<Frame>& frames, std::chrono::seconds within)
    {
        const auto deadline = Clock::now() + within;
        ScreenImage screen;
        while (Clock::now() < deadline && program->running()) {
            screen = screenshot();
            const auto view = viewPixels(screen);
            for (const Frame& frame : frames)
                if (viewShows(view, frame)) return true;
            if (view.empty()) std::this_thread::sleep_for(50ms);
        }
        save(screen, "window_test_screen.png");
        return false;
    }
};

TEST_F(WindowTest, ViewShowsTheRenderedFramesBeforeAndAfterAClick)
{
    const auto normal = renderedFrames(1);
    const auto joy = renderedFrames(6);
    ASSERT_FALSE(normal.empty() || joy.empty());
    if (const std::string why = startServer(); !why.empty()) GTEST_SKIP() << "no X server: " << why;

    startProgram({samplePackage().string()});
    ASSERT_TRUE(viewShowsOneOf(normal, 30s)) << "the view never showed a frame of anime 1; the program "
                                             << (program->running() ? "runs" : "has ended") << " and wrote:\n"
                                             << logText("pomelune.log") << "(last screenshot: window_test_screen.png)";

    const Point client = clientOrigin().value_or(Point{});
    ASSERT_TRUE(xdotool({"mousemove", std::to_string(client.x + button6Left + buttonWidth / 2),
                         std::to_string(client.y + button6Top + buttonHeight / 2), "click", "1"}))
        << "xdotool could not click";
    EXPECT_TRUE(viewShowsOneOf(joy, 5s)) << "the view never showed a frame of anime 6 after the click "
                                            "(last screenshot: window_test_screen.png)";
    EXPECT_TRUE(program->running());
}

}  // namespace
