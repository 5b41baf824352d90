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
    RefPtr<IDirectDrawSurface7> surface;
    if (dddd.DirectDraw->CreateSurface(&desc, surface.put(), nullptr) != DD_OK) return false;
    dddd.BackBuffer = std::make_unique<TDDDDGenSurface>(&dddd, std::move(surface), width, height);
    return true;
}
