// The display component: owns the platform device, the primary surface and back
// buffer, and the lists through which every off-screen surface is restored,
// rebuilt and released together with the device.
#pragma once

#include "display/debug_log.h"
#include "display/surface.h"
#include "platform/ddraw.h"

#include <memory>
#include <vector>

enum TDDDDSurfaceMemoryType { smtDefault, smtCompatible, smtSystemMemory, smtVideoMemory, smtNonLocalVideoMemory };
enum TDDDDBackBufferMemoryType { bmtDefault, bmtCompatible, bmtSystemMemory, bmtVideoMemory };

class TDDDD {
public:
    TDDDD();
    ~TDDDD();
    TDDDD(const TDDDD&) = delete;
    TDDDD& operator=(const TDDDD&) = delete;

    TDDDDDebugOptions DebugOption() const { return debugOption_; }
    void setDebugOption(TDDDDDebugOptions value);

    // Colour depth of the display device, in bits per pixel.
    int32_t DisplayBitDepth() const;

    void RegisterSurface(TDDDDSurface* Surface);
    void UnregisterSurface(TDDDDSurface* Surface);
    void RestoreAllSurfaces();
    void RebuildAllSurfaces();
    void ReleaseAllSurfaces();
    // Index of the surface's keeper in SurfaceList, or -1.
    int surfaceIndex(const TDDDDSurface* Surface) const;

    bool FullScreen = false;
    TDDDDSurfaceMemoryType SurfaceLocation = smtDefault;
    TDDDDBackBufferMemoryType BackBufferLocationAtWindowed = bmtDefault;
    std::unique_ptr<TDDDDGenSurface> Primary;
    std::unique_ptr<TDDDDGenSurface> BackBuffer;
    IDirectDraw7* DirectDraw = nullptr;
    std::vector<std::unique_ptr<TDDDDSurfaceKeeper>> SurfaceList;
    std::vector<std::unique_ptr<TDDDDSurfaceKeeper>> TextureList;

private:
    TDDDDDebugOptions debugOption_{ddoHaltOnError};
};
