// Reading a locked surface's rows into an image, through its palette or its bit masks.
#include "app/surface_image.h"

#include "display/dddd.h"

#include <algorithm>
#include <bit>

namespace {

// Widens the bits of mask in value to 8 bits.
int channel(uint32_t value, uint32_t mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    return static_cast<int>(((value & mask) >> shift) * 255 / (mask >> shift));
}

}  // namespace

QImage surfaceImage(TDDDDGenSurface& surface, bool keyed)
{
    DDSURFACEDESC2 desc;
    desc.dwSize = sizeof desc;
    if (!surface.DDSurface || surface.DDSurface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK)
        return {};
    const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    const auto& palette = surface.DDSurface->palette();
    const int bytes = std::clamp(static_cast<int>(format.dwRGBBitCount / 8), 1, 4);
    const int width = std::min(surface.Width, static_cast<int32_t>(desc.dwWidth));
    const int height = std::min(surface.Height, static_cast<int32_t>(desc.dwHeight));
    QImage image(width, height, keyed ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const auto* row = static_cast<const uint8_t*>(desc.lpSurface) + static_cast<int64_t>(y) * desc.lPitch;
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            uint32_t value = 0;
            for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(row[x * bytes + i]) << (8 * i);
            if (keyed && value == surface.ColorKey) {
                pixels[x] = 0;
            } else if (format.dwFlags & DDPF_PALETTEINDEXED8) {
                const PaletteColor& c = palette[value & 0xFF];
                pixels[x] = qRgb(c.red, c.green, c.blue);
            } else {
                pixels[x] = qRgb(channel(value, format.dwRBitMask), channel(value, format.dwGBitMask),
                                 channel(value, format.dwBBitMask));
            }
        }
    }
    surface.DDSurface->Unlock(nullptr);
    return image;
}
