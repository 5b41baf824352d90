// Export of a 30-frame anime of the sample package (121 x 271, more than 256 colours,
// so through the median cut) as an animated GIF, beside ImageMagick's convert
// assembling the same GIF from the PNG frames --render writes, in the same run; and
// the same anime as a sprite sheet.
#include "app/anime_export.h"
#include "app/render_frames.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr int32_t benchAnime = 9;
constexpr int32_t frameCount = 30;

// The sample package in a private folder, with anime 9 playing the first 30 frames
// of anime 1, and those frames as --render writes them in frames/.
class SamplePackage {
public:
    SamplePackage()
            : folder_(std::filesystem::temp_directory_path() / ("pomelune-export-bench-" + std::to_string(::getpid())))
    {
        const std::filesystem::path samples = std::filesystem::path(POMELUNE_SOURCE_DIR) / "samples";
        std::filesystem::create_directories(folder_);
        std::filesystem::copy_file(samples / "sample.bmp", folder_ / "sample.bmp");
        std::ifstream in(samples / "sample.chP", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        // "#PATERN 01 " then the source and destination lists, two digits per frame.
        const std::string all = text.str();
        const size_t line = all.find("#PATERN 01 ") + 11;
        const size_t space = all.find(' ', line);
        std::ofstream(definition(), std::ios::binary) << all << "\r\n#PATERN 09 " << all.substr(line, 2 * frameCount)
                                                      << " " << all.substr(space + 1, 2 * frameCount) << "\r\n";
        OffscreenDisplay display;
        Tqpchr chr(&display.dddd());
        chr.load(definition());
        renderFrames(chr, display, {benchAnime, {}, folder_ / "frames", {}});
    }
    ~SamplePackage() { std::filesystem::remove_all(folder_); }

    std::string definition() const { return (folder_ / "bench.chP").string(); }
    std::filesystem::path path(const std::string& name) const { return folder_ / name; }

private:
    std::filesystem::path folder_;
};

SamplePackage& package()
{
    static SamplePackage made;
    return made;
}

void exportOnce(benchmark::State& state, const std::string& name, int32_t scale)
{
    SamplePackage& sample = package();
    for (auto _ : state) {
        OffscreenDisplay display;
        Tqpchr chr(&display.dddd());
        chr.load(sample.definition());
        exportAnime(chr, display, {benchAnime, sample.path(name), scale, {}});
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(sample.path(name)));
}

void PomeluneGif(benchmark::State& state) { exportOnce(state, "pomelune.gif", 1); }
void PomeluneGifScale3(benchmark::State& state) { exportOnce(state, "pomelune3.gif", 3); }
void PomeluneSheet(benchmark::State& state) { exportOnce(state, "pomelune.png", 1); }

// The sample's 80 ms per frame is 8 centiseconds.
void ConvertGif(benchmark::State& state)
{
    SamplePackage& sample = package();
    const std::string command = "convert -delay 8 -loop 0 " + sample.path("frames").string() + "/frame*.png " +
                                sample.path("convert.gif").string();
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("convert failed");
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(sample.path("convert.gif")));
}

}  // namespace

BENCHMARK(PomeluneGif)->Unit(benchmark::kMillisecond);
BENCHMARK(ConvertGif)->Unit(benchmark::kMillisecond);
BENCHMARK(PomeluneGifScale3)->Unit(benchmark::kMillisecond);
BENCHMARK(PomeluneSheet)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
