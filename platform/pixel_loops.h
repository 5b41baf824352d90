// The blitter's inner loops, one specialisation per pixel size, so that each copy
// compiles to a loop over native words (the 32-bit keyed copy and keyed stretch
// vectorise). Rectangles are already validated against both surfaces.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace pixel_loops {

#if defined(__GNUC__)
// Four 32-bit pixels in one vector register (SSE2 on x86-64, NEON on ARM): the
// 32-bit loops work on them explicitly, so they vectorise at -O2 as at -O3.
#define POMELUNE_PIXEL_LANES 1
using Lanes = uint32_t __attribute__((vector_size(16)));
inline Lanes loadLanes(const uint32_t* p)
{
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void storeLanes(uint32_t* p, Lanes v) { std::memcpy(p, &v, sizeof v); }
// Where v equals key, old; elsewhere v.
inline Lanes keyedSelect(Lanes v, Lanes old, Lanes key)
{
    const Lanes hole = (Lanes)(v == key);
    return (old & hole) | (v & ~hole);
}
#endif

template <int Bytes>
struct Pixel;

// A pixel the size of a native word, read and written as one.
template <typename Word>
struct WordPixel {
    static uint32_t load(const uint8_t* p)
    {
        Word v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    static void store(uint8_t* p, uint32_t v)
    {
        const auto w = static_cast<Word>(v);
        std::memcpy(p, &w, sizeof w);
    }
};

template <>
struct Pixel<1> : WordPixel<uint8_t> {
};
template <>
struct Pixel<2> : WordPixel<uint16_t> {
};
template <>
struct Pixel<3> {
    static uint32_t load(const uint8_t* p) { return p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16); }
    static void store(uint8_t* p, uint32_t v)
    {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
    }
};
template <>
struct Pixel<4> : WordPixel<uint32_t> {
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

// True when the two blocks' memory does not overlap: only then may a loop read
// ahead of what it has written.
template <int Bytes>
bool apart(const Block& dest, const ConstBlock& src)
{
    const auto extent = [](const uint8_t* rows, int64_t pitch, int32_t width, int32_t height) {
        const auto first = reinterpret_cast<uintptr_t>(rows) + (pitch < 0 ? (height - 1) * pitch : 0);
        return std::pair{first, first + static_cast<uintptr_t>((height - 1) * (pitch < 0 ? -pitch : pitch) +
                                                               int64_t{width} * Bytes)};
    };
    const auto [d0, d1] = extent(dest.rows, dest.pitch, dest.width, dest.height);
    const auto [s0, s1] = extent(src.rows, src.pitch, src.width, src.height);
    return d1 <= s0 || s1 <= d0;
}

template <int Bytes>
void fill(Block dest, uint32_t value)
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

template <int Bytes>
void copyKeyed(Block dest, ConstBlock src, uint32_t key)
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

// The 32-bit keyed copy: four pixels at a time, each a select between the source
// pixel and the destination's.
template <>
inline void copyKeyed<4>(Block dest, ConstBlock src, uint32_t key)
{
#if POMELUNE_PIXEL_LANES
    const bool lanes = apart<4>(dest, src);
    const Lanes keys = {key, key, key, key};
#endif
    for (int32_t y = 0; y < dest.height; ++y) {
        uint32_t* d = reinterpret_cast<uint32_t*>(dest.rows + y * dest.pitch);
        const uint32_t* s = reinterpret_cast<const uint32_t*>(src.rows + y * src.pitch);
        int32_t x = 0;
#if POMELUNE_PIXEL_LANES
        if (lanes)
            for (; x + 4 <= dest.width; x += 4)
                storeLanes(d + x, keyedSelect(loadLanes(s + x), loadLanes(d + x), keys));
#endif
        for (; x < dest.width; ++x) {
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

// Destination columns are worked in chunks of this many; the source column of each
// is found once per chunk rather than once per pixel, in a table on the stack.
inline constexpr int32_t stretchChunk = 1024;

template <int Bytes, bool Keyed>
void stretchRows(Block dest, ConstBlock src, const Stretch& how)
{
    // Locals, not how's fields: stores through byte pointers may alias how, which
    // would make the compiler reload each field for every pixel.
    const bool mirrorX = how.mirrorX;
    const bool mirrorY = how.mirrorY;
    const uint32_t key = how.key;
    const bool separate = apart<Bytes>(dest, src);
    const int64_t stepX = stretchStep(src.width, dest.width);
    const int64_t stepY = stretchStep(src.height, dest.height);
    int32_t columns[stretchChunk];
    for (int32_t first = 0; first < dest.width; first += stretchChunk) {
        const int32_t width = std::min(stretchChunk, dest.width - first);
        int64_t posX = stepX / 2 + first * stepX;
        for (int32_t x = 0; x < width; ++x, posX += stepX) {
            const auto sx = static_cast<int32_t>(posX >> 16);
            columns[x] = mirrorX ? src.width - 1 - sx : sx;
        }
        const auto rowBytes = static_cast<size_t>(width) * Bytes;
        int64_t posY = stepY / 2;
        int32_t lastRow = -1;
        for (int32_t y = 0; y < dest.height; ++y, posY += stepY) {
            int32_t sy = static_cast<int32_t>(posY >> 16);
            if (mirrorY) sy = src.height - 1 - sy;
            uint8_t* d = dest.rows + y * dest.pitch + int64_t{first} * Bytes;
            // An opaque row from the same source row as the one above is that row again.
            if (!Keyed && separate && sy == lastRow) {
                std::memcpy(d, d - dest.pitch, rowBytes);
                continue;
            }
            lastRow = sy;
            const uint8_t* s = src.rows + sy * src.pitch;
            int32_t x = 0;
            if constexpr (Bytes == 4) {
                auto* d32 = reinterpret_cast<uint32_t*>(d);
                const auto* s32 = reinterpret_cast<const uint32_t*>(s);
#if POMELUNE_PIXEL_LANES
                const Lanes keys = {key, key, key, key};
                if (separate) {
                    for (; x + 4 <= width; x += 4) {
                        const Lanes v = {s32[columns[x]], s32[columns[x + 1]], s32[columns[x + 2]],
                                         s32[columns[x + 3]]};
                        storeLanes(d32 + x, Keyed ? keyedSelect(v, loadLanes(d32 + x), keys) : v);
                    }
                }
#endif
                for (; x < width; ++x) {
                    const uint32_t v = s32[columns[x]];
                    if (!Keyed || v != key) d32[x] = v;
                }
            } else {
                for (; x < width; ++x) {
                    const uint32_t v = Pixel<Bytes>::load(s + columns[x] * Bytes);
                    if (!Keyed || v != key) Pixel<Bytes>::store(d + x * Bytes, v);
                }
            }
        }
    }
}

template <int Bytes>
void stretch(Block dest, ConstBlock src, const Stretch& how)
{
    if (how.keyed)
        stretchRows<Bytes, true>(dest, src, how);
    else
        stretchRows<Bytes, false>(dest, src, how);
}

// Calls f.template operator()<Bytes>() for a pixel size of 1 to 4 bytes.
template <typename F>
void dispatchBytes(int bytes, F&& f)
{
    switch (bytes) {
    case 1: f.template operator()<1>(); break;
    case 2: f.template operator()<2>(); break;
    case 3: f.template operator()<3>(); break;
    default: f.template operator()<4>(); break;
    }
}

}  // namespace pixel_loops
