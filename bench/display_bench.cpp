// The display layer's hot paths beside SDL2 doing the same work in the same run:
// one character-view frame on a 32-bit back buffer (an opaque stretch, a keyed copy
// and a keyed stretch), and loading a 1024 x 1024 24-bit bitmap into a 32-bit
// surface, from a file and from memory. After the runs it prints our time over
// SDL2's for each pair.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include "display/offscreen_display.h"
#include "platform/testing.h"
#include "support/bmp_writer.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

// ---- frame geometry ----

constexpr int32_t BackWidth = 272;
constexpr int32_t BackHeight = 402;
constexpr Rect View{8, 8, 8 + 167, 8 + 271};

struct CellSize {
    int32_t width;
    int32_t height;
};
constexpr CellSize BodyCell{121, 271};  // stretched, opaque, to the whole view
constexpr CellSize PartCell{64, 96};  // copied with its key
constexpr CellSize EffectCell{40, 40};  // stretched with its key to twice its size
constexpr Rect PartDest{View.left + 50, View.top + 90, View.left + 50 + PartCell.width,
                        View.top + 90 + PartCell.height};
constexpr Rect EffectDest{View.left + 70, View.top + 170, View.left + 70 + 2 * EffectCell.width,
                          View.top + 170 + 2 * EffectCell.height};

constexpr uint32_t KeyColor = 0x00FF00FF;

// A varied 0x00RRGGBB picture: the key outside a centred ellipse that covers two
// thirds of the cell (as around a character drawn on a key-coloured ground),
// gradients and a texture inside, never equal to the key.
std::vector<uint32_t> makePicture(CellSize size)
{
    const double scale = std::sqrt(8.0 / (3.0 * std::numbers::pi));  // ellipse area = 2/3 of the cell
    const double rx = size.width / 2.0 * scale;
    const double ry = size.height / 2.0 * scale;
    std::vector<uint32_t> pixels(static_cast<size_t>(size.width) * size.height);
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) {
            const double dx = (x + 0.5 - size.width / 2.0) / rx;
            const double dy = (y + 0.5 - size.height / 2.0) / ry;
            uint32_t color = KeyColor;
            if (dx * dx + dy * dy <= 1.0) {
                const uint32_t r = static_cast<uint32_t>(x * 255 / size.width);
                const uint32_t g = static_cast<uint32_t>(y * 255 / size.height);
                const uint32_t b = static_cast<uint32_t>(((x ^ y) * 8) & 255);
                color = (r << 16) | (g << 8) | b;
                if (color == KeyColor) color ^= 1;
            }
            pixels[static_cast<size_t>(y) * size.width + x] = color;
        }
    }
    return pixels;
}

// ---- our side ----

// A display component on the software device with an X8R8G8B8 back buffer, logging
// and halting off, and the three cells of a frame.
class OurScene {
public:
    OurScene()
    {
        DDFaultInjection::reset();
        setScreenPixelFormat(pixelFormatXrgb8888());
        dddd.setDebugOption({});
        if (!setUpOffscreenDisplay(dddd, BackWidth, BackHeight)) return;
        body = makeCell(BodyCell);
        part = makeCell(PartCell);
        effect = makeCell(EffectCell);
    }
    ~OurScene()
    {
        body.reset();
        part.reset();
        effect.reset();
    }

    bool ready() const { return body && part && effect && body->DDSurface && part->DDSurface && effect->DDSurface; }

    HRESULT opaqueStretch()
    {
        return dddd.BackBuffer->Blt(body.get(), View, Rect{0, 0, BodyCell.width, BodyCell.height}, DDBLT_WAIT,
                                    noEffects);
    }
    HRESULT keyedCopy()
    {
        return dddd.BackBuffer->BltFast(part.get(), PartDest.left, PartDest.top,
                                        Rect{0, 0, PartCell.width, PartCell.height},
                                        DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
    }
    HRESULT keyedStretch()
    {
        return dddd.BackBuffer->Blt(effect.get(), EffectDest, Rect{0, 0, EffectCell.width, EffectCell.height},
                                    DDBLT_WAIT | DDBLT_KEYSRC, noEffects);
    }

    TDDDD dddd;
    std::unique_ptr<TDDDDSurface> body, part, effect;

private:
    std::unique_ptr<TDDDDSurface> makeCell(CellSize size)
    {
        auto cell = std::make_unique<TDDDDSurface>(&dddd, size.width, size.height, 0);
        if (!cell->DDSurface) return cell;
        cell->SetColorKey(cell->MakeColor(0, (KeyColor >> 16) & 255, (KeyColor >> 8) & 255, KeyColor & 255));
        DDSURFACEDESC2 desc;
        desc.dwSize = sizeof desc;
        if (cell->DDSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return cell;
        const auto pixels = makePicture(size);
        for (int32_t y = 0; y < size.height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) +
                                                    static_cast<int64_t>(y) * desc.lPitch);
            for (int32_t x = 0; x < size.width; ++x) row[x] = pixels[static_cast<size_t>(y) * size.width + x];
        }
        cell->DDSurface->Unlock(nullptr);
        return cell;
    }

