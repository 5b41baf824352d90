#include "support/xwd_image.h"

#include <bit>

namespace {

// The header is 25 big-endian 32-bit fields, followed by the window name (its
// size counted in header_size) and ncolors colour entries of 12 bytes.
enum HeaderField {
    headerSize = 0,
    pixmapFormat = 2,
    pixmapWidth = 4,
    pixmapHeight = 5,
    byteOrder = 7,
    bitsPerPixel = 11,
    bytesPerLine = 12,
    redMask = 14,
    greenMask = 15,
    blueMask = 16,
    colourCount = 19,
    fieldCount = 25,
};
constexpr uint32_t zPixmap = 2;
constexpr uint32_t msbFirst = 1;
constexpr size_t colourEntrySize = 12;
constexpr uint32_t maxSide = 1u << 15;

uint32_t bigEndian(std::string_view bytes, size_t offset)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes[offset + i]);
    return value;
}

// The 8-bit value of a channel under its mask.
uint32_t channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t max = mask >> shift;
    return ((pixel & mask) >> shift) * 255 / max;
}

}  // namespace

ScreenImage readXwd(std::string_view bytes)
{
    if (bytes.size() < fieldCount * 4) return {};
    uint32_t field[fieldCount];
    for (size_t i = 0; i < fieldCount; ++i) field[i] = bigEndian(bytes, i * 4);
    const uint32_t width = field[pixmapWidth], height = field[pixmapHeight], bits = field[bitsPerPixel];
    if (field[pixmapFormat] != zPixmap || (bits != 24 && bits != 32) || width == 0 || height == 0 ||
        width > maxSide || height > maxSide || field[bytesPerLine] < width * (bits / 8) || field[headerSize] < fieldCount * 4)
        return {};
    const uint64_t start = uint64_t{field[headerSize]} + uint64_t{field[colourCount]} * colourEntrySize;
    if (start + uint64_t{field[bytesPerLine]} * height > bytes.size()) return {};

    ScreenImage image{static_cast<int32_t>(width), static_cast<int32_t>(height), {}};
    image.pixels.reserve(size_t{width} * height);
    // With windows of several visuals on the screen, xwd packs 24-bit pixels in 3 bytes.
    const size_t pixelBytes = bits / 8;
    for (uint32_t y = 0; y < height; ++y) {
        const size_t row = start + size_t{y} * field[bytesPerLine];
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            for (size_t i = 0; i < pixelBytes; ++i) {
                const uint32_t byte = static_cast<uint8_t>(bytes[row + x * pixelBytes + i]);
                pixel |= field[byteOrder] == msbFirst ? byte << (8 * (pixelBytes - 1 - i)) : byte << (8 * i);
            }
            image.pixels.push_back(channel(pixel, field[redMask]) << 16 | channel(pixel, field[greenMask]) << 8 |
                                   channel(pixel, field[blueMask]));
        }
    }
    return image;
}
