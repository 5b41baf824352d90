// The platform's bitmap reader: decodes a whole Windows BMP file into 32-bit
// pixels. Used where a picture must be taken in by colour rather than copied raw.
#pragma once

#include "platform/stream.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Where a BMP file keeps what its readers use: a 14-byte file header, then an
// information header of 40 bytes or more, offsets counted from its start.
namespace bmp {
inline constexpr size_t FileHeaderSize = 14;
inline constexpr size_t PixelOffsetAt = 10;
inline constexpr size_t InfoHeaderSize = 40;
inline constexpr size_t InfoSizeAt = 0;
inline constexpr size_t WidthAt = 4;
inline constexpr size_t HeightAt = 8;
inline constexpr size_t BitCountAt = 14;
inline constexpr size_t CompressionAt = 16;
inline constexpr size_t ColorsUsedAt = 32;
// The red, green and blue masks of a bit-field file follow the first 40 bytes,
// inside a longer header or after a 40-byte one.
inline constexpr size_t MasksAt = 40;
inline constexpr size_t MasksSize = 12;
// Compression methods.
inline constexpr uint32_t Rgb = 0;
inline constexpr uint32_t Rle8 = 1;
inline constexpr uint32_t Rle4 = 2;
inline constexpr uint32_t BitFields = 3;
}  // namespace bmp

// A decoded picture, rows top-down, each pixel 0x00RRGGBB.
struct DecodedBitmap {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// Width, height (positive also for top-down files) and bits per pixel from the
// headers at the stream's position; nullopt when they are not those of a BMP file.
struct BitmapHeader {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t bitCount = 0;
};
std::optional<BitmapHeader> readBitmapHeader(Stream& stream);

// The most pixels the reader takes in one picture.
inline constexpr int64_t maxBitmapPixels = int64_t{64} << 20;

// Decodes an uncompressed BMP of 1, 4, 8, 16 (5-5-5), 24 or 32 bits per pixel from
// the stream's position; nullopt when the file is not such a bitmap, is cut short,
// or is larger than the reader takes (64 megapixels).
std::optional<DecodedBitmap> readBitmap(Stream& stream);
