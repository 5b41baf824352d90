// The platform's bitmap reader: decodes a whole Windows BMP file into 32-bit
// pixels. Used where a picture must be taken in by colour rather than copied raw.
#pragma once

#include "platform/stream.h"

#include <cstdint>
#include <optional>
#include <vector>

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
