// The 2-D layer's bitmap file reader: headers, palette and pixels of a BMP decoded
// for drawing through a drawing context.
#include "platform/bitmap_reader.h"

#include "platform/little_endian.h"

#include <cstring>

namespace {

int32_t readSigned32(const uint8_t* p) { return static_cast<int32_t>(readLE32(p)); }

struct Headers {
    uint32_t pixelOffset;
    uint32_t headerSize;
    int32_t width;
    int32_t height;  // negative: rows stored top-down
    uint32_t bitCount;
    uint32_t compression;
    uint32_t colorsUsed;
};

std::optional<Headers> readHeaders(Stream& stream)
{
    uint8_t h[bmp::FileHeaderSize + bmp::InfoHeaderSize];
    if (!stream.readExact(h, sizeof h) || h[0] != 'B' || h[1] != 'M') return std::nullopt;
    const uint8_t* info = h + bmp::FileHeaderSize;
    Headers headers{readLE32(h + bmp::PixelOffsetAt),  readLE32(info + bmp::InfoSizeAt),
                    readSigned32(info + bmp::WidthAt), readSigned32(info + bmp::HeightAt),
                    readLE16(info + bmp::BitCountAt),  readLE32(info + bmp::CompressionAt),
                    readLE32(info + bmp::ColorsUsedAt)};
    if (headers.headerSize < 40 || headers.width <= 0 || headers.height == 0 || headers.height == INT32_MIN)
        return std::nullopt;
    return headers;
}

uint32_t scale5(uint32_t v) { return (v << 3) | (v >> 2); }

}  // namespace

std::optional<BitmapHeader> readBitmapHeader(Stream& stream)
{
    const auto headers = readHeaders(stream);
    if (!headers) return std::nullopt;
    return BitmapHeader{headers->width, headers->height < 0 ? -headers->height : headers->height, headers->bitCount};
}

std::optional<DecodedBitmap> readBitmap(Stream& stream)
{
    const int64_t start = stream.position();
    const auto headers = readHeaders(stream);
    if (!headers || headers->compression != 0) return std::nullopt;
    const uint32_t bits = headers->bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
    const int64_t width = headers->width;
    const int64_t height = headers->height < 0 ? -int64_t{headers->height} : headers->height;
    if (width * height > maxBitmapPixels) return std::nullopt;
    const int64_t stride = ((width * bits + 31) / 32) * 4;
    if (start + headers->pixelOffset + stride * height > stream.size()) return std::nullopt;

    uint32_t palette[256] = {};
    if (bits <= 8) {
        const uint32_t entries =
            headers->colorsUsed == 0 || headers->colorsUsed > (1u << bits) ? (1u << bits) : headers->colorsUsed;
        uint8_t raw[1024];
        stream.setPosition(start + bmp::FileHeaderSize + headers->headerSize);
        if (!stream.readExact(raw, entries * 4)) return std::nullopt;
        for (uint32_t i = 0; i < entries; ++i) palette[i] = readLE32(raw + i * 4) & 0xFFFFFF;
    }

    DecodedBitmap bitmap;
    bitmap.width = static_cast<int32_t>(width);
    bitmap.height = static_cast<int32_t>(height);
    bitmap.pixels.resize(static_cast<size_t>(width * height));
    std::vector<uint8_t> row(static_cast<size_t>(stride));
    stream.setPosition(start + headers->pixelOffset);
    for (int64_t r = 0; r < height; ++r) {
        if (!stream.readExact(row.data(), stride)) return std::nullopt;
        const int64_t y = headers->height < 0 ? r : height - 1 - r;
        uint32_t* out = bitmap.pixels.data() + y * width;
        for (int64_t x = 0; x < width; ++x) {
            const uint8_t* p = row.data() + x * bits / 8;
            switch (bits) {
            case 1: out[x] = palette[(*p >> (7 - x % 8)) & 1]; break;
            case 4: out[x] = palette[(*p >> (x % 2 ? 0 : 4)) & 15]; break;
            case 8: out[x] = palette[*p]; break;
            case 16: {
                const uint32_t v = readLE16(p);
                out[x] = (scale5((v >> 10) & 31) << 16) | (scale5((v >> 5) & 31) << 8) | scale5(v & 31);
                break;
            }
            default: out[x] = p[0] | (p[1] << 8) | (p[2] << 16); break;
            }
        }
    }
    return bitmap;
}
