// The anime player: starting an anime, advancing it on the millisecond clock, where
// it ends, and when the next frame change falls due.
#include "chr/qpchr.h"

#include "platform/clock.h"

#include <algorithm>

void Tqpchr::start(int32_t n)
{
    if (isBaseAnime(anime)) returnanime = anime;
    frame = 1;
    anime = n;
}

void Tqpchr::step()
{
    const uint32_t now = millisecondClock();
    // Wrap-around difference of the 32-bit clock, compared as a signed number.
    const auto elapsed = static_cast<int32_t>(now - lastclock);
    if (elapsed > framewait) {
        // The lateness is added to the next frame's time.
        lastclock = now + static_cast<uint32_t>(elapsed) - static_cast<uint32_t>(framewait);
        frame = wrappingAdd(frame, 1);
    }
    if (hasFrame(anime, frame)) return;

    const int32_t loop = anime >= 0 && anime < AnimeCount ? loopframe[static_cast<size_t>(anime)] : -1;
    // Frame numbers wrap as 32-bit values: a loop frame of 2147483647 goes on at a
    // negative frame, which is empty like every frame past the table.
    frame = loop > 0 ? wrappingAdd(loop, 1) : 1;
    if (anime == CheckAnime && !loopcheck)
        anime = returnanime;
    else if (isOneShotAnime(anime) && !loopshots)
        anime = returnanime;
}

bool Tqpchr::hasFrame(int32_t n, int32_t f) const { return entry(patsrc, n, f) != -1 || entry(laysrc, n, f) != -1; }

int32_t Tqpchr::animeFrames(int32_t n) const
{
    int32_t f = 1;
    while (hasFrame(n, f)) ++f;
    return f - 1;
}

int64_t Tqpchr::untilNextFrame(uint32_t now) const
{
    const auto elapsed = static_cast<int32_t>(now - lastclock);
    return std::max<int64_t>(0, int64_t{framewait} + 1 - elapsed);
}
