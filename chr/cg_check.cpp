// The CG header read and the checks of a CG file that would not load whole.
#include "chr/cg_check.h"

#include "platform/exception.h"
#include "platform/little_endian.h"
#include "platform/stream.h"
#include "platform/text.h"

#include <cstdint>

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_BITFIELDS = 3;

}  // namespace

BitmapHeader readCgHeader(const std::string& path)
{
    std::string reason;
    auto file = FileStream::openRead(path, &reason);
    if (!file) throw EFileOpenError(displayText(path), reason);
    const auto header = readBitmapHeader(*file);
    if (!header) throw EInvalidGraphic();
    // Depths the bitmap loader cannot take, and sizes no surface can hold, are
    // refused here rather than ending the program in the display layer.
    if (header->bitCount < 8 || header->bitCount > 32)
        throw EInvalidGraphic(std::to_string(header->bitCount) +
                              " ビット/画素のビットマップは扱えません（8～32 ビット）");
    if (int64_t{header->width} * header->height > maxBitmapPixels)
        throw EInvalidGraphic(std::to_string(header->width) + "×" + std::to_string(header->height) +
                              " 画素のビットマップは大きすぎます（約 6700 万画素まで）");
    return *header;
}

std::optional<std::string> cgLoadProblem(const std::string& path)
{
    std::string reason;
    const auto file = FileStream::openRead(path, &reason);
    if (!file) return reason;
    uint8_t h[bmp::FileHeaderSize + bmp::InfoHeaderSize];
    if (!file->readExact(h, sizeof h)) return "the file ends inside its headers";
    if (h[0] != 'B' || h[1] != 'M') return "the file is no BMP file";
    const uint8_t* info = h + bmp::FileHeaderSize;
    const uint32_t infoSize = readLE32(info + bmp::InfoSizeAt);
    const auto width = static_cast<int32_t>(readLE32(info + bmp::WidthAt));
    const auto height = static_cast<int32_t>(readLE32(info + bmp::HeightAt));
    const uint32_t bits = readLE16(info + bmp::BitCountAt);
    const uint32_t compression = readLE32(info + bmp::CompressionAt);
    const int64_t pixelOffset = readLE32(h + bmp::PixelOffsetAt);
    if (infoSize < bmp::InfoHeaderSize) return "an info header of " + std::to_string(infoSize) + " bytes is not read";
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return std::to_string(bits) + " bits per pixel are not read";
    if (compression != BI_RGB && compression != BI_BITFIELDS)
        return "compressed pixels (method " + std::to_string(compression) + ") are not decoded";
    if (width <= 0 || height == 0)
        return "a size of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (pixelOffset > file->size())
        return "the pixels start at byte " + std::to_string(pixelOffset) + ", past the end of the file (" +
               std::to_string(file->size()) + " bytes)";
    const int64_t stride = (int64_t{width} * bits / 8 + 3) & ~int64_t{3};
    const int64_t rows = height < 0 ? -int64_t{height} : height;
    const int64_t needed = pixelOffset + stride * rows;
    if (needed > file->size())
        return "the file ends inside its pixel rows (" + std::to_string(file->size()) + " of " +
               std::to_string(needed) + " bytes)";
    return std::nullopt;
}
