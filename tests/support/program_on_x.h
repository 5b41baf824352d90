// The fixture of the end-to-end tests: a private folder, an X server (Xvfb) of the
// test's own, the program under test, and what a test sees of the screen and does on
// it from outside.
#pragma once

#include "support/child_process.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// The window's client area and the character view in it.
namespace window {
inline constexpr int32_t clientHeight = 402;
inline constexpr int32_t viewLeft = 104;
inline constexpr int32_t viewWidth = 167;
inline constexpr int32_t viewHeight = 271;
}  // namespace window

struct _XDisplay;

// A connection to the server DISPLAY names, reading the screen straight from it (GetImage
// of the root window) as 0xRRGGBB, fast enough for one pixel to time the frames it shows.
class ScreenPixel {
public:
    ScreenPixel();
    ~ScreenPixel();
    ScreenPixel(const ScreenPixel&) = delete;
    ScreenPixel& operator=(const ScreenPixel&) = delete;

    // The pixels of the rectangle row by row; empty when it does not lie on the screen.
    std::vector<uint32_t> area(int32_t x, int32_t y, int32_t width, int32_t height) const;
    std::optional<uint32_t> at(int32_t x, int32_t y) const
    {
        const auto pixel = area(x, y, 1, 1);
        return pixel.empty() ? std::nullopt : std::optional(pixel[0]);
    }

private:
    _XDisplay* display_;
};

struct Point {
    int32_t x = 0, y = 0;
};

// A top-level window's place and size on the screen.
struct Geometry {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

std::filesystem::path samplePackage();

// Calls the test until it holds or the time is up; whether it held.
bool waitUntil(const std::function<bool()>& test, std::chrono::milliseconds within);

class ProgramOnXTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts Xvfb on a display it picks and points DISPLAY at it; the reason when it cannot.
    std::string startServer();
    // Starts the program with the arguments, its output in pomelune.log.
    void startProgram(std::vector<std::string> arguments);
    // What a program wrote to its log in the folder.
    std::string logText(const std::string& name) const;

    // The visible windows whose names match the pattern.
    std::vector<std::string> visibleWindows(const std::string& namePattern) const;
    std::optional<Geometry> windowGeometry(const std::string& id) const;
    // The top-left corner of the visible main window's client area, when it shows.
    std::optional<Point> clientOrigin() const;
    bool xdotool(std::vector<std::string> arguments) const;

    // The character view's pixels on the screen, row by row; empty when the window does not show.
    std::vector<uint32_t> viewPixels() const;

    ScratchFolder scratch;
    const std::filesystem::path& folder = scratch.path();
    std::unique_ptr<ChildProcess> program;

private:
    std::vector<std::unique_ptr<ScopedVariable>> variables_;
    std::unique_ptr<ChildProcess> server_;
};
