// Listing and unpacking a 5 MB character package (.lzh and .zip) through the archive
// component and the archiver libraries, beside Debian's "lha x" and "unzip" unpacking
// the same files in the same run; after the runs it prints our time over theirs. And
// the main window, on Qt's offscreen platform, from the drop of that package to its
// first frame. Runs from the program's folder, where the libraries lie.
#include "app/form1.h"
#include "app/message_boxes.h"
#include "app/window_main.h"
#include "archive/archive_file.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <sys/stat.h>
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
constexpr uint32_t BmpHeaderSize = 54;
constexpr double FirstFrameTarget = 0.150;

const fs::path& workFolder()
{
    static const fs::path folder = fs::temp_directory_path() / ("archive_bench-" + std::to_string(getpid()));
    return folder;
}

void put32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The header of a bottom-up 24-bit BMP of the bitmaps' size.
std::string bmpHeader()
{
    const uint32_t imageSize = BitmapWidth * 3 * BitmapHeight;
    std::string header = "BM";
    put32(header, BmpHeaderSize + imageSize);
    put32(header, 0);
    put32(header, BmpHeaderSize);
    put32(header, 40);
    put32(header, BitmapWidth);
    put32(header, BitmapHeight);
    put32(header, 1 | (24 << 16));  // one plane, 24 bits per pixel
    put32(header, 0);
    put32(header, imageSize);
    for (int i = 0; i < 4; ++i) put32(header, 0);
    return header;
}

// A package of about 5 MB: two 24-bit bitmaps with smooth areas and noise, as CGs
// are, and a definition.
void writePackage(const fs::path& folder)
{
    fs::create_directories(folder / "cg");
    uint32_t seed = 12345;
    for (int index = 0; index < BitmapCount; ++index) {
        std::ofstream file(folder / ("cg/chara" + std::to_string(index) + ".bmp"), std::ios::binary);
        file << bmpHeader();
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
    std::ofstream(folder / "chara.chP") << "#SIZE 167\r\n#CHARNAME bench\r\n#CHARBMP cg\\chara0.bmp\r\n"
                                           "#1 0 0 167 271\r\n#PATERN 01\r\n";
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
        const std::string command =
            "lha -xfqw='" + out.string() + "' '" + (workFolder() / "package.lzh").string() + "'";
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
        const std::string command =
            "unzip -qo '" + (workFolder() / "package.zip").string() + "' -d '" + out.string() + "'";
        return std::system(command.c_str()) == 0;
    });
}

class NoBoxes : public MessageBoxes {
public:
    void showError(const std::string& text) override { std::fprintf(stderr, "error box: %s\n", text.c_str()); }
    bool askYesNo(const std::string&) override { return false; }
};

// The window is made once; each run drops the package and runs the idle turn that
// draws and shows its first frame.
void DropToFirstFrame(benchmark::State& state)
{
    timed(state, "drop", [](const fs::path&) {
        static TForm1* const form = [] {
            fs::create_directories(workFolder() / "runtime");
            chmod((workFolder() / "runtime").c_str(), 0700);
            setenv("XDG_RUNTIME_DIR", (workFolder() / "runtime").c_str(), 1);
            qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "archive_bench";
            static char* argv[] = {name, nullptr};
            static QApplication application(argc, argv);
            prepareApplication(application);
            return new TForm1({}, std::make_unique<NoBoxes>());
        }();
        const bool dropped = form->runGuarded([] { form->WMDropFiles({(workFolder() / "package.lzh").string()}); });
        form->runIdleTurn();
        return dropped && form->fromarchive;
    });
}

BENCHMARK(ComponentLzh)->Iterations(Runs)->Unit(benchmark::kMillisecond);
BENCHMARK(LhaX)->Iterations(Runs)->Unit(benchmark::kMillisecond);
BENCHMARK(ComponentZip)->Iterations(Runs)->Unit(benchmark::kMillisecond);
BENCHMARK(Unzip)->Iterations(Runs)->Unit(benchmark::kMillisecond);
BENCHMARK(DropToFirstFrame)->Iterations(Runs)->Unit(benchmark::kMillisecond);

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
    if (const auto drop = seconds.find("drop"); drop != seconds.end())
        std::printf("drop of the .lzh package to its first frame: %.1f ms (target < %.0f ms: %s)\n",
                    drop->second * 1000, FirstFrameTarget * 1000, drop->second < FirstFrameTarget ? "met" : "MISSED");
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