    const DDBLTFX noEffects{};
};

// ---- SDL2's side ----

struct SdlSurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SdlSurface = std::unique_ptr<SDL_Surface, SdlSurfaceDeleter>;

SDL_Rect sdlRect(const Rect& r) { return SDL_Rect{r.left, r.top, r.width(), r.height()}; }

class SdlScene {
public:
    SdlScene()
            : back(SDL_CreateRGBSurfaceWithFormat(0, BackWidth, BackHeight, 32, SDL_PIXELFORMAT_XRGB8888)),
              body(makeCell(BodyCell, false)),
              part(makeCell(PartCell, true)),
              effect(makeCell(EffectCell, true))
    {
    }

    bool ready() const { return back && body && part && effect; }

    int opaqueStretch()
    {
        SDL_Rect from{0, 0, BodyCell.width, BodyCell.height};
        SDL_Rect to = sdlRect(View);
        return SDL_BlitScaled(body.get(), &from, back.get(), &to);
    }
    int keyedCopy()
    {
        SDL_Rect from{0, 0, PartCell.width, PartCell.height};
        SDL_Rect to = sdlRect(PartDest);
        return SDL_BlitSurface(part.get(), &from, back.get(), &to);
    }
    int keyedStretch()
    {
        SDL_Rect from{0, 0, EffectCell.width, EffectCell.height};
        SDL_Rect to = sdlRect(EffectDest);
        return SDL_BlitScaled(effect.get(), &from, back.get(), &to);
    }

    SdlSurface back, body, part, effect;

private:
    static SdlSurface makeCell(CellSize size, bool keyed)
    {
        SdlSurface cell(SDL_CreateRGBSurfaceWithFormat(0, size.width, size.height, 32, SDL_PIXELFORMAT_XRGB8888));
        if (!cell) return cell;
        const auto pixels = makePicture(size);
        for (int32_t y = 0; y < size.height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(cell->pixels) +
                                                    static_cast<int64_t>(y) * cell->pitch);
            for (int32_t x = 0; x < size.width; ++x) row[x] = pixels[static_cast<size_t>(y) * size.width + x];
        }
        if (keyed && SDL_SetColorKey(cell.get(), SDL_TRUE, KeyColor) != 0) cell.reset();
        return cell;
    }
};

// ---- the frame ----

// Counts the view's pixels that differ between the two back buffers after one
// frame on each, both cleared first: a check that both sides do the same work.
int64_t differingPixels(OurScene& ours, SdlScene& sdl)
{
    DDBLTFX fill{};
    fill.dwFillColor = 0;
    ours.dddd.BackBuffer->DDSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
    SDL_FillRect(sdl.back.get(), nullptr, 0);
    ours.opaqueStretch();
    ours.keyedCopy();
    ours.keyedStretch();
    sdl.opaqueStretch();
    sdl.keyedCopy();
    sdl.keyedStretch();
    int64_t differing = 0;
    auto* surface = ours.dddd.BackBuffer->DDSurface.get();
    for (int32_t y = View.top; y < View.bottom; ++y) {
        const auto* a = reinterpret_cast<const uint32_t*>(surface->row(y));
        const auto* b = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(sdl.back->pixels) +
                                                          static_cast<int64_t>(y) * sdl.back->pitch);
        for (int32_t x = View.left; x < View.right; ++x) differing += (a[x] & 0xFFFFFF) != (b[x] & 0xFFFFFF);
    }
    return differing;
}

