// Little-endian integers read out of bytes, as the files the display layer reads
// store them (bitmaps, data archives).
#pragma once

#include <cstdint>

inline uint16_t readLE16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

inline uint32_t readLE32(const uint8_t* bytes)
{
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}
