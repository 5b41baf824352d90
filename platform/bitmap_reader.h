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

// Width and height from the headers at the stream's position; nullopt when the
// headers are not those of a BMP file.
struct BitmapSize {
    int32_t width = 0;
    int32_t height = 0;
};
std::optional<BitmapSize> readBitmapSize(Stream& stream);

// Decodes an uncompressed BMP of 1, 4, 8, 16 (5-5-5), 24 or 32 bits per pixel from
// the stream's position; nullopt when the file is not such a bitmap, is cut short,
// or is larger than the reader takes (64 megapixels).
std::optional<DecodedBitmap> readBitmap(Stream& stream);
