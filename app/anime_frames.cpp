#include "app/anime_frames.h"

#include <algorithm>

int32_t lastUsedFrame(const Tqpchr::FrameTable& table, int32_t anime)
{
    for (int32_t frame = Tqpchr::FrameCount - 1; frame >= 1; --frame)
        if (Tqpchr::entry(table, anime, frame) != -1) return frame;
    return 0;
}

int32_t animeLength(const Tqpchr& chr, int32_t anime)
{
    return std::max({lastUsedFrame(chr.patsrc, anime), lastUsedFrame(chr.laysrc, anime), 1});
}