template <typename Step>
void runFrameStep(benchmark::State& state, Step step)
{
    if (step() != 0) {
        state.SkipWithError("the copy failed");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(step());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

// ---- LoadBMP ----

constexpr int32_t BitmapSide = 1024;

std::vector<uint8_t> makeBigBitmap()
{
    BitmapPicture picture;
    picture.width = BitmapSide;
    picture.height = BitmapSide;
    picture.bitCount = 24;
    picture.pixels.resize(static_cast<size_t>(BitmapSide) * BitmapSide);
    for (int32_t y = 0; y < BitmapSide; ++y)
        for (int32_t x = 0; x < BitmapSide; ++x)
            picture.pixels[static_cast<size_t>(y) * BitmapSide + x] = (static_cast<uint32_t>(x & 255) << 16) |
                                                                      (static_cast<uint32_t>(y & 255) << 8) |
                                                                      static_cast<uint32_t>((x * 7 + y * 13) & 255);
    return makeBmp(picture);
}

// True when the surface holds the big bitmap's picture at a few places.
bool holdsBigBitmap(TDDDDSurface& surface)
{
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{1023, 0}, std::pair{517, 901}, std::pair{1023, 1023}}) {
        const uint32_t expected = (static_cast<uint32_t>(x & 255) << 16) | (static_cast<uint32_t>(y & 255) << 8) |
                                  static_cast<uint32_t>((x * 7 + y * 13) & 255);
        if ((surface.GetPixel(x, y) & 0xFFFFFF) != expected) return false;
    }
    return true;
}

// ---- ratios ----

// Passes runs on to the console and keeps each benchmark's real time per
// iteration: the median over repetitions, or the single run's.
class RatioCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (median || single)
                nanoseconds[run.run_name.function_name] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> nanoseconds;
};

struct Pair {
    std::string name;
    double target;  // largest acceptable ratio; 0 for none
};

void printRatios(const RatioCollector& collector, const std::vector<Pair>& pairs)
{
    std::printf("\n%-32s %14s %14s %8s  %s\n", "pair", "pomelune ns", "sdl2 ns", "ratio", "target");
    for (const auto& pair : pairs) {
        const auto ours = collector.nanoseconds.find(pair.name + "/pomelune");
        const auto theirs = collector.nanoseconds.find(pair.name + "/sdl2");
        if (ours == collector.nanoseconds.end() || theirs == collector.nanoseconds.end()) {
            std::printf("%-32s %14s %14s %8s\n", pair.name.c_str(), "-", "-", "-");
            continue;
        }
        const double ratio = ours->second / theirs->second;
        std::string verdict = "-";
        if (pair.target > 0) {
            char text[48];
            std::snprintf(text, sizeof text, "<= %.2f %s", pair.target, ratio <= pair.target ? "met" : "MISSED");
            verdict = text;
        }
        std::printf("%-32s %14.0f %14.0f %8.3f  %s\n", pair.name.c_str(), ours->second, theirs->second, ratio,
                    verdict.c_str());
    }
}

