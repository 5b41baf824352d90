// The character engine's hot paths: loading a definition with every table full
// (31 animes with 511-frame lists, 255 patterns), and one turn of the frame cycle
// (step and draw of a frame with background, stretched character cell and layer).
#include "chr/qpchr.h"
#include "display/offscreen_display.h"
#include "platform/clock.h"
#include "tests/support/bmp_writer.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

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
            for (int x = 0; x < 256; ++x) cg.pixels.push_back(static_cast<uint32_t>((x * 7) << 16 | (y * 3) << 8 | ((x ^ y) & 255)));
        const auto bmp = makeBmp(cg);
        std::ofstream(folder / "cg.bmp", std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
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

}  // namespace

BENCHMARK_MAIN();
