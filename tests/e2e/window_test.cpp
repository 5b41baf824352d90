// Runs the built program on a real X server (Xvfb) with the bundled sample package and
// checks, on screenshots taken from outside the program, that its character view shows
// the frames --render writes: anime 1 after the start, anime 6 after a click on its
// button. Skips only when the X server cannot start.
#include "child_process.h"
#include "xwd_image.h"

#include <QImage>
#include <QString>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The window's client area and the places of the view and of Button6 ("喜び１") in it.
constexpr int32_t clientHeight = 402;
constexpr int32_t viewLeft = 104;
constexpr int32_t viewWidth = 167;
constexpr int32_t viewHeight = 271;
constexpr int32_t button6Left = 0, button6Top = 147, buttonWidth = 49, buttonHeight = 25;

struct Frame {
    int32_t width = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB
};

std::filesystem::path samplePackage()
{
    const char* source = std::getenv("POMELUNE_SOURCE_DIR");
    return std::filesystem::path(source ? source : ".") / "samples" / "sample.chP";
}

// Where the client area's top-left corner lies on the screen.
struct Origin {
    int32_t x = 0;
    int32_t y = 0;
};

// The view at the origin shows the frame at its left and the back buffer's black
// beyond the frame's width.
bool viewShows(const ScreenImage& screen, Origin client, const Frame& frame)
{
    const int32_t left = client.x + viewLeft, top = client.y;
    if (left < 0 || top < 0 || left + viewWidth > screen.width || top + viewHeight > screen.height) return false;
    for (int32_t y = 0; y < viewHeight; ++y)
        for (int32_t x = 0; x < viewWidth; ++x)
            if (screen.at(left + x, top + y) != (x < frame.width ? frame.pixels[static_cast<size_t>(y) * frame.width + x] : 0))
                return false;
    return true;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("pomelune-e2e-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override
    {
        program.reset();
        server.reset();
        std::filesystem::remove_all(folder);
    }

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
            EXPECT_EQ(image.height(), viewHeight);
            frames.push_back(std::move(frame));
        }
        EXPECT_FALSE(frames.empty()) << "no frames of anime " << anime;
        return frames;
    }

    // Starts Xvfb on a display number it picks itself and points DISPLAY at it; the
    // reason when it cannot start.
    std::string startServer()
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return "no pipe for the display number";
        server = std::make_unique<ChildProcess>(
            std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"},
            folder / "xvfb.log", fds[1]);
        ::close(fds[1]);
        const std::string display = readLine(fds[0], 15s);
        ::close(fds[0]);
        if (display.empty() || !server->running()) return "Xvfb did not report a display within 15 s";
        ::setenv("DISPLAY", (":" + display).c_str(), 1);
        ::unsetenv("WAYLAND_DISPLAY");
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        // The server names its display before it takes connections.
        const auto deadline = Clock::now() + 15s;
        while (runCommand({"xdotool", "getdisplaygeometry"}, 5s).status != 0) {
            if (Clock::now() > deadline || !server->running()) return "Xvfb took no connections within 15 s";
            std::this_thread::sleep_for(50ms);
        }
        return "";
    }

    // The client area of the visible window named "Pomelune!", when it shows.
    std::optional<Origin> clientOrigin()
    {
        std::istringstream ids(runCommand({"xdotool", "search", "--onlyvisible", "--name", "^Pomelune!$"}, 5s).output);
        for (std::string id; ids >> id;) {
            std::map<std::string, int32_t> geometry;
            std::istringstream lines(runCommand({"xdotool", "getwindowgeometry", "--shell", id}, 5s).output);
            for (std::string line; std::getline(lines, line);)
                if (const auto equals = line.find('='); equals != std::string::npos)
                    geometry[line.substr(0, equals)] = std::atoi(line.c_str() + equals + 1);
            // The menu bar lies above the client area, inside the window.
            if (geometry["WIDTH"] >= viewLeft + viewWidth && geometry["HEIGHT"] >= clientHeight)
                return Origin{geometry["X"], geometry["Y"] + geometry["HEIGHT"] - clientHeight};
        }
        return std::nullopt;
    }

    // Looks for the window and takes screenshots until its view shows one of the
    // frames, up to the time given; false after saving the last screenshot beside
    // the test for a look. The window is looked up again each time, as it may still
    // be placed or sized.
    bool viewShowsOneOf(const std::vector<Frame>& frames, std::chrono::seconds within)
    {
        const auto deadline = Clock::now() + within;
        ScreenImage screen;
        while (Clock::now() < deadline && program->running()) {
            const auto client = clientOrigin();
            if (!client) {
                std::this_thread::sleep_for(50ms);
                continue;
            }
            screen = readXwd(runCommand({"xwd", "-root", "-silent"}, 10s).output);
            for (const Frame& frame : frames)
                if (viewShows(screen, *client, frame)) return true;
        }
        QImage image(screen.width, screen.height, QImage::Format_RGB32);
        for (int32_t y = 0; y < screen.height; ++y)
            for (int32_t x = 0; x < screen.width; ++x) image.setPixel(x, y, screen.at(x, y));
        image.save("window_test_screen.png");
        return false;
    }

    std::string programOutput() const
    {
        std::ifstream log(folder / "pomelune.log");
        return std::string(std::istreambuf_iterator<char>(log), {});
    }

    std::filesystem::path folder;
    std::unique_ptr<ChildProcess> server;
    std::unique_ptr<ChildProcess> program;
};

TEST_F(WindowTest, ViewShowsTheRenderedFramesBeforeAndAfterAClick)
{
    const auto normal = renderedFrames(1);
    const auto joy = renderedFrames(6);
    ASSERT_FALSE(normal.empty() || joy.empty());
    if (const std::string why = startServer(); !why.empty()) GTEST_SKIP() << "no X server: " << why;

    program = std::make_unique<ChildProcess>(std::vector<std::string>{POMELUNE_EXECUTABLE, samplePackage().string()},
                                             folder / "pomelune.log");
    ASSERT_TRUE(viewShowsOneOf(normal, 30s)) << "the view never showed a frame of anime 1; the program "
                                             << (program->running() ? "runs" : "has ended") << " and wrote:\n"
                                             << programOutput() << "(last screenshot: window_test_screen.png)";

    const Origin client = clientOrigin().value_or(Origin{});
    const auto click = runCommand({"xdotool", "mousemove", std::to_string(client.x + button6Left + buttonWidth / 2),
                                   std::to_string(client.y + button6Top + buttonHeight / 2), "click", "1"}, 5s);
    ASSERT_EQ(click.status, 0) << "xdotool could not click";
    EXPECT_TRUE(viewShowsOneOf(joy, 5s)) << "the view never showed a frame of anime 6 after the click "
                                            "(last screenshot: window_test_screen.png)";
    EXPECT_TRUE(program->running());
}

}  // namespace
