// The display without a window: its device and back buffer, and the process
// settings it changes for itself and puts back.
#include "display/offscreen_display.h"

#include "platform/exception.h"

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

OffscreenDisplay::ProcessSettings::ProcessSettings()
        : debugOption_(AppliedDebugOption()),
          screenFormat_(screenPixelFormat())
{
    // Surfaces created without a pixel format take the screen's.
    setScreenPixelFormat(pixelFormatXrgb8888());
}

OffscreenDisplay::ProcessSettings::~ProcessSettings()
{
    ApplyDebugOption(debugOption_);
    setScreenPixelFormat(screenFormat_);
}

OffscreenDisplay::OffscreenDisplay()
{
    dddd_.setDebugOption({});
    makeBackBuffer(640, 480);
}

TDDDDGenSurface& OffscreenDisplay::makeBackBuffer(int32_t width, int32_t height)
{
    if (!setUpOffscreenDisplay(dddd_, width, height, DDSCAPS_SYSTEMMEMORY))
        throw Exception("描画先のサーフェスを作れませんでした");
    return *dddd_.BackBuffer;
}
