// The zoomed view's cost in the frame cycle: one idle turn of the main window with the
// sample package playing its anime 1, its events handled (so the views paint), with the
// zoomed view closed or open at 1, 4 and 8 times, showing the same frame again or a new
// frame each turn.
// The summary gives the view's share of a core at 60 turns a second.
#include "app/form1.h"
#include "app/window_main.h"
#include "app/zoom_view.h"
#include "chr/qpchr.h"
#include "platform/clock.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace {

constexpr double TurnsPerSecond = 60;
constexpr double TargetShare = 0.05;

std::map<std::pair<int, bool>, double> secondsPerTurn;  // by zoom (0: closed) and new frame each turn

const uint32_t now = 1000;

TForm1* window = nullptr;  // made by main before the benchmarks run

void IdleTurn(benchmark::State& state)
{
    const int zoom = static_cast<int>(state.range(0));
    const bool changing = state.range(1) != 0;
    ZoomView& view = *window->zoomView;
    if (zoom == 0)
        view.hide();
    else {
        view.show();
        view.resize(QSize(167, 271) * zoom);
    }
    QApplication::processEvents();
    // A frame time of 0 and a frame started just before make every turn show the next
    // frame; a frame time of years keeps the frame.
    window->chr->framewait = changing ? 0 : 1 << 30;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        window->chr->lastclock = now - 1;
        window->runIdleTurn();
        QApplication::processEvents();
    }
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    secondsPerTurn[{zoom, changing}] = spent.count() / static_cast<double>(state.iterations());
}

BENCHMARK(IdleTurn)->ArgsProduct({{0, 1, 4, 8}, {0, 1}})->Unit(benchmark::kMicrosecond);

// The open view's share of a core: its extra time per turn over the closed view's.
void printShares()
{
    std::printf("\n%-6s %-22s %12s %14s  %s\n", "zoom", "frames", "us per turn", "share at 60/s", "target <= 5%");
    for (const bool changing : {false, true}) {
        const auto closed = secondsPerTurn.find({0, changing});
        if (closed == secondsPerTurn.end()) continue;
        for (const int zoom : {1, 4, 8}) {
            const auto open = secondsPerTurn.find({zoom, changing});
            if (open == secondsPerTurn.end()) continue;
            const double share = (open->second - closed->second) * TurnsPerSecond;
            std::printf("%-6d %-22s %12.1f %13.2f%%  %s\n", zoom, changing ? "a new one each turn" : "the same again",
                        open->second * 1e6, share * 100, share <= TargetShare ? "met" : "MISSED");
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const auto runtime = std::filesystem::temp_directory_path() / "pomelune-zoom-bench";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    prepareApplication(application);
    setMillisecondClock([] { return now; });
    {
        TForm1 form({POMELUNE_SOURCE_DIR "/samples/sample.chP"});
        form.show();
        form.runIdleTurn();
        window = &form;
        benchmark::RunSpecifiedBenchmarks();
        window = nullptr;
    }
    benchmark::Shutdown();
    printShares();
    std::filesystem::remove_all(runtime);
    return 0;
}
