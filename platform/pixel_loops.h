// The blitter's inner loops, one specialisation per pixel size, so that each copy
// compiles to a loop over native words (the 32-bit keyed copy and keyed stretch
// vectorise). Rectangles are already validated against both surfaces.
#pragma once

#include <cstdint>
#include <cstring>

namespace pixel_loops {

template <int Bytes> struct Pixel;

template <> struct Pixel<1> {
    static uint32_t load(const uint8_t* p) { return *p; }
    static void store(uint8_t* p, uint32_t v) { *p = static_cast<uint8_t>(v); }
};
template <> struct Pixel<2> {
    static uint32_t load(const uint8_t* p) { uint16_t v; std::memcpy(&v, p, 2); return v; }
    static void store(uint8_t* p, uint32_t v) { const auto w = static_cast<uint16_t>(v); std::memcpy(p, &w, 2); }
};
template <> struct Pixel<3> {
    static uint32_t load(const uint8_t* p) { return p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16); }
    static void store(uint8_t* p, uint32_t v)
    {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
    }
};
template <> struct Pixel<4> {
    static uint32_t load(const uint8_t* p) { uint32_t v; std::memcpy(&v, p, 4); return v; }
    static void store(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
};

// A block of pixels: first row, row pitch in bytes, size in pixels.
struct Block {
    uint8_t* rows;
    int64_t pitch;
    int32_t width;
    int32_t height;
};
struct ConstBlock {
    const uint8_t* rows;
    int64_t pitch;
    int32_t width;
    int32_t height;
};

template <int Bytes> void fill(Block dest, uint32_t value)
{
    for (int32_t y = 0; y < dest.height; ++y) {
        uint8_t* d = dest.rows + y * dest.pitch;
        for (int32_t x = 0; x < dest.width; ++x) Pixel<Bytes>::store(d + x * Bytes, value);
    }
}

// Unscaled copy; source and destination may be the same memory.
inline void copy(Block dest, ConstBlock src, int bytes)
{
    const size_t rowBytes = static_cast<size_t>(dest.width) * bytes;
    const bool upward = dest.rows > src.rows;  // overlapping rows are copied from the far end
    for (int32_t i = 0; i < dest.height; ++i) {
        const int32_t y = upward ? dest.height - 1 - i : i;
        std::memmove(dest.rows + y * dest.pitch, src.rows + y * src.pitch, rowBytes);
    }
}

template <int Bytes> void copyKeyed(Block dest, ConstBlock src, uint32_t key)
{
    for (int32_t y = 0; y < dest.height; ++y) {
        uint8_t* d = dest.rows + y * dest.pitch;
        const uint8_t* s = src.rows + y * src.pitch;
        for (int32_t x = 0; x < dest.width; ++x) {
            const uint32_t v = Pixel<Bytes>::load(s + x * Bytes);
            if (v != key) Pixel<Bytes>::store(d + x * Bytes, v);
        }
    }
}

// The 32-bit keyed copy written as a select, which the compiler turns into vector blends.
template <> inline void copyKeyed<4>(Block dest, ConstBlock src, uint32_t key)
{
    for (int32_t y = 0; y < dest.height; ++y) {
        uint32_t* d = reinterpret_cast<uint32_t*>(dest.rows + y * dest.pitch);
        const uint32_t* s = reinterpret_cast<const uint32_t*>(src.rows + y * src.pitch);
        for (int32_t x = 0; x < dest.width; ++x) {
            const uint32_t v = s[x];
            d[x] = v == key ? d[x] : v;
        }
    }
}

// Nearest-pixel stretch sampling at pixel centres, optionally mirrored and keyed.
struct Stretch {
    bool mirrorX = false;
    bool mirrorY = false;
    bool keyed = false;
    uint32_t key = 0;
};

// 16.16 fixed-point source steps, 64-bit so that any surface size fits.
inline int64_t stretchStep(int32_t from, int32_t to) { return (static_cast<int64_t>(from) << 16) / to; }

template <int Bytes, bool Keyed>
void stretchRows(Block dest, ConstBlock src, const Stretch& how)
{
    const int64_t stepX = stretchStep(src.width, dest.width);
    const int64_t stepY = stretchStep(src.height, dest.height);
    int64_t posY = stepY / 2;
    for (int32_t y = 0; y < dest.height; ++y, posY += stepY) {
        int32_t sy = static_cast<int32_t>(posY >> 16);
        if (how.mirrorY) sy = src.height - 1 - sy;
        const uint8_t* s = src.rows + sy * src.pitch;
        uint8_t* d = dest.rows + y * dest.pitch;
        int64_t posX = stepX / 2;
        for (int32_t x = 0; x < dest.width; ++x, posX += stepX) {
            int32_t sx = static_cast<int32_t>(posX >> 16);
            if (how.mirrorX) sx = src.width - 1 - sx;
            const uint32_t v = Pixel<Bytes>::load(s + sx * Bytes);
            if (!Keyed || v != how.key) Pixel<Bytes>::store(d + x * Bytes, v);
        }
    }
}

template <int Bytes> void stretch(Block dest, ConstBlock src, const Stretch& how)
{
    if (how.keyed)
        stretchRows<Bytes, true>(dest, src, how);
    else
        stretchRows<Bytes, false>(dest, src, how);
}

// Calls f.template operator()<Bytes>() for a pixel size of 1 to 4 bytes.
template <typename F> void dispatchBytes(int bytes, F&& f)
{
    switch (bytes) {
    case 1: f.template operator()<1>(); break;
    case 2: f.template operator()<2>(); break;
    case 3: f.template operator()<3>(); break;
    default: f.template operator()<4>(); break;
    }
}

}  // namespace pixel_loops
