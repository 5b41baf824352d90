// Drawing the playing anime's frame: the background cell, then its pattern and layer cells.
#include "chr/qpchr.h"

void Tqpchr::draw(TDDDDGenSurface& target, int32_t x, int32_t y)
{
    TDDDDSurface* cg = cgsurface.get();
    const DDBLTFX effects;
    const auto cell = [&](int32_t pattern) -> const Rect* {
        return pattern >= 0 && pattern < PatternCount ? &patrect[static_cast<size_t>(pattern)] : nullptr;
    };

    target.ClipRect = Rect{x, y, wrappingAdd(x, viewwidth), wrappingAdd(y, ViewHeight)};
    target.UseClip = true;
    target.Blt(cg, target.ClipRect, patrect[1], DDBLT_WAIT, effects);

    if (const Rect* source = cell(entry(patsrc, anime, frame))) {
        const bool toDestination = anime >= 0 && anime < AnimeCount && patdstused[static_cast<size_t>(anime)];
        if (!toDestination)
            target.BltFast(cg, x, y, *source, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
        else if (const Rect* dest = cell(entry(patdst, anime, frame)))
            target.Blt(cg, movedBy(*dest, x, y), *source, DDBLT_WAIT | DDBLT_KEYSRC, effects);
    }
    const Rect* layerSource = cell(entry(laysrc, anime, frame));
    const Rect* layerDest = cell(entry(laydst, anime, frame));
    if (layerSource && layerDest)
        target.Blt(cg, movedBy(*layerDest, x, y), *layerSource, DDBLT_WAIT | DDBLT_KEYSRC, effects);

    target.UseClip = false;
}
