// Builds Windows BMP files in memory for tests, benchmarks and fuzz seeds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct BitmapPicture {
    int32_t width = 1;
    int32_t height = 1;  // negative: rows stored top-down
    uint16_t bitCount = 24;
    std::vector<uint32_t> palette;  // 0x00RRGGBB entries, written for bit counts up to 8
    // Pixel values as stored, rows top-down in picture order: palette indices, 5-5-5
    // words, 0xRRGGBB or 0xAARRGGBB.
    std::vector<uint32_t> pixels;
};

// Header fields, written by makeBmp and over by tests that build damaged or unusual files.
inline void setBmpField(std::vector<uint8_t>& bytes, size_t at, int64_t value, size_t size)
{
    for (size_t i = 0; i < size; ++i) bytes.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
}
inline void setBmpPixelOffset(std::vector<uint8_t>& bytes, uint32_t offset) { setBmpField(bytes, 10, offset, 4); }
inline void setBmpWidth(std::vector<uint8_t>& bytes, int32_t width) { setBmpField(bytes, 18, width, 4); }
inline void setBmpHeight(std::vector<uint8_t>& bytes, int32_t height) { setBmpField(bytes, 22, height, 4); }
inline void setBmpBitCount(std::vector<uint8_t>& bytes, uint16_t bitCount) { setBmpField(bytes, 28, bitCount, 2); }
inline void setBmpCompression(std::vector<uint8_t>& bytes, uint32_t method) { setBmpField(bytes, 30, method, 4); }

inline std::vector<uint8_t> makeBmp(const BitmapPicture& picture)
{
    const int32_t rows = picture.height < 0 ? -picture.height : picture.height;
    const size_t bytes = picture.bitCount / 8;
    const uint32_t stride = (static_cast<uint32_t>(picture.width * bytes) + 3) & ~3u;
    const uint32_t offset = 54 + static_cast<uint32_t>(picture.palette.size()) * 4;
    std::vector<uint8_t> out(offset + stride * static_cast<uint32_t>(rows), 0);
    out[0] = 'B';
    out[1] = 'M';
    setBmpField(out, 2, static_cast<int64_t>(out.size()), 4);
    setBmpPixelOffset(out, offset);
    setBmpField(out, 14, 40, 4);
    setBmpWidth(out, picture.width);
    setBmpHeight(out, picture.height);
    setBmpField(out, 26, 1, 2);
    setBmpBitCount(out, picture.bitCount);
    setBmpField(out, 46, static_cast<int64_t>(picture.palette.size()), 4);
    for (size_t i = 0; i < picture.palette.size(); ++i) setBmpField(out, 54 + i * 4, picture.palette[i], 4);
    for (int32_t y = 0; y < rows; ++y) {
        const size_t storedRow = static_cast<size_t>(picture.height < 0 ? y : rows - 1 - y);
        for (int32_t x = 0; x < picture.width; ++x)
            setBmpField(out, offset + storedRow * stride + static_cast<size_t>(x) * bytes,
                        picture.pixels[static_cast<size_t>(y) * picture.width + x], bytes);
    }
    return out;
}
