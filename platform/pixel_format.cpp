// The pixel formats of the 2-D layer and the row pitch they give.
#include "platform/pixel_format.h"

DDPIXELFORMAT pixelFormatPalette8()
{
    DDPIXELFORMAT f;
    f.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
    f.dwRGBBitCount = 8;
    return f;
}

DDPIXELFORMAT pixelFormatRgb(uint32_t bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha)
{
    DDPIXELFORMAT f;
    f.dwFlags = DDPF_RGB | (alpha ? DDPF_ALPHAPIXELS : 0);
    f.dwRGBBitCount = bits;
    f.dwRBitMask = red;
    f.dwGBitMask = green;
    f.dwBBitMask = blue;
    f.dwRGBAlphaBitMask = alpha;
    return f;
}

DDPIXELFORMAT pixelFormatOfDepth(uint32_t bits)
{
    switch (bits) {
    case 8: return pixelFormatPalette8();
    case 16: return pixelFormatRgb565();
    case 24: return pixelFormatRgb888();
    default: return pixelFormatXrgb8888();
    }
}

DDPIXELFORMAT pixelFormatDepth(uint32_t depthBits, uint32_t depthMask, uint32_t stencilBits, uint32_t stencilMask)
{
    DDPIXELFORMAT f;
    f.dwFlags = DDPF_ZBUFFER | (stencilBits ? DDPF_STENCILBUFFER : 0);
    f.dwZBufferBitDepth = depthBits + stencilBits;
    f.dwStencilBitDepth = stencilBits;
    f.dwZBitMask = depthMask;
    f.dwStencilBitMask = stencilMask;
    return f;
}

int bytesPerPixelOf(const DDPIXELFORMAT& f)
{
    return (f.dwFlags & DDPF_PALETTEINDEXED8) ? 1 : static_cast<int>(f.dwRGBBitCount / 8);
}

int64_t pitchOf(int64_t width, const DDPIXELFORMAT& f) { return (width * bytesPerPixelOf(f) + 3) & ~int64_t{3}; }
