#include "display/dddd.h"

#include "platform/string_format.h"

#include <algorithm>

TDDDD::TDDDD() { ApplyDebugOption(debugOption_); }

TDDDD::~TDDDD()
{
    if (BackBuffer && BackBuffer->DDSurface) BackBuffer->DDSurface->Release();
    if (Primary && Primary->DDSurface) Primary->DDSurface->Release();
    if (DirectDraw) DirectDraw->Release();
}

void TDDDD::setDebugOption(TDDDDDebugOptions value)
{
    debugOption_ = value;
    ApplyDebugOption(value);
}

int32_t TDDDD::DisplayBitDepth() const { return static_cast<int32_t>(screenPixelFormat().dwRGBBitCount); }

int TDDDD::surfaceIndex(const TDDDDSurface* Surface) const
{
    const auto found = std::find_if(SurfaceList.begin(), SurfaceList.end(), [&](const auto& keeper) { return keeper->Surface == Surface; });
    return found == SurfaceList.end() ? -1 : static_cast<int>(found - SurfaceList.begin());
}

void TDDDD::RegisterSurface(TDDDDSurface* Surface)
{
    if (const int index = surfaceIndex(Surface); index >= 0) SurfaceList.erase(SurfaceList.begin() + index);
    SurfaceList.push_back(std::make_unique<TDDDDSurfaceKeeper>(this, Surface));
    DetailLog(stringFormat("サーフェスリストの%d番に追加しました", static_cast<int>(SurfaceList.size()) - 1));
}

void TDDDD::UnregisterSurface(TDDDDSurface* Surface)
{
    const int index = surfaceIndex(Surface);
    if (index < 0) return;
    // The list no longer keeps the surface: its platform surface goes with it.
    if (Surface->DDSurface) Surface->DDSurface->Release();
    Surface->DDSurface = nullptr;
    SurfaceList.erase(SurfaceList.begin() + index);
    DetailLog(stringFormat("サーフェスリストの%d番が解放されました", index));
}

void TDDDD::RestoreAllSurfaces()
{
    for (auto& keeper : SurfaceList) keeper->RestoreSurface();
    for (auto& keeper : TextureList) keeper->RestoreSurface();
}

void TDDDD::RebuildAllSurfaces()
{
    for (size_t i = 0; i < TextureList.size(); ++i) TextureList[i]->RebuildSurface(static_cast<int>(i));
    for (size_t i = 0; i < SurfaceList.size(); ++i) SurfaceList[i]->RebuildSurface(static_cast<int>(i));
}

void TDDDD::ReleaseAllSurfaces()
{
    for (size_t i = 0; i < TextureList.size(); ++i) TextureList[i]->ReleaseSurface(static_cast<int>(i));
    for (size_t i = 0; i < SurfaceList.size(); ++i) SurfaceList[i]->ReleaseSurface(static_cast<int>(i));
}
