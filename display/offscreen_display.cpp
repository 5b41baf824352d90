#include "display/offscreen_display.h"

bool setUpOffscreenDisplay(TDDDD& dddd, int32_t width, int32_t height, uint32_t memory)
{
    if (!dddd.DirectDraw && DirectDrawCreateEx(nullptr, dddd.DirectDraw.put(), nullptr, nullptr) != DD_OK) return false;
    DDSURFACEDESC2 desc;
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<uint32_t>(width);
    desc.dwHeight = static_cast<uint32_t>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | memory;
    IDirectDrawSurface7* surface = nullptr;
    if (dddd.DirectDraw->CreateSurface(&desc, &surface, nullptr) != DD_OK) return false;
    if (dddd.BackBuffer && dddd.BackBuffer->DDSurface) dddd.BackBuffer->DDSurface->Release();
    dddd.BackBuffer = std::make_unique<TDDDDGenSurface>(&dddd, surface, width, height);
    return true;
}
