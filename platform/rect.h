// A rectangle of four signed 32-bit edges; right and bottom are exclusive.
#pragma once

#include <cstdint>

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// Sums of 32-bit edges wrap around as the original's integer arithmetic does,
// instead of overflowing.
inline int32_t wrappingAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline Rect movedBy(const Rect& r, int32_t x, int32_t y)
{
    return {wrappingAdd(r.left, x), wrappingAdd(r.top, y), wrappingAdd(r.right, x), wrappingAdd(r.bottom, y)};
}
