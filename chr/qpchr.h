// The character engine: everything known about the loaded character (name, CG,
// pattern cells, the frame lists of its animes) and the state of the anime playing.
// All tables have fixed capacities and live inside the object.
#pragma once

#include "display/dddd.h"
#include "platform/rect.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class PackagePathResolver;
namespace definition_text {
enum class Keyword;
}

class Tqpchr {
public:
    static constexpr int AnimeCount = 31;  // animes 0..30
    static constexpr int FrameCount = 512;  // frames 0..511
    static constexpr int PatternCount = 256;
    static constexpr int ViewHeight = 271;
    static constexpr int CheckAnime = 30;

    using FrameTable = std::array<std::array<int32_t, FrameCount>, AnimeCount>;

    // Creates the placeholder CG surface (128 x 192, colour key 64) and resets.
    explicit Tqpchr(TDDDD* display);
    ~Tqpchr();
    Tqpchr(const Tqpchr&) = delete;
    Tqpchr& operator=(const Tqpchr&) = delete;

    void reset();
    // Reads a definition file whole (see the definition parser) and loads its CG.
    void load(const std::string& fileName);
    // Loads the bitmap named by cgfile into a new CG surface keyed by its
    // bottom-right pixel.
    void loadcg();

    void start(int32_t n);
    void step();
    // Milliseconds from now until step advances a frame: to the millisecond after
    // lastclock + framewait, 0 when that has come already.
    int64_t untilNextFrame(uint32_t now) const;
    void draw(TDDDDGenSurface& target, int32_t x, int32_t y);

    // A table entry, -1 for frames and animes outside the tables.
    static int32_t entry(const FrameTable& table, int32_t anime, int32_t frame);
    // An anime plays from frame 1 and ends at its first frame with neither a
    // pattern nor a layer cell.
    bool hasFrame(int32_t anime, int32_t frame) const;
    // The frames before that end: 0 for an anime without frame 1.
    int32_t animeFrames(int32_t anime) const;
    static bool isBaseAnime(int32_t anime);
    static bool isOneShotAnime(int32_t anime);

    TDDDD* display;
    int32_t viewwidth = 121;
    uint32_t lastclock = 0;
    std::string charname;
    bool datahex = false;
    std::string chpfile;
    std::string cgfile;
    std::string facefile;
    std::string selectcgfile;
    std::string artist;
    int32_t cgage = 0;
    std::array<Rect, PatternCount> patrect;
    FrameTable patsrc;
    FrameTable patdst;
    FrameTable laysrc;
    FrameTable laydst;
    std::array<std::string, AnimeCount> patsrctext;
    std::array<std::string, AnimeCount> patdsttext;
    std::array<std::string, AnimeCount> laysrctext;
    std::array<std::string, AnimeCount> laydsttext;
    std::array<bool, AnimeCount> animeused;
    std::array<bool, AnimeCount> patdstused;
    std::array<bool, AnimeCount> layerused;
    std::array<int32_t, AnimeCount> loopframe;
    int32_t frame = 0;
    int32_t anime = 1;
    int32_t returnanime = 0;
    int32_t framewait = 100;
    std::unique_ptr<TDDDDSurface> cgsurface;
    bool loopshots = false;
    bool loopcheck = false;
    // The line load is reading, counted from 1; after a failed load, the line that
    // failed (0 when the file itself could not be read).
    int32_t loadline = 0;

private:
    void parseLine(std::string_view line, const std::string& folder, PackagePathResolver& resolver);
    void readKeyword(definition_text::Keyword keyword, std::string_view line, const std::string& folder,
                     PackagePathResolver& resolver);
};
