// The end-to-end tests' X server, program and outside view of the screen.
#include "support/program_on_x.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;

ScreenPixel::ScreenPixel() : display_(XOpenDisplay(nullptr)) {}

ScreenPixel::~ScreenPixel()
{
    if (display_) XCloseDisplay(display_);
}

std::vector<uint32_t> ScreenPixel::area(int32_t x, int32_t y, int32_t width, int32_t height) const
{
    // A request outside the root window would be a protocol error, which ends the
    // process under Xlib's default handler.
    if (!display_ || x < 0 || y < 0 || x + width > DisplayWidth(display_, DefaultScreen(display_)) ||
        y + height > DisplayHeight(display_, DefaultScreen(display_)))
        return {};
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return {};
    std::vector<uint32_t> pixels;
    for (int32_t i = 0; i < width * height; ++i)
        pixels.push_back(static_cast<uint32_t>(XGetPixel(image, i % width, i / width) & 0xFFFFFF));
    XDestroyImage(image);
    return pixels;
}

std::filesystem::path samplePackage()
{
    const char* source = std::getenv("POMELUNE_SOURCE_DIR");
    return std::filesystem::path(source ? source : ".") / "samples" / "sample.chP";
}

bool waitUntil(const std::function<bool()>& test, std::chrono::milliseconds within)
{
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (!test()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

void ProgramOnXTest::SetUp()
{
    // No program of the test talks to a bus of the machine's session.
    variables_.push_back(std::make_unique<ScopedVariable>("DBUS_SESSION_BUS_ADDRESS", std::nullopt));
}

void ProgramOnXTest::TearDown()
{
    program.reset();  // before its server, which the members end first
}

std::string ProgramOnXTest::startServer()
{
    // Xvfb writes its display number to descriptor 3 once it serves.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return "no pipe";
    server_ = std::make_unique<ChildProcess>(std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0",
                                                                      "1024x768x24", "-nolisten", "tcp", "-noreset"},
                                             folder / "xvfb.log", fds[1]);
    ::close(fds[1]);
    std::string display;
    pollfd poller{fds[0], POLLIN, 0};
    for (char c = 0; ::poll(&poller, 1, 15000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n';) display += c;
    ::close(fds[0]);
    if (display.empty() || !server_->running()) return "Xvfb did not report a display within 15 s";
    variables_.push_back(std::make_unique<ScopedVariable>("DISPLAY", ":" + display));
    variables_.push_back(std::make_unique<ScopedVariable>("WAYLAND_DISPLAY", std::nullopt));
    variables_.push_back(std::make_unique<ScopedVariable>("QT_QPA_PLATFORM", "xcb"));
    // The server names its display before it takes connections.
    if (!waitUntil([this] { return xdotool({"getdisplaygeometry"}) || !server_->running(); }, 15s) ||
        !server_->running())
        return "Xvfb took no connections within 15 s";
    return "";
}

void ProgramOnXTest::startProgram(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), POMELUNE_EXECUTABLE);
    program = std::make_unique<ChildProcess>(arguments, folder / "pomelune.log");
}

std::string ProgramOnXTest::logText(const std::string& name) const
{
    return {std::istreambuf_iterator<char>(std::ifstream(folder / name).rdbuf()), {}};
}

std::vector<std::string> ProgramOnXTest::visibleWindows(const std::string& namePattern) const
{
    std::istringstream ids(runCommand({"xdotool", "search", "--onlyvisible", "--name", namePattern}, 5s).output);
    return {std::istream_iterator<std::string>(ids), {}};
}

std::optional<Geometry> ProgramOnXTest::windowGeometry(const std::string& id) const
{
    const CommandResult result = runCommand({"xdotool", "getwindowgeometry", "--shell", id}, 5s);
    Geometry g;
    if (result.status != 0 || std::sscanf(result.output.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &g.x, &g.y,
                                          &g.width, &g.height) != 4)
        return std::nullopt;
    return g;
}

std::optional<Point> ProgramOnXTest::clientOrigin() const
{
    for (const std::string& id : visibleWindows("^Pomelune!$")) {
        const auto window = windowGeometry(id);
        // The menu bar lies above the client area, inside the window; a message box
        // of the same name is smaller.
        if (window && window->width >= window::viewLeft + window::viewWidth && window->height >= window::clientHeight)
            return Point{window->x, window->y + window->height - window::clientHeight};
    }
    return std::nullopt;
}

bool ProgramOnXTest::xdotool(std::vector<std::string> arguments) const
{
    arguments.insert(arguments.begin(), "xdotool");
    return runCommand(arguments, 10s).status == 0;
}

std::vector<uint32_t> ProgramOnXTest::viewPixels() const
{
    const auto client = clientOrigin();
    return client ? ScreenPixel().area(client->x + window::viewLeft, client->y, window::viewWidth, window::viewHeight)
                  : std::vector<uint32_t>{};
}
