// The character engine's hot paths: loading a definition with every table full
// (31 animes with 511-frame lists, 255 patterns), checking the same definition
// (which must take well under a load), and one turn of the frame cycle (step and
// draw of a frame with background, stretched character cell and layer);
// and its limits: a 1 MB definition naming missing files beside 2,000 others (each
// folder listed once per load, against a listing per name as the peer), and a
// 63 MB definition of empty lines (one buffer, linear time).
#include "chr/lint.h"
#include "chr/qpchr.h"
#include "display/offscreen_display.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "support/bmp_writer.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string hexPairs(int count, int offset)
{
    std::string list;
    char pair[3];
    for (int i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", (i + offset) % 255 + 1);
        list += pair;
    }
    return list;
}

// Per anime: a 511-entry source list ("#PATERN01" and the list fill the 1024
// characters read of a line), the same for the layer, then lines with source and
// destination lists; 255 pattern cells in hexadecimal.
std::string fullDefinition()
{
    std::string text = "#CHARNAME Bench\r\n#ANIME 60\r\n#SIZE 167\r\n#CHARBMP cg.bmp\r\n#DATA16\r\n";
    char line[64];
    for (int p = 1; p <= 255; ++p) {
        std::snprintf(line, sizeof line, "#%02X %d %d 40 40\r\n", p, (p % 6) * 40, (p / 6) * 40 % 480);
        text += line;
    }
    for (int a = 0; a <= 30; ++a) {
        char number[3];
        std::snprintf(number, sizeof number, "%02d", a);
        text += "#PATERN" + std::string(number) + hexPairs(511, a) + "\r\n";
        text += "#LAYER" + std::string(number) + hexPairs(511, a + 1) + "\r\n";
        text += "#PATERN " + std::string(number) + " " + hexPairs(254, a) + " " + hexPairs(254, a + 2) + "\r\n";
        text += "#LAYER " + std::string(number) + " " + hexPairs(254, a + 3) + " " + hexPairs(254, a + 4) + "\r\n";
        text += "#LOOP " + std::string(number) + " 2\r\n";
    }
    return text;
}

class Package {
public:
    Package() : folder(std::filesystem::temp_directory_path() / ("pomelune-engine-bench-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(folder);
        BitmapPicture cg{256, 512, 24, {}, {}};
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 256; ++x)
                cg.pixels.push_back(static_cast<uint32_t>((x * 7) << 16 | (y * 3) << 8 | ((x ^ y) & 255)));
        const auto bmp = makeBmp(cg);
        std::ofstream(folder / "cg.bmp", std::ios::binary)
            .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
        std::ofstream(folder / "bench.chP", std::ios::binary) << fullDefinition();
        setScreenPixelFormat(pixelFormatXrgb8888());
        dddd.setDebugOption({});
        setUpOffscreenDisplay(dddd, 272, 402);
        chr = std::make_unique<Tqpchr>(&dddd);
    }
    ~Package()
    {
        chr.reset();
        std::filesystem::remove_all(folder);
    }
    std::string definition() const { return (folder / "bench.chP").string(); }

    std::filesystem::path folder;
    TDDDD dddd;
    std::unique_ptr<Tqpchr> chr;
};

Package& package()
{
    static Package made;
    return made;
}

void loadFullDefinition(benchmark::State& state)
{
    Package& p = package();
    for (auto _ : state) p.chr->load(p.definition());
    state.counters["frames"] = static_cast<double>(p.chr->patsrc[30][511]);
}
BENCHMARK(loadFullDefinition)->Unit(benchmark::kMicrosecond);

// The definition check of the same file: the same lines and the CG's headers, but
// no pixels; its time beside loadFullDefinition's is the margin.
void checkFullDefinition(benchmark::State& state)
{
    Package& p = package();
    size_t findings = 0;
    for (auto _ : state) findings = lintDefinition(p.definition()).findings.size();
    state.counters["findings"] = static_cast<double>(findings);
}
BENCHMARK(checkFullDefinition)->Unit(benchmark::kMicrosecond);

// One frame cycle: the clock moves on a frame time each turn, so every step advances.
void stepAndDraw(benchmark::State& state)
{
    Package& p = package();
    p.chr->load(p.definition());
    p.chr->start(1);
    uint32_t now = p.chr->lastclock;
    setMillisecondClock([&now] { return now; });
    for (auto _ : state) {
        now += static_cast<uint32_t>(p.chr->framewait) + 1;
        p.chr->step();
        p.chr->draw(*p.dddd.BackBuffer, 0, 0);
    }
    setMillisecondClock({});
}
BENCHMARK(stepAndDraw)->Unit(benchmark::kMicrosecond);

// A folder of 2,000 files and a definition of about 1 MB whose every line names a
// file that is not there, so each name goes down to the case-insensitive search.
class CrowdedPackage {
public:
    CrowdedPackage()
            : folder(std::filesystem::temp_directory_path() / ("pomelune-crowded-bench-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(folder);
        for (int i = 0; i < 2000; ++i) std::ofstream(folder / ("Picture" + std::to_string(i) + ".BMP")) << "x";
        std::string text;
        for (int i = 0; text.size() < (1u << 20); ++i) text += "#CHARFACE missing" + std::to_string(i) + ".bmp\r\n";
        lines = static_cast<int64_t>(std::count(text.begin(), text.end(), '\n'));
        std::ofstream(folder / "crowded.chP", std::ios::binary) << text;
        setScreenPixelFormat(pixelFormatXrgb8888());
        dddd.setDebugOption({});
        setUpOffscreenDisplay(dddd, 272, 402);
        chr = std::make_unique<Tqpchr>(&dddd);
    }
    ~CrowdedPackage()
    {
        chr.reset();
        std::filesystem::remove_all(folder);
    }

    std::filesystem::path folder;
    int64_t lines = 0;
    TDDDD dddd;
    std::unique_ptr<Tqpchr> chr;
};

CrowdedPackage& crowded()
{
    static CrowdedPackage made;
    return made;
}

void loadNamesBesideManyFiles(benchmark::State& state)
{
    CrowdedPackage& p = crowded();
    for (auto _ : state) p.chr->load((p.folder / "crowded.chP").string());
    state.counters["lines"] = static_cast<double>(p.lines);
    state.counters["files"] = 2000;
}
BENCHMARK(loadNamesBesideManyFiles)->Unit(benchmark::kMillisecond);

// Per name: one resolver for the whole load against a fresh one per name (a
// listing of the 2,000 files each time). The ratio of the two is the gain.
void resolveMissingName(benchmark::State& state)
{
    CrowdedPackage& p = crowded();
    const bool shared = state.range(0) == 1;
    PackagePathResolver resolver;
    int i = 0;
    for (auto _ : state) {
        const std::string name = (p.folder / ("missing" + std::to_string(i++ % 1000) + ".bmp")).string();
        benchmark::DoNotOptimize(shared ? resolver.resolve(name) : PackagePathResolver().resolve(name));
    }
    state.SetLabel(shared ? "one resolver per load" : "peer: a listing per name");
}
BENCHMARK(resolveMissingName)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// 63 MB of empty lines: read into one buffer and walked through as views.
void loadEmptyLines(benchmark::State& state)
{
    Package& p = package();
    const auto path = p.folder / "empty.chP";
    const std::string lines(size_t{63} << 20, '\n');
    std::ofstream(path, std::ios::binary) << lines;
    for (auto _ : state) p.chr->load(path.string());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(lines.size()));
    std::filesystem::remove(path);
}
BENCHMARK(loadEmptyLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