bool hasFlag(int argc, char** argv, const std::string& flag)
{
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind(flag, 0) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    SDL_SetMainReady();

    OurScene ours;
    SdlScene sdl;
    if (!ours.ready() || !sdl.ready()) {
        std::fprintf(stderr, "display_bench: could not set up the frame (%s)\n", SDL_GetError());
        return 1;
    }
    std::printf("frame check: %lld of %d view pixels differ between pomelune and sdl2\n",
                static_cast<long long>(differingPixels(ours, sdl)), View.width() * View.height());

    const std::vector<uint8_t> bitmap = makeBigBitmap();
    const std::filesystem::path bitmapPath =
        std::filesystem::temp_directory_path() / ("pomelune-bench-" + std::to_string(::getpid()) + ".bmp");
    std::ofstream(bitmapPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(bitmap.data()), static_cast<std::streamsize>(bitmap.size()));
    const std::string bitmapFile = bitmapPath.string();
    TDDDDSurface loaded(&ours.dddd, BitmapSide, BitmapSide, 0);

    // Frame parts and the whole frame, ours then SDL2's.
    benchmark::RegisterBenchmark("frame/opaque_stretch/pomelune",
                                 [&](benchmark::State& s) { runFrameStep(s, [&] { return ours.opaqueStretch(); }); });
    benchmark::RegisterBenchmark("frame/opaque_stretch/sdl2",
                                 [&](benchmark::State& s) { runFrameStep(s, [&] { return sdl.opaqueStretch(); }); });
    benchmark::RegisterBenchmark("frame/keyed_copy/pomelune",
                                 [&](benchmark::State& s) { runFrameStep(s, [&] { return ours.keyedCopy(); }); });
    benchmark::RegisterBenchmark("frame/keyed_copy/sdl2",
                                 [&](benchmark::State& s) { runFrameStep(s, [&] { return sdl.keyedCopy(); }); });
    benchmark::RegisterBenchmark("frame/keyed_stretch/pomelune",
                                 [&](benchmark::State& s) { runFrameStep(s, [&] { return ours.keyedStretch(); }); });
    benchmark::RegisterBenchmark("frame/keyed_stretch/sdl2",
                                 [&](benchmark::State& s) { runFrameStep(s, [&] { return sdl.keyedStretch(); }); });
    benchmark::RegisterBenchmark("frame/whole/pomelune", [&](benchmark::State& s) {
        runFrameStep(s, [&] { return ours.opaqueStretch() | ours.keyedCopy() | ours.keyedStretch(); });
    });
    benchmark::RegisterBenchmark("frame/whole/sdl2", [&](benchmark::State& s) {
        runFrameStep(s, [&] { return sdl.opaqueStretch() | sdl.keyedCopy() | sdl.keyedStretch(); });
    });

    // LoadBMP from a file and from memory.
    benchmark::RegisterBenchmark("loadbmp/file/pomelune", [&](benchmark::State& s) {
        for (auto _ : s) {
            loaded.LoadBMP(bitmapFile);
            benchmark::ClobberMemory();
        }
        if (!holdsBigBitmap(loaded)) s.SkipWithError("the picture did not load");
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("loadbmp/file/sdl2", [&](benchmark::State& s) {
        for (auto _ : s) {
            SDL_Surface* surface = SDL_LoadBMP(bitmapFile.c_str());
            if (!surface) {
                s.SkipWithError(SDL_GetError());
                break;
            }
            SDL_FreeSurface(surface);
        }
    })->Unit(benchmark::kMicrosecond);
    MemoryStream memory(bitmap);
    benchmark::RegisterBenchmark("loadbmp/memory/pomelune", [&](benchmark::State& s) {
        for (auto _ : s) {
            memory.setPosition(0);
            loaded.LoadBMP(memory);
            benchmark::ClobberMemory();
        }
        if (!holdsBigBitmap(loaded)) s.SkipWithError("the picture did not load");
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("loadbmp/memory/sdl2", [&](benchmark::State& s) {
        for (auto _ : s) {
            SDL_Surface* surface =
                SDL_LoadBMP_RW(SDL_RWFromConstMem(bitmap.data(), static_cast<int>(bitmap.size())), 1);
            if (!surface) {
                s.SkipWithError(SDL_GetError());
                break;
            }
            SDL_FreeSurface(surface);
        }
    })->Unit(benchmark::kMicrosecond);
    // The big bitmap's headers alone: the rows the file lacks are filled without
    // reading, so this costs about one pass over the surface.
    MemoryStream headersOnly(std::vector<uint8_t>(bitmap.begin(), bitmap.begin() + 54));
    benchmark::RegisterBenchmark("loadbmp/headers_only/pomelune", [&](benchmark::State& s) {
        for (auto _ : s) {
            headersOnly.setPosition(0);
            loaded.LoadBMP(headersOnly);
            benchmark::ClobberMemory();
        }
    })->Unit(benchmark::kMicrosecond);
    // SDL_LoadBMP keeps the file's 24-bit layout; this pair adds its conversion to
    // X8R8G8B8, the work our LoadBMP does in the same call.
    benchmark::RegisterBenchmark("loadbmp/file_to_xrgb8888/pomelune", [&](benchmark::State& s) {
        for (auto _ : s) {
            loaded.LoadBMP(bitmapFile);
            benchmark::ClobberMemory();
        }
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("loadbmp/file_to_xrgb8888/sdl2", [&](benchmark::State& s) {
        for (auto _ : s) {
            SDL_Surface* surface = SDL_LoadBMP(bitmapFile.c_str());
            SDL_Surface* converted = surface ? SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_XRGB8888, 0) : nullptr;
            SDL_FreeSurface(surface);
            if (!converted) {
                s.SkipWithError(SDL_GetError());
                break;
            }
            SDL_FreeSurface(converted);
        }
    })->Unit(benchmark::kMicrosecond);

    // Five repetitions by default, reported as mean, median and deviation.
    std::vector<std::string> arguments(argv, argv + argc);
    if (!hasFlag(argc, argv, "--benchmark_repetitions")) arguments.push_back("--benchmark_repetitions=5");
    if (!hasFlag(argc, argv, "--benchmark_report_aggregates_only"))
        arguments.push_back("--benchmark_report_aggregates_only=true");
    std::vector<char*> pointers;
    for (auto& argument : arguments) pointers.push_back(argument.data());
    int count = static_cast<int>(pointers.size());
    benchmark::Initialize(&count, pointers.data());
    if (benchmark::ReportUnrecognizedArguments(count, pointers.data())) return 1;

    RatioCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    std::filesystem::remove(bitmapPath);

    printRatios(collector, {{"frame/opaque_stretch", 0},
                            {"frame/keyed_copy", 0},
                            {"frame/keyed_stretch", 0},
                            {"frame/whole", 0.5},
                            {"loadbmp/file", 1.0},
                            {"loadbmp/memory", 1.0},
                            {"loadbmp/file_to_xrgb8888", 0}});
    return 0;
}
