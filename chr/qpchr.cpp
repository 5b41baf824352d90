// The engine's object: construction, reset, table entries, anime kinds and the CG load.
#include "chr/qpchr.h"
#include "chr/cg_check.h"

#include "platform/bitmap_reader.h"
#include "platform/clock.h"
#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/text.h"

Tqpchr::Tqpchr(TDDDD* display_) : display(display_)
{
    cgsurface = std::make_unique<TDDDDSurface>(display, 128, 192, 64);
    reset();
}

Tqpchr::~Tqpchr() = default;

void Tqpchr::reset()
{
    patrect.fill(Rect{});
    for (FrameTable* table : {&patsrc, &patdst, &laysrc, &laydst})
        for (auto& row : *table) row.fill(-1);
    for (int a = 0; a < AnimeCount; ++a) {
        patsrctext[a].clear();
        patdsttext[a].clear();
        laysrctext[a].clear();
        laydsttext[a].clear();
        animeused[a] = false;
        patdstused[a] = false;
        layerused[a] = false;
        loopframe[a] = -1;
    }
    framewait = 100;
    lastclock = millisecondClock();
    anime = 1;
    viewwidth = 121;
    loopshots = false;
    loopcheck = false;
}

void Tqpchr::loadcg()
{
    cgage = fileAge(cgfile);
    const BitmapHeader header = readCgHeader(cgfile);
    cgsurface.reset();
    cgsurface = std::make_unique<TDDDDSurface>(display, header.width, header.height, 64);
    cgsurface->LoadBMP(cgfile);
    cgsurface->SetColorKey(cgsurface->GetPixel(header.width - 1, header.height - 1));
}

int32_t Tqpchr::entry(const FrameTable& table, int32_t anime, int32_t frame)
{
    if (anime < 0 || anime >= AnimeCount || frame < 0 || frame >= FrameCount) return -1;
    return table[static_cast<size_t>(anime)][static_cast<size_t>(frame)];
}

bool Tqpchr::isBaseAnime(int32_t anime)
{
    switch (anime) {
    case 1:
    case 2:
    case 3:
    case 5:
    case 15:
    case 16:
    case 17:
    case 18: return true;
    default: return false;
    }
}

bool Tqpchr::isOneShotAnime(int32_t anime)
{
    switch (anime) {
    case 4:
    case 6:
    case 7:
    case 8:
    case 10:
    case 11:
    case 12: return true;
    default: return false;
    }
}
