// Listing and unpacking a 5 MB character package (.lzh and .zip) through the archive
// component and the archiver libraries, beside Debian's "lha x" and "unzip" unpacking
// the same files in the same run. After the runs it prints our time over theirs.
// Runs from the program's folder, where the libraries lie.
#include "archive/archive_file.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int BitmapWidth = 1024;
constexpr int BitmapHeight = 768;
constexpr int BitmapCount = 2;
constexpr int Runs = 5;

const fs::path& workFolder()
{
    static const fs::path folder = fs::temp_directory_path() / ("archive_bench-" + std::to_string(getpid()));
    return folder;
}

// A package of about 5 MB: two 24-bit bitmaps with smooth areas and noise, as CGs
// are, and a definition.
void writePackage(const fs::path& folder)
{
    fs::create_directories(folder / "cg");
    uint32_t seed = 12345;
    for (int index = 0; index < BitmapCount; ++index) {
        std::ofstream file(folder / ("cg/chara" + std::to_string(index) + ".bmp"), std::ios::binary);
        std::string row(static_cast<size_t>(BitmapWidth) * 3, '\0');
        for (int y = 0; y < BitmapHeight; ++y) {
            for (int x = 0; x < BitmapWidth; ++x) {
                seed = seed * 1103515245u + 12345u;
                const bool noisy = (x / 64 + y / 64 + index) % 3 == 0;
                const auto value = static_cast<char>(noisy ? seed >> 24 : (x + y) / 8);
                row[static_cast<size_t>(x) * 3] = value;
                row[static_cast<size_t>(x) * 3 + 1] = static_cast<char>(y / 4);
                row[static_cast<size_t>(x) * 3 + 2] = static_cast<char>(x / 4);
            }
            file << row;
        }
    }
    std::ofstream(folder / "chara.chP") << "#CHARNAME bench\r\n#CHARBMP cg\\chara0.bmp\r\n";
}

bool packed = false;

void packOnce()
{
    if (packed) return;
    packed = true;
    writePackage(workFolder() / "package");
    const std::string in = "cd '" + (workFolder() / "package").string() + "' && ";
    const std::string lzh = (workFolder() / "package.lzh").string();
    const std::string zip = (workFolder() / "package.zip").string();
    if (std::system((in + "lha -a2o5q '" + lzh + "' chara.chP cg/*.bmp > /dev/null 2>&1").c_str()) != 0)
        std::fprintf(stderr, "lha is missing: no .lzh package\n");
    if (std::system((in + "zip -qr '" + zip + "' chara.chP cg > /dev/null 2>&1").c_str()) != 0)
        std::fprintf(stderr, "zip is missing: no .zip package\n");
}

// The mean time of each benchmark, by name, for the ratios.
std::map<std::string, double> seconds;

template <typename Work>
void timed(benchmark::State& state, const std::string& name, Work work)
{
    packOnce();
    double total = 0;
    for (auto _ : state) {
        const fs::path out = workFolder() / "out";
        fs::remove_all(out);
        const auto start = std::chrono::steady_clock::now();
        if (!work(out)) {
            state.SkipWithError("the package could not be unpacked");
            return;
        }
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    seconds[name] = total / static_cast<double>(state.iterations());
}

// What the main window does with a dropped package: list it, then unpack everything.
bool throughComponent(const fs::path& archive, const fs::path& out)
{
    TArchiveFile component;
    component.SetFileName(archive.string());
    component.Options().a = 0;
    component.Options().m = 1;
    component.Options().n = 1;
    component.Options().x = 1;
    component.Options().ga = 1;
    component.SetOutputSize(8192);
    component.OpenArchive(nullptr, 0);
    INDIVIDUALINFO record{};
    int entries = 0;
    for (int found = component.FindFirst("*.*", record); found == 0; found = component.FindNext(record)) ++entries;
    component.CloseArchive();
    return entries > 0 && component.Extract(nullptr, nullptr, out.string(), nullptr) == 0;
}

void ComponentLzh(benchmark::State& state)
{
    timed(state, "lzh ours", [](const fs::path& out) { return throughComponent(workFolder() / "package.lzh", out); });
}

void LhaX(benchmark::State& state)
{
    timed(state, "lzh peer", [](const fs::path& out) {
        const std::string command = "lha -xfqw='" + out.string() + "' '" + (workFolder() / "package.lzh").string() + "'";
        return std::system(command.c_str()) == 0;
    });
}

void ComponentZip(benchmark::State& state)
{
    timed(state, "zip ours", [](const fs::path& out) { return throughComponent(workFolder() / "package.zip", out); });
}

void Unzip(benchmark::State& state)
{
    timed(state, "zip peer", [](const fs::path& out) {
        const std::string command = "unzip -qo '" + (workFolder() / "package.zip").string() + "' -d '" + out.string() + "'";
        return std::system(command.c_str()) == 0;
    });
}

BENCHMARK(ComponentLzh)->Iterations(Runs)->Unit(benchmark::kMillisecond);
BENCHMARK(LhaX)->Iterations(Runs)->Unit(benchmark::kMillisecond);
BENCHMARK(ComponentZip)->Iterations(Runs)->Unit(benchmark::kMillisecond);
BENCHMARK(Unzip)->Iterations(Runs)->Unit(benchmark::kMillisecond);

void printRatios()
{
    std::printf("\n%-6s %12s %12s %8s  %s\n", "pair", "ours ms", "peer ms", "ratio", "target <= 1.00");
    for (const char* format : {"lzh", "zip"}) {
        const auto ours = seconds.find(std::string(format) + " ours");
        const auto peer = seconds.find(std::string(format) + " peer");
        if (ours == seconds.end() || peer == seconds.end()) continue;
        const double ratio = ours->second / peer->second;
        std::printf("%-6s %12.1f %12.1f %8.2f  %s\n", format, ours->second * 1000, peer->second * 1000, ratio,
                    ratio <= 1.0 ? "met" : "MISSED");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printRatios();
    fs::remove_all(workFolder());
    return 0;
}
