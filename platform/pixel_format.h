// Pixel formats of the 2-D layer and the memory they take: the formats its surfaces
// have, bytes per pixel and row pitch, and the largest surface it makes.
#pragma once

#include "platform/ddraw_types.h"

#include <cstdint>

// Pixel formats of the layer.
DDPIXELFORMAT pixelFormatPalette8();
DDPIXELFORMAT pixelFormatRgb(uint32_t bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha = 0);
inline DDPIXELFORMAT pixelFormatRgb565() { return pixelFormatRgb(16, 0xF800, 0x07E0, 0x001F); }
inline DDPIXELFORMAT pixelFormatRgb555() { return pixelFormatRgb(16, 0x7C00, 0x03E0, 0x001F); }
inline DDPIXELFORMAT pixelFormatRgb888() { return pixelFormatRgb(24, 0xFF0000, 0x00FF00, 0x0000FF); }
inline DDPIXELFORMAT pixelFormatXrgb8888() { return pixelFormatRgb(32, 0xFF0000, 0x00FF00, 0x0000FF); }
inline DDPIXELFORMAT pixelFormatArgb8888() { return pixelFormatRgb(32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000); }
// The format a display of this many bits per pixel has: 8, 16 (5-6-5), 24, and
// 32 for any other number.
DDPIXELFORMAT pixelFormatOfDepth(uint32_t bits);
DDPIXELFORMAT pixelFormatDepth(uint32_t depthBits, uint32_t depthMask, uint32_t stencilBits = 0,
                               uint32_t stencilMask = 0);

// Bytes one pixel takes: 1 for palette-indexed formats, else the bit count / 8.
int bytesPerPixelOf(const DDPIXELFORMAT& format);
// Rows are whole words long.
int64_t pitchOf(int64_t width, const DDPIXELFORMAT& format);
// Surfaces larger than this are refused as out of memory.
inline constexpr int64_t maxSurfaceBytes = int64_t{1} << 30;
