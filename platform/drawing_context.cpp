// A surface's drawing context: decoded bitmaps drawn into its pixel format, onto a
// palette by nearest colour.
#include "platform/ddraw.h"

#include <bit>

namespace {

// Scales an 8-bit channel into the bits of mask.
uint32_t packChannel(uint32_t value, uint32_t mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t range = mask >> shift;
    return ((value * range + 127) / 255) << shift;
}

// The palette index whose colour lies nearest to rgb, by squared distance.
uint8_t nearestIndex(const std::array<PaletteColor, 256>& palette, uint32_t rgb)
{
    const int r = (rgb >> 16) & 255, g = (rgb >> 8) & 255, b = rgb & 255;
    int best = 0;
    int bestDistance = INT32_MAX;
    for (int i = 0; i < 256 && bestDistance > 0; ++i) {
        const int dr = palette[i].red - r, dg = palette[i].green - g, db = palette[i].blue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<uint8_t>(best);
}

}  // namespace

void DrawingContext::drawBitmap(const DecodedBitmap& bitmap, int32_t x, int32_t y)
{
    const DDPIXELFORMAT& format = surface_.pixelFormat();
    const bool indexed = (format.dwFlags & DDPF_PALETTEINDEXED8) != 0;
    const auto& palette = surface_.palette();
    const int bytes = surface_.bytesPerPixel();
    // Neighbouring pixels often share a colour: remember the last mapping.
    uint32_t lastColor = 0xFFFFFFFF;
    uint32_t lastValue = 0;
    for (int32_t row = 0; row < bitmap.height; ++row) {
        const int64_t dy = int64_t{y} + row;
        if (dy < 0 || dy >= surface_.height()) continue;
        uint8_t* line = surface_.row(static_cast<int32_t>(dy));
        for (int32_t column = 0; column < bitmap.width; ++column) {
            const int64_t dx = int64_t{x} + column;
            if (dx < 0 || dx >= surface_.width()) continue;
            const uint32_t color = bitmap.pixels[static_cast<size_t>(row) * bitmap.width + column];
            if (color != lastColor) {
                lastColor = color;
                lastValue = indexed ? nearestIndex(palette, color)
                                    : packChannel((color >> 16) & 255, format.dwRBitMask) |
                                          packChannel((color >> 8) & 255, format.dwGBitMask) |
                                          packChannel(color & 255, format.dwBBitMask) | format.dwRGBAlphaBitMask;
            }
            uint8_t* p = line + dx * bytes;
            for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(lastValue >> (8 * i));
        }
    }
}
