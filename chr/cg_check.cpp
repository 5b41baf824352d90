#include "chr/cg_check.h"

#include "platform/stream.h"

#include <cstdint>

namespace {

// The BMP headers: a 14-byte file header, then the 40-byte (or longer) info header.
constexpr int64_t FileHeaderSize = 14;
constexpr int64_t InfoHeaderSize = 40;
constexpr int PixelOffsetAt = 10;
constexpr int InfoSizeAt = 14;
constexpr int WidthAt = 18;
constexpr int HeightAt = 22;
constexpr int BitCountAt = 28;
constexpr int CompressionAt = 30;
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_BITFIELDS = 3;

uint32_t u16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t u32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

}  // namespace

std::optional<std::string> cgLoadProblem(const std::string& path)
{
    std::string reason;
    const auto file = FileStream::openRead(path, &reason);
    if (!file) return reason;
    uint8_t h[FileHeaderSize + InfoHeaderSize];
    if (!file->readExact(h, sizeof h)) return "the file ends inside its headers";
    if (h[0] != 'B' || h[1] != 'M') return "the file is no BMP file";
    const uint32_t infoSize = u32(h + InfoSizeAt);
    const auto width = static_cast<int32_t>(u32(h + WidthAt));
    const auto height = static_cast<int32_t>(u32(h + HeightAt));
    const uint32_t bits = u16(h + BitCountAt);
    const uint32_t compression = u32(h + CompressionAt);
    const int64_t pixelOffset = u32(h + PixelOffsetAt);
    if (infoSize < InfoHeaderSize) return "an info header of " + std::to_string(infoSize) + " bytes is not read";
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::to_string(bits) + " bits per pixel are not read";
    if (compression != BI_RGB && compression != BI_BITFIELDS)
        return "compressed pixels (method " + std::to_string(compression) + ") are not decoded";
    if (width <= 0 || height == 0) return "a size of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (pixelOffset > file->size())
        return "the pixels start at byte " + std::to_string(pixelOffset) + ", past the end of the file (" + std::to_string(file->size()) + " bytes)";
    const int64_t stride = (int64_t{width} * bits / 8 + 3) & ~int64_t{3};
    const int64_t rows = height < 0 ? -int64_t{height} : height;
    const int64_t needed = pixelOffset + stride * rows;
    if (needed > file->size())
        return "the file ends inside its pixel rows (" + std::to_string(file->size()) + " of " + std::to_string(needed) + " bytes)";
    return std::nullopt;
}
