// The CG header read, the checks of a CG file that would not load whole, and the
// ways the bitmap loader reads a file otherwise than a paint program shows it.
#include "chr/cg_check.h"

#include "platform/exception.h"
#include "platform/little_endian.h"
#include "platform/stream.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <memory>

namespace {

constexpr std::array<uint32_t, 3> fiveFiveFive = {0x7C00, 0x03E0, 0x001F};
// The loader reads this many palette entries, wherever the file's palette ends.
constexpr uint32_t PaletteEntriesRead = 256;

// What the checks read of a CG file: its header fields and its size.
struct CgLayout {
    uint32_t infoSize = 0;
    int32_t width = 0;
    int32_t height = 0;  // negative: rows stored top-down
    uint32_t bits = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::array<uint32_t, 3> masks{};  // red, green, blue
    int64_t pixelOffset = 0;
    int64_t fileSize = 0;

    bool compressed() const { return compression != bmp::Rgb && compression != bmp::BitFields; }
    int64_t stride() const { return (int64_t{width} * bits / 8 + 3) & ~int64_t{3}; }
    int64_t rows() const { return height < 0 ? -int64_t{height} : height; }
    int64_t pixelsEnd() const { return pixelOffset + stride() * rows(); }
};

// The open file and its layout, or why the headers cannot be read.
struct OpenCg {
    std::unique_ptr<FileStream> file;
    CgLayout layout;
    std::optional<std::string> error;
};

OpenCg openCg(const std::string& path)
{
    OpenCg cg;
    std::string reason;
    cg.file = FileStream::openRead(path, &reason);
    if (!cg.file) return {nullptr, {}, reason};
    uint8_t h[bmp::FileHeaderSize + bmp::MasksAt + bmp::MasksSize] = {};
    if (cg.file->read(h, sizeof h) < int64_t{bmp::FileHeaderSize + bmp::InfoHeaderSize})
        return {nullptr, {}, "the file ends inside its headers"};
    if (h[0] != 'B' || h[1] != 'M') return {nullptr, {}, "the file is no BMP file"};
    const uint8_t* info = h + bmp::FileHeaderSize;
    CgLayout& layout = cg.layout;
    layout.infoSize = readLE32(info + bmp::InfoSizeAt);
    layout.width = static_cast<int32_t>(readLE32(info + bmp::WidthAt));
    layout.height = static_cast<int32_t>(readLE32(info + bmp::HeightAt));
    layout.bits = readLE16(info + bmp::BitCountAt);
    layout.compression = readLE32(info + bmp::CompressionAt);
    layout.colorsUsed = readLE32(info + bmp::ColorsUsedAt);
    for (size_t i = 0; i < layout.masks.size(); ++i) layout.masks[i] = readLE32(info + bmp::MasksAt + 4 * i);
    layout.pixelOffset = readLE32(h + bmp::PixelOffsetAt);
    layout.fileSize = cg.file->size();
    return cg;
}

std::string storedRows(const CgLayout& cg)
{
    return "its pixel rows (" + std::to_string(cg.fileSize) + " of " + std::to_string(cg.pixelsEnd()) + " bytes)";
}

// Compressed pixels and missing rows are read all the same: the definition check
// names them as differences, the command-line modes as problems.
enum class Differences { AreProblems, AreLeftOut };

std::optional<std::string> layoutProblem(const CgLayout& cg, Differences differences)
{
    const bool named = differences == Differences::AreProblems;
    if (cg.infoSize < bmp::InfoHeaderSize)
        return "an info header of " + std::to_string(cg.infoSize) + " bytes is not read";
    if (cg.bits != 8 && cg.bits != 16 && cg.bits != 24 && cg.bits != 32)
        return std::to_string(cg.bits) + " bits per pixel are not read";
    if (named && cg.compressed())
        return "compressed pixels (method " + std::to_string(cg.compression) + ") are not decoded";
    if (cg.width <= 0 || cg.height == 0)
        return "a size of " + std::to_string(cg.width) + " x " + std::to_string(cg.height) + " pixels";
    if (cg.pixelOffset > cg.fileSize)
        return "the pixels start at byte " + std::to_string(cg.pixelOffset) + ", past the end of the file (" +
               std::to_string(cg.fileSize) + " bytes)";
    if (named && cg.pixelsEnd() > cg.fileSize) return "the file ends inside " + storedRows(cg);
    return std::nullopt;
}

std::string compressionName(uint32_t compression)
{
    switch (compression) {
    case bmp::Rle8: return "RLE8";
    case bmp::Rle4: return "RLE4";
    default: return "method " + std::to_string(compression);
    }
}

// The highest palette index the stored rows use; their padding holds no pixels. No
// row is longer than the file.
uint32_t highestIndex(Stream& file, const CgLayout& cg)
{
    std::vector<uint8_t> row(static_cast<size_t>(std::min<int64_t>(cg.width, cg.fileSize)));
    uint8_t highest = 0;
    for (int64_t r = 0; r < cg.rows(); ++r) {
        file.setPosition(cg.pixelOffset + r * cg.stride());
        const int64_t got = file.read(row.data(), static_cast<int64_t>(row.size()));
        if (got <= 0) break;
        highest = std::max(highest, *std::max_element(row.begin(), row.begin() + got));
    }
    return highest;
}

// How LoadBMP reads what paint programs write: it takes the width, height, bit count
// and pixel offset only, reads 256 palette entries right after the first 40 header
// bytes, lays the first stored row on the bottom row and reads 16-bit pixels as 5-5-5.
std::vector<std::string> differences(Stream& file, const CgLayout& cg)
{
    std::vector<std::string> found;
    if (cg.bits == 8 && cg.infoSize > bmp::InfoHeaderSize)
        found.push_back("the CG is an 8-bit bitmap with an information header of " + std::to_string(cg.infoSize) +
                        " bytes: its palette is read from the wrong place, so its colours come out wrong");
    if (cg.height < 0) found.push_back("the CG is stored top down, so it shows upside down");
    if (cg.compressed())
        found.push_back("the CG is compressed (" + compressionName(cg.compression) +
                        ") but read as if it were not, so its pixels come out scrambled");
    if (cg.bits == 16 && cg.compression == bmp::BitFields && cg.masks != fiveFiveFive)
        found.push_back("the CG's 16-bit pixels have " + std::to_string(std::popcount(cg.masks[0])) + "-" +
                        std::to_string(std::popcount(cg.masks[1])) + "-" + std::to_string(std::popcount(cg.masks[2])) +
                        " bit masks but are read as 5-5-5, so its colours shift");
    if (cg.bits == 8 && !cg.compressed() && cg.colorsUsed > 0 && cg.colorsUsed < PaletteEntriesRead) {
        const uint32_t highest = highestIndex(file, cg);
        if (highest >= cg.colorsUsed)
            found.push_back("the CG's pixels use palette entries up to " + std::to_string(highest) +
                            " but its palette holds " + std::to_string(cg.colorsUsed) +
                            ", so the colours past it come from the bytes after the palette");
    }
    if (!cg.compressed() && cg.pixelsEnd() > cg.fileSize)
        found.push_back("the CG ends inside " + storedRows(cg) + ": the missing rows repeat the last row read");
    return found;
}

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
    const OpenCg cg = openCg(path);
    if (cg.error) return cg.error;
    return layoutProblem(cg.layout, Differences::AreProblems);
}

CgFindings cgFindings(const std::string& path)
{
    const OpenCg cg = openCg(path);
    if (cg.error) return {cg.error, {}};
    if (auto problem = layoutProblem(cg.layout, Differences::AreLeftOut)) return {std::move(problem), {}};
    return {std::nullopt, differences(*cg.file, cg.layout)};
}
